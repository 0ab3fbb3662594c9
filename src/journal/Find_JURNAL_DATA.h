#pragma once
// "Пошук події по даті": hour, day, month and two-digit year of the journal page to find.
// Ok raises the find request and shows a short progress run; the window closes when the
// request has been sent.
#include <QDialog>

#include "journal/JournalStation.h"
class QComboBox;
class QProgressBar;
class QPushButton;
class QTimer;

class Find_JURNAL_DATA : public QDialog {
    Q_OBJECT
public:
    explicit Find_JURNAL_DATA(JournalStation station, QWidget *parent = nullptr);

    // Before showing: the lists show the last search (the first entries the first time), and
    // no find is pending.
    void prepare();

    QComboBox *Hour = nullptr;
    QComboBox *Number = nullptr;
    QComboBox *Month = nullptr;
    QComboBox *Year = nullptr;
    QPushButton *Ok = nullptr;
    QPushButton *Cancel = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QTimer *Timer1 = nullptr;

public Q_SLOTS:
    void Ok_Click();
    void Timer1_Timer();

Q_SIGNALS:
    void findRequested();

private:
    JournalStation station_;
    bool searched_ = false;
    int count_ = 0;
};
