#pragma once
// "Назва події": the names of the sixteen report parameters and the state text element whose
// non-zero state starts a report download. "Ok" stores them in the station; "Відміна" or
// closing the window any other way leaves them as they were.
#include "reports/ReportStation.h"
#include <QDialog>
#include <array>

class QComboBox;
class QLineEdit;

class Name_sobytie : public QDialog {
    Q_OBJECT
public:
    explicit Name_sobytie(ReportStation station, QWidget *parent = nullptr);

    // Fills the boxes and the list from the station (the window's opening step).
    void showNames();

    std::array<QLineEdit *, 16> Name_Sob{};
    QComboBox *Combo1 = nullptr;

    void Command2_Click();   // "Ok"
    void Command1_Click();   // "Відміна"

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ReportStation station_;
};
