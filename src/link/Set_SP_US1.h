#pragma once
// The set-point dialog: the operator types a new value for one pin of a settable block. Ok
// makes it the pending write that the polling cycle sends until acknowledged; "Відміна" or
// closing the window leaves any pending write as it was.
#include "app/Notices.h"
#include "link/LinkStation.h"
#include <QDialog>
#include <QTimer>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

class Set_SP_US1 : public QDialog {
    Q_OBJECT
public:
    // The target block and pin are the dialog's own until Ok, so a cancelled dialog never
    // redirects an earlier pending write to another block.
    Set_SP_US1(LinkStation station, std::uint8_t block, std::uint8_t pin, QWidget *parent = nullptr);

    // Shows a dialog for (block, pin) that blocks the rest of the program until it closes and
    // deletes itself then; nullptr (and nothing shown) when the block's type takes no
    // set-point. Returns at once.
    static Set_SP_US1 *openFor(LinkStation station, int block, int pin, QWidget *mainWindow);

    // What the dialog writes, shown above the value box: the set-point's name (as the netlist
    // names it; empty when it has none) and its value now (empty when unknown).
    void setTarget(const QString &name, const QString &current);

    std::uint8_t block() const { return block_; }
    std::uint8_t pin() const { return pin_; }

    QLabel *Target_Label;    // block, pin and name of the set-point
    QLabel *Current_Label;   // its value now
    QLineEdit *Text_SP_US1;
    QPushButton *Command2;   // "Ok"
    QPushButton *Command1;   // "Відміна"
    QTimer Timer1;

Q_SIGNALS:
    // A new pending write was stored.
    void written();

private:
    void Command2_Click();
    void Timer1_Timer();

    LinkStation station_;
    std::uint8_t block_;
    std::uint8_t pin_;
    Notices notices_;
};
