// The project settings dialog, offscreen.
#include "project/ConfigProject.h"
#include "project/ProjectModel.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QApplication &app()
{
    static int argc = 1;
    static char name[] = "project_ui_tests";
    static char *argv[] = {name, nullptr};
    static QApplication a(argc, argv);
    return a;
}

struct DialogRig {
    QApplication &application = app();   // before any widget
    ProjectModel model;
    ConfigProject dialog{model};
    QStringList events;

    void record()
    {
        QObject::connect(&dialog, &ConfigProject::mainWindowEnabled, [this](bool on) {
            events << (on ? QStringLiteral("enable true") : QStringLiteral("enable false"));
        });
        QObject::connect(&dialog, &ConfigProject::surfaceCleared, [this] { events << QStringLiteral("clear"); });
        QObject::connect(&dialog, &ConfigProject::captionChanged,
                         [this](const QString &c) { events << QStringLiteral("caption ") + c; });
        QObject::connect(&dialog, &ConfigProject::blockSchemaRequested, [this] { events << QStringLiteral("schema"); });
    }
    void choose(QComboBox *combo, int index)
    {
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
    }
};

}   // namespace

TEST(ConfigProject, ControlsCarryTheirNamesAndCaptions)
{
    DialogRig rig;
    ConfigProject &d = rig.dialog;
    EXPECT_EQ(d.objectName(), QStringLiteral("Config_Project"));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Проект"));
    const std::pair<const char *, const char *> captions[] = {
        {"Label1", "Назва проекту"}, {"Label2", "Номер COM"}, {"Label3", "Номер Ж7"},
        {"Label5", "IP address:"},   {"Label6", "Port:"},     {"Label4", "Cхема P-CAD ASCII"}};
    for (const auto &[name, text] : captions) {
        auto *label = d.findChild<QLabel *>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), QString::fromUtf8(text));
    }
    EXPECT_EQ(d.findChild<QPushButton *>(QStringLiteral("Ok"))->text(), QStringLiteral("Ok"));
    EXPECT_EQ(d.findChild<QPushButton *>(QStringLiteral("Cancel"))->text(), QStringLiteral("Відміна"));
    EXPECT_EQ(d.findChild<QLineEdit *>(QStringLiteral("Name_Project_Text"))->text(), QStringLiteral("Назва"));
    EXPECT_EQ(d.findChild<QLineEdit *>(QStringLiteral("Name_Schema_text"))->text(), QStringLiteral("Пусто"));
    ASSERT_NE(d.findChild<QLineEdit *>(QStringLiteral("IP_addr")), nullptr);
    ASSERT_NE(d.findChild<QLineEdit *>(QStringLiteral("Port")), nullptr);
    ASSERT_NE(d.findChild<QTimer *>(QStringLiteral("Timer1")), nullptr);
    auto *combo1 = d.findChild<QComboBox *>(QStringLiteral("Combo1"));
    ASSERT_EQ(combo1->count(), 9);
    EXPECT_EQ(combo1->itemText(0), QStringLiteral("\u0421OM1"));   // Cyrillic С
    EXPECT_EQ(combo1->itemText(8), QStringLiteral("TCP\\IP"));
    auto *combo2 = d.findChild<QComboBox *>(QStringLiteral("Combo2"));
    ASSERT_EQ(combo2->count(), 8);
    EXPECT_EQ(combo2->itemText(3), QStringLiteral("№4"));
}

TEST(ConfigProject, BeforeAnyProjectOkStaysDisabledAndOnlyCancelCloses)
{
    DialogRig rig;
    rig.record();
    rig.dialog.showSettings();
    EXPECT_TRUE(rig.dialog.isVisible());
    EXPECT_EQ(rig.dialog.Name_Schema_text->text(), QStringLiteral("Пусто"));
    EXPECT_FALSE(rig.dialog.Ok->isEnabled());
    EXPECT_EQ(rig.events, QStringList{QStringLiteral("enable false")});
    rig.dialog.Cancel->click();
    EXPECT_FALSE(rig.dialog.isVisible());
    EXPECT_EQ(rig.events, (QStringList{QStringLiteral("enable false"), QStringLiteral("enable true")}));
}

TEST(ConfigProject, LinkListSwitchesTheAddressFieldsAndTakesEffectAtOnceEvenOnCancel)
{
    DialogRig rig;
    rig.model.linkKind = 2;
    rig.model.controllerAddress = 1;
    rig.model.ipAddress = QStringLiteral("10.1.1.1");
    rig.model.tcpPort = 4001;
    rig.dialog.showSettings();
    EXPECT_EQ(rig.dialog.Combo1->currentIndex(), 1);
    EXPECT_FALSE(rig.dialog.IP_addr->isEnabled());
    EXPECT_FALSE(rig.dialog.Label6->isEnabled());
    EXPECT_EQ(rig.dialog.IP_addr->text(), QStringLiteral("10.1.1.1"));
    EXPECT_EQ(rig.dialog.Port->text(), QStringLiteral("4001"));

    rig.choose(rig.dialog.Combo1, 8);
    EXPECT_EQ(rig.model.linkKind, 9);
    EXPECT_TRUE(rig.dialog.IP_addr->isEnabled());
    EXPECT_TRUE(rig.dialog.Port->isEnabled());
    EXPECT_TRUE(rig.dialog.Label5->isEnabled());
    rig.choose(rig.dialog.Combo1, 2);
    EXPECT_EQ(rig.model.linkKind, 3);
    EXPECT_FALSE(rig.dialog.Port->isEnabled());

    rig.choose(rig.dialog.Combo2, 3);
    EXPECT_EQ(rig.model.controllerAddress, 4);
    rig.dialog.Name_Project_Text->setText(QStringLiteral("Інша назва"));
    rig.dialog.reject();
    EXPECT_EQ(rig.model.controllerAddress, 4);
    EXPECT_EQ(rig.model.linkKind, 3);
    EXPECT_NE(rig.model.projectName, QStringLiteral("Інша назва"));
}

TEST(ConfigProject, OkTakesTheNameAndAsksForCaptionAndSchemaInOrder)
{
    DialogRig rig;
    rig.record();
    rig.model.projectName = QStringLiteral("Котельня");
    rig.model.netlistPath = QStringLiteral("/plant/plant.net");
    rig.model.controllerAddress = 2;
    rig.dialog.showSettings();
    EXPECT_EQ(rig.dialog.Name_Project_Text->text(), QStringLiteral("Котельня"));
    EXPECT_EQ(rig.dialog.Combo2->currentIndex(), 1);
    EXPECT_TRUE(rig.dialog.Ok->isEnabled());
    // Timer1's first tick gives Ok the focus.
    QDeadlineTimer deadline(2000);
    while (rig.dialog.Timer1->isActive() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(rig.dialog.Timer1->isActive());
    EXPECT_EQ(rig.dialog.focusWidget(), rig.dialog.Ok);

    rig.dialog.Name_Project_Text->setText(QStringLiteral("Котельня 2"));
    rig.dialog.Ok->click();
    EXPECT_EQ(rig.model.projectName, QStringLiteral("Котельня 2"));
    EXPECT_EQ(rig.events,
              (QStringList{QStringLiteral("enable false"), QStringLiteral("clear"), QStringLiteral("enable true"),
                           QStringLiteral("caption SCADA Ж7 - /plant/plant.net"), QStringLiteral("schema")}));
    EXPECT_FALSE(rig.dialog.isVisible());
}

TEST(ConfigProject, OutOfRangeAddressSelectsTheMirroredEntryWhenThereIsOne)
{
    // Entry |address - 1| is chosen and taken over; past "№8" nothing is chosen.
    struct Case {
        int address;
        int entry;
        int after;
    };
    for (const Case c : {Case{0, 1, 2}, Case{-3, 4, 5}, Case{-6, 7, 8}, Case{-7, -1, -7}, Case{9, -1, 9},
                         Case{40, -1, 40}, Case{5, 4, 5}}) {
        DialogRig rig;
        rig.model.linkKind = 12;
        rig.model.controllerAddress = static_cast<std::int16_t>(c.address);
        rig.dialog.showSettings();
        EXPECT_EQ(rig.dialog.Combo1->currentIndex(), -1);
        EXPECT_EQ(rig.model.linkKind, 12);
        EXPECT_EQ(rig.dialog.Combo2->currentIndex(), c.entry) << "address " << c.address;
        EXPECT_EQ(rig.model.controllerAddress, c.after) << "address " << c.address;
        rig.dialog.reject();
    }
}
