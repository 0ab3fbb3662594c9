#include "mimic/BlockInspector.h"

#include "mimic/InspectorLabels.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <type_traits>

namespace {

constexpr int LabelWidth = 94;
constexpr int OutputLabelWidth = 108;
constexpr int BoxWidth = 70;
constexpr int RowHeight = 17;
constexpr int PictureLeft = 400;

template <class T>
T *entry(const std::array<T *, BlockInspector::Pins> &a, int k)
{
    return k >= 0 && k < BlockInspector::Pins ? a[static_cast<std::size_t>(k)] : nullptr;
}

}   // namespace

BlockInspector::BlockInspector(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Input_Output_Block"));
    setWindowModality(Qt::ApplicationModal);
    QFont rowFont = font();
    rowFont.setPointSize(8);
    // One widget of a pin row: W is the pin's name label or its read-only value box.
    auto rowWidget = [&]<class W>(W *w, const char *name, QPoint pos, int width) {
        w->setObjectName(QString::fromLatin1(name));
        w->setFont(rowFont);
        if constexpr (std::is_same_v<W, QLineEdit>)
            w->setReadOnly(true);
        w->setGeometry(QRect(pos, QSize(width, RowHeight)));
        return w;
    };
    for (int k = 0; k < Pins; ++k) {
        const auto i = static_cast<std::size_t>(k);
        inputNames_[i] =
            rowWidget(new QLabel(QStringLiteral("Inp"), this), "Input_name", mimic::inputLabelPos(k), LabelWidth);
        inputData_[i] =
            rowWidget(new QLineEdit(QStringLiteral("0"), this), "Input_DATA", mimic::inputBoxPos(k), BoxWidth);
        outputNames_[i] = rowWidget(new QLabel(QStringLiteral("Out"), this), "Output_Name", mimic::outputLabelPos(k),
                                    OutputLabelWidth);
        outputData_[i] =
            rowWidget(new QLineEdit(QStringLiteral("0"), this), "Output_DATA", mimic::outputBoxPos(k), BoxWidth);
    }
    image_ = new QLabel(this);
    image_->setObjectName(QStringLiteral("Image_Block"));
    image_->setAlignment(Qt::AlignCenter);
    image_->setGeometry(PictureLeft, 10, 80, 80);
    number_ = new QLabel(this);
    number_->setObjectName(QStringLiteral("Label1"));
    number_->setAlignment(Qt::AlignCenter);
    QFont big = font();
    big.setPointSize(14);
    big.setBold(true);
    number_->setFont(big);
    number_->setGeometry(PictureLeft, 92, 80, 26);
    ok_ = new QPushButton(QStringLiteral("Ок"), this);
    cancel_ = new QPushButton(QStringLiteral("Відміна"), this);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

QLabel *BlockInspector::Input_name(int k) const { return entry(inputNames_, k); }
QLineEdit *BlockInspector::Input_DATA(int k) const { return entry(inputData_, k); }
QLabel *BlockInspector::Output_Name(int k) const { return entry(outputNames_, k); }
QLineEdit *BlockInspector::Output_DATA(int k) const { return entry(outputData_, k); }

void BlockInspector::showBlock(int block, const QString &code, const QPixmap &picture, const mimic::InspectorPins &pins)
{
    setWindowTitle(QStringLiteral("Блок %1 %2").arg(block).arg(code));
    image_->setPixmap(picture.isNull()
                          ? QPixmap()
                          : picture.scaled(picture.size() * 2, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    number_->setText(QString::number(block));
    const int inputs = static_cast<int>(pins.inputs.size());
    const int outputs = static_cast<int>(pins.outputs.size());
    for (int k = 0; k < Pins; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const bool in = k < inputs, out = k < outputs;
        inputNames_[i]->setText(in ? pins.inputs[k] : QStringLiteral("Inp"));
        inputNames_[i]->setVisible(in);
        inputData_[i]->setText(QStringLiteral("0"));
        inputData_[i]->setVisible(in);
        outputNames_[i]->setText(out ? pins.outputs[k] : QStringLiteral("Out"));
        outputNames_[i]->setVisible(out);
        outputData_[i]->setText(QStringLiteral("0"));
        outputData_[i]->setVisible(out);
    }
    const int rows = std::max({inputs, outputs, 1});
    const int bottom = std::max(mimic::inputLabelPos(rows).y(), 130);
    ok_->setGeometry(PictureLeft - 8, bottom + 4, 96, 26);
    cancel_->setGeometry(PictureLeft - 8, bottom + 34, 96, 26);
    setFixedSize(PictureLeft + 96, bottom + 70);
}

void BlockInspector::setOutput(int index, const QString &text)
{
    if (QLineEdit *box = Output_DATA(index))
        box->setText(text);
}

void BlockInspector::setInput(int index, const QString &text)
{
    if (QLineEdit *box = Input_DATA(index))
        box->setText(text);
}

void BlockInspector::done(int result)
{
    QDialog::done(result);
    Q_EMIT closed();
}
