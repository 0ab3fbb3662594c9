#include "trends/TrendDialogs.h"

#include "app/Colors.h"
#include "trends/TrendStation.h"
#include "trends/GrfFile.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

GO::GO(TrendStation station, QWidget *parent) : QDialog(parent), station_(station)
{
    setObjectName(QStringLiteral("GO"));
    setWindowTitle(QStringLiteral("Перехід"));

    // Two blocks of four groups, each group with the names of its four channels below it.
    auto *groups = new QGridLayout;
    for (int g = 0; g < 8; ++g) {
        auto *column = new QVBoxLayout;
        const QString caption = g == 3 ? QStringLiteral("Группа 4") : QStringLiteral("Група %1").arg(g + 1);
        Grup_Gr[static_cast<std::size_t>(g)] = new QRadioButton(caption, this);
        Grup_Gr[static_cast<std::size_t>(g)]->setObjectName(QStringLiteral("Grup_Gr%1").arg(g));
        column->addWidget(Grup_Gr[static_cast<std::size_t>(g)]);
        for (int j = 0; j < 4; ++j) {
            auto *name = new QLabel(this);
            name->setObjectName(QStringLiteral("Name_grup%1").arg(4 * g + j));
            Name_grup[static_cast<std::size_t>(4 * g + j)] = name;
            column->addWidget(name);
        }
        groups->addLayout(column, g / 4, g % 4);
        connect(Grup_Gr[static_cast<std::size_t>(g)], &QRadioButton::clicked, this,
                [this, g] { Text2->setText(QString::number(g + 1)); });
    }

    Text2 = new QLineEdit(QStringLiteral("1"), this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text1 = new QLineEdit(QStringLiteral("1"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Ok = new QPushButton(QStringLiteral("Ok"), this);
    Cancel = new QPushButton(QStringLiteral("Відміна"), this);
    Ok->setDefault(true);

    auto *fields = new QHBoxLayout;
    fields->addWidget(new QLabel(QStringLiteral("Група"), this));
    fields->addWidget(Text2);
    fields->addWidget(new QLabel(QStringLiteral("Сторінка"), this));
    fields->addWidget(Text1);
    fields->addStretch();
    fields->addWidget(Ok);
    fields->addWidget(Cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(fields);

    connect(Ok, &QPushButton::clicked, this, [this] { Q_EMIT accepted(Text2->text(), Text1->text()); });
    connect(Cancel, &QPushButton::clicked, this, &QDialog::close);
}

void GO::prepare()
{
    const std::int16_t shown = station_.trend.Graf_Group;
    for (int g = 0; g < 8; ++g)
        for (int j = 0; j < 4; ++j) {
            station_.trend.Graf_Group = static_cast<std::int16_t>(g);
            QLabel *name = Name_grup[static_cast<std::size_t>(4 * g + j)];
            name->setText(grf::channelName(station_, j));
            QPalette pal = name->palette();
            pal.setColor(QPalette::WindowText,
                         colorFromBgr(station_.trend.Graf_Style[static_cast<std::size_t>(j + 1)] & 0xFFFFFF));
            name->setPalette(pal);
        }
    station_.trend.Graf_Group = shown;
    if (shown >= 0 && shown < 8) {
        Grup_Gr[static_cast<std::size_t>(shown)]->setChecked(true);
        // The field is what "Ok" takes: it names the group ticked.
        Text2->setText(QString::number(shown + 1));
    }
    Text1->clear();
}

Find_GRAFIK_DATA::Find_GRAFIK_DATA(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Find_GRAFIK_DATA"));
    setWindowTitle(QStringLiteral("Пошук графіка по даті"));
    auto list = [this](const char *name, int from, int to) {
        auto *box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        for (int v = from; v <= to; ++v)
            box->addItem(QString::number(v));
        box->setCurrentIndex(0);
        return box;
    };
    Hour = list("Hour", 0, 23);
    Number = list("Number", 1, 31);
    Month = list("Month", 1, 12);
    Year = list("Year", 19, 50);
    Ok = new QPushButton(QStringLiteral("Ok"), this);
    Cancel = new QPushButton(QStringLiteral("Відміна"), this);
    Ok->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Година                               Число                           "
                                              "Місяць                                Рік"),
                               this),
                    0, 0, 1, 4);
    grid->addWidget(Hour, 1, 0);
    grid->addWidget(Number, 1, 1);
    grid->addWidget(Month, 1, 2);
    grid->addWidget(Year, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Ok);
    buttons->addWidget(Cancel);
    grid->addLayout(buttons, 2, 0, 1, 4);

    connect(Ok, &QPushButton::clicked, this, [this] {
        Q_EMIT findRequested(Hour->currentIndex(), Number->currentIndex() + 1, Month->currentIndex() + 1,
                             Year->currentIndex() + 19);
    });
    connect(Cancel, &QPushButton::clicked, this, &QDialog::close);
}
