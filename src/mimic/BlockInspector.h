#pragma once
// The block inspector Input_Output_Block: the block's picture and number, and one row per input
// and output pin with its label and live value. It only displays; "Ок" and "Відміна" close it.
#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
namespace mimic {
struct InspectorPins;
}

class BlockInspector : public QDialog {
    Q_OBJECT
public:
    static constexpr int Pins = 32;

    explicit BlockInspector(QWidget *parent = nullptr);

    // Fill the window for block n: picture, number, the rows of the pins that exist (the others
    // are hidden), every value box back to "0".
    void showBlock(int block, const QString &code, const QPixmap &picture, const mimic::InspectorPins &pins);

    // Live values: entry 0..31 of Output_DATA / Input_DATA; other indexes are ignored.
    void setOutput(int index, const QString &text);
    void setInput(int index, const QString &text);

    QLabel *Image_Block() const { return image_; }
    QLabel *Label1() const { return number_; }
    QLabel *Input_name(int k) const;
    QLineEdit *Input_DATA(int k) const;
    QLabel *Output_Name(int k) const;
    QLineEdit *Output_DATA(int k) const;
    QPushButton *okButton() const { return ok_; }
    QPushButton *cancelButton() const { return cancel_; }

Q_SIGNALS:
    void closed();

public Q_SLOTS:
    void done(int result) override;

private:
    QLabel *image_ = nullptr;
    QLabel *number_ = nullptr;
    QPushButton *ok_ = nullptr;
    QPushButton *cancel_ = nullptr;
    std::array<QLabel *, Pins> inputNames_{};
    std::array<QLineEdit *, Pins> inputData_{};
    std::array<QLabel *, Pins> outputNames_{};
    std::array<QLineEdit *, Pins> outputData_{};
};
