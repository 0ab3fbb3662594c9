#pragma once
// The trend window's two dialogs: GO ("Перехід"), a group and page to jump to, and
// Find_GRAFIK_DATA ("Пошук графіка по даті"), the hour whose page the controller is to find.
#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
#include "trends/TrendStation.h"

class GO : public QDialog {
    Q_OBJECT
public:
    explicit GO(TrendStation station, QWidget *parent = nullptr);

    // Fills the group names from the trend state, ticks the group on show and puts its number
    // in the group field, and empties the page field.
    void prepare();

    QLineEdit *Text2 = nullptr;   // group 1..8
    QLineEdit *Text1 = nullptr;   // page 1..102
    QPushButton *Ok = nullptr;
    QPushButton *Cancel = nullptr;
    std::array<QRadioButton *, 8> Grup_Gr{};
    std::array<QLabel *, 32> Name_grup{};

Q_SIGNALS:
    // "Ok" with the fields as typed; the window checks them.
    void accepted(const QString &group, const QString &page);

private:
    TrendStation station_;
};

class Find_GRAFIK_DATA : public QDialog {
    Q_OBJECT
public:
    explicit Find_GRAFIK_DATA(QWidget *parent = nullptr);

    QComboBox *Hour = nullptr;     // "0".."23"
    QComboBox *Number = nullptr;   // "1".."31"
    QComboBox *Month = nullptr;    // "1".."12"
    QComboBox *Year = nullptr;     // "19".."50"
    QPushButton *Ok = nullptr;
    QPushButton *Cancel = nullptr;

Q_SIGNALS:
    // "Ok": hour 0..23, day 1..31, month 1..12, two-digit year 19..50.
    void findRequested(int hour, int day, int month, int year);
};
