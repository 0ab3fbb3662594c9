#include "journal/Find_JURNAL_DATA.h"
#include "journal/JournalStation.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

Find_JURNAL_DATA::Find_JURNAL_DATA(JournalStation station, QWidget *parent) : QDialog(parent), station_(station)
{
    setObjectName(QStringLiteral("Find_JURNAL_DATA"));
    setWindowTitle(QStringLiteral("Пошук події по даті"));
    auto *grid = new QGridLayout(this);
    const auto list = [this](const char *name, int from, int to) {
        auto *c = new QComboBox(this);
        c->setObjectName(QString::fromLatin1(name));
        for (int v = from; v <= to; ++v)
            c->addItem(QString::number(v));
        return c;
    };
    Hour = list("Hour", 0, 23);
    Number = list("Number", 1, 31);
    Month = list("Month", 1, 12);
    Year = list("Year", 19, 50);
    const char *headings[] = {"Година", "Число", "Місяць", "Рік"};
    QComboBox *lists[] = {Hour, Number, Month, Year};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(QString::fromUtf8(headings[i]), this), 0, i, Qt::AlignCenter);
        grid->addWidget(lists[i], 1, i);
    }
    Ok = new QPushButton(QStringLiteral("Ok"), this);
    Ok->setObjectName(QStringLiteral("Ok"));
    Cancel = new QPushButton(QStringLiteral("Відміна"), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    grid->addWidget(Ok, 2, 2);
    grid->addWidget(Cancel, 2, 3);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 11);
    ProgressBar1->hide();
    grid->addWidget(ProgressBar1, 3, 0, 1, 4);
    Timer1 = new QTimer(this);
    Timer1->setInterval(500);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &Find_JURNAL_DATA::Timer1_Timer);
    connect(Ok, &QPushButton::clicked, this, &Find_JURNAL_DATA::Ok_Click);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, [this] {
        station_.journal.Jurnal_Find = 0;
        Timer1->stop();
        ProgressBar1->hide();
    });
}

void Find_JURNAL_DATA::prepare()
{
    if (!searched_) {
        for (QComboBox *c : {Hour, Number, Month, Year})
            c->setCurrentIndex(0);
    } else {
        Hour->setCurrentIndex(std::clamp<int>(station_.journal.Find_Hour, 0, 23));
        Number->setCurrentIndex(std::clamp<int>(station_.journal.Find_Day - 1, 0, 30));
        Month->setCurrentIndex(std::clamp<int>(station_.journal.Find_Month - 1, 0, 11));
        Year->setCurrentIndex(std::clamp<int>(station_.journal.Find_Year - 19, 0, 31));
    }
    station_.journal.Jurnal_Find = 0;
    Timer1->stop();
    ProgressBar1->hide();
}

void Find_JURNAL_DATA::Ok_Click()
{
    if (station_.journal.Jurnal_Find == 1)
        return;
    searched_ = true;
    station_.journal.requestFind(Hour->currentIndex(), Number->currentIndex() + 1, Month->currentIndex() + 1,
                                 Year->currentIndex() + 19);
    station_.journal.Jurnal_State = 0;
    count_ = 0;
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    Timer1->start();
    Q_EMIT findRequested();
}

void Find_JURNAL_DATA::Timer1_Timer()
{
    if (count_ >= 11) {
        Timer1->stop();
        ProgressBar1->hide();
        return;
    }
    ProgressBar1->setValue(++count_);
}
