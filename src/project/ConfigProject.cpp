#include "project/ConfigProject.h"

#include <cstdlib>

#include "project/ProjectModel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

template <class W>
W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

}   // namespace

ConfigProject::ConfigProject(ProjectModel &model, QWidget *parent) : QDialog(parent), model_(model)
{
    setObjectName(QStringLiteral("Config_Project"));
    setWindowTitle(QStringLiteral("Проект"));

    Label1 = named(new QLabel(QStringLiteral("Назва проекту"), this), "Label1");
    Name_Project_Text = named(new QLineEdit(QStringLiteral("Назва"), this), "Name_Project_Text");
    Label2 = named(new QLabel(QStringLiteral("Номер COM"), this), "Label2");
    Combo1 = named(new QComboBox(this), "Combo1");
    for (int i = 1; i <= 8; ++i)
        Combo1->addItem(QStringLiteral("СOM") + QString::number(i));   // Cyrillic С
    Combo1->addItem(QStringLiteral("TCP\\IP"));
    Label3 = named(new QLabel(QStringLiteral("Номер Ж7"), this), "Label3");
    Combo2 = named(new QComboBox(this), "Combo2");
    for (int i = 1; i <= 8; ++i)
        Combo2->addItem(QStringLiteral("№") + QString::number(i));
    Label5 = named(new QLabel(QStringLiteral("IP address:"), this), "Label5");
    IP_addr = named(new QLineEdit(this), "IP_addr");
    Label6 = named(new QLabel(QStringLiteral("Port:"), this), "Label6");
    Port = named(new QLineEdit(this), "Port");
    // Shown for information: the dialog neither stores nor connects to them.
    IP_addr->setReadOnly(true);
    Port->setReadOnly(true);
    Label4 = named(new QLabel(QStringLiteral("Cхема P-CAD ASCII"), this), "Label4");
    Name_Schema_text = named(new QLineEdit(QStringLiteral("Пусто"), this), "Name_Schema_text");
    Name_Schema_text->setReadOnly(true);
    Ok = named(new QPushButton(QStringLiteral("Ok"), this), "Ok");
    Cancel = named(new QPushButton(QStringLiteral("Відміна"), this), "Cancel");
    Ok->setAutoDefault(false);
    Cancel->setAutoDefault(false);
    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setSingleShot(true);
    Timer1->setInterval(10);

    auto *grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Name_Project_Text, 0, 1, 1, 3);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Combo1, 1, 1);
    grid->addWidget(Label3, 1, 2);
    grid->addWidget(Combo2, 1, 3);
    grid->addWidget(Label5, 2, 0);
    grid->addWidget(IP_addr, 2, 1);
    grid->addWidget(Label6, 2, 2);
    grid->addWidget(Port, 2, 3);
    grid->addWidget(Label4, 3, 0);
    grid->addWidget(Name_Schema_text, 3, 1, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Ok);
    buttons->addWidget(Cancel);
    grid->addLayout(buttons, 4, 0, 1, 4);
    Name_Schema_text->setMinimumWidth(320);

    connect(Combo1, &QComboBox::activated, this, [this] { combo1Click(); });
    connect(Combo2, &QComboBox::activated, this, [this] { combo2Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { timer1Timer(); });
    connect(Ok, &QPushButton::clicked, this, [this] { okClick(); });
    connect(Cancel, &QPushButton::clicked, this, [this] { reject(); });
}

void ConfigProject::formLoad()
{
    Name_Project_Text->setText(model_.projectName);
    Timer1->start();
    // A hand-edited address outside 1..8 selects entry |address - 1| where there is one (0
    // gives "№2"), and choosing it takes effect like any choice; beyond the list nothing is
    // selected and the address is left as it is.
    const int index = std::abs(model_.controllerAddress - 1);
    if (index < Combo2->count()) {
        Combo2->setCurrentIndex(index);
        combo2Click();
    } else {
        Combo2->setCurrentIndex(-1);
    }
}

void ConfigProject::showSettings()
{
    formLoad();
    finished_ = false;
    Q_EMIT mainWindowEnabled(false);
    Name_Schema_text->setText(model_.netlistPath);
    Ok->setEnabled(Name_Schema_text->text() != QStringLiteral("Пусто"));
    const int kind = model_.linkKind - 1;
    if (kind >= 0 && kind < Combo1->count()) {
        Combo1->setCurrentIndex(kind);
        combo1Click();
    } else {
        Combo1->setCurrentIndex(-1);
        const bool tcp = model_.linkKind >= 9;
        for (QWidget *w : {static_cast<QWidget *>(IP_addr), static_cast<QWidget *>(Port),
                           static_cast<QWidget *>(Label5), static_cast<QWidget *>(Label6)})
            w->setEnabled(tcp);
    }
    IP_addr->setText(model_.ipAddress);
    Port->setText(QString::number(model_.tcpPort));
    show();
}

void ConfigProject::combo1Click()
{
    if (Combo1->currentIndex() < 0)
        return;
    model_.linkKind = static_cast<std::int16_t>(Combo1->currentIndex() + 1);
    const bool tcp = model_.linkKind >= 9;
    IP_addr->setEnabled(tcp);
    Port->setEnabled(tcp);
    Label5->setEnabled(tcp);
    Label6->setEnabled(tcp);
}

void ConfigProject::combo2Click()
{
    if (Combo2->currentIndex() < 0)
        return;
    model_.controllerAddress = static_cast<std::int16_t>(Combo2->currentIndex() + 1);
}

void ConfigProject::timer1Timer()
{
    if (Ok->isEnabled())
        Ok->setFocus();
    Timer1->stop();
}

void ConfigProject::okClick()
{
    Q_EMIT surfaceCleared();
    model_.projectName = Name_Project_Text->text();
    finished_ = true;
    Q_EMIT mainWindowEnabled(true);
    Q_EMIT captionChanged(QStringLiteral("SCADA Ж7 - ") + model_.netlistPath);
    Q_EMIT blockSchemaRequested();
    Timer1->stop();
    accept();
}

// Cancel, Escape and the window frame all end here.
void ConfigProject::reject()
{
    Timer1->stop();
    if (!finished_) {
        finished_ = true;
        Q_EMIT mainWindowEnabled(true);
    }
    QDialog::reject();
}
