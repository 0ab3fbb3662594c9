#include "main/ConfigScada.h"
#include "app/Logo.h"
#include "station/Station.h"
#include "support/QtTestApp.h"
#include <gtest/gtest.h>
#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <memory>

namespace {

class ConfigScadaTest : public ::testing::Test {
protected:
    ConfigScadaTest() : station(std::make_unique<Station>()) { qtApp(); }

    std::unique_ptr<Station> station;
};

QStringList actionNames(const QList<QAction *> &actions)
{
    QStringList names;
    for (const QAction *a : actions)
        names << a->objectName();
    return names;
}

TEST_F(ConfigScadaTest, WindowHasItsNameCaptionAndSize)
{
    ConfigScada w(*station);
    EXPECT_EQ(w.objectName(), QStringLiteral("Config_SCADA"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("SCADA Ж7-301 5.1"));
    EXPECT_EQ(w.size(), QSize(810, 550));
}

TEST_F(ConfigScadaTest, StartupResetsTheStationState)
{
    Station &s = *station;
    s.project.projectLoaded = 1;
    s.alarm.Sound_On = 0;
    s.project.linkKind = 9;
    s.project.controllerAddress = 5;
    s.inspector.inspectorBlockType = 7;
    s.project.pagePicture[15] = QStringLiteral("old.bmp");
    s.project.valueLabels[8][32].fontSize = 3;
    s.project.signalTexts[4][0].fontSize = 3;
    s.project.currentPage = 3;
    s.project.netlistPath = QStringLiteral("old.net");
    s.trend.Graf_Style[0] = 4;
    s.key.position = {1, 2, 3, 4};
    s.catalogue.setSettingsLines(50, 99);

    ConfigScada w(s);
    EXPECT_EQ(s.project.projectLoaded, 0);
    EXPECT_EQ(s.alarm.Sound_On, 1);
    EXPECT_EQ(s.project.linkKind, 1);
    EXPECT_EQ(s.project.controllerAddress, 1);
    EXPECT_EQ(s.inspector.inspectorBlockType, 1);
    EXPECT_TRUE(s.project.pagePicture[15].isEmpty());
    for (int p = 0; p < ProjectModel::Pages; ++p) {
        for (int i = 0; i < ProjectModel::Slots; ++i) {
            ASSERT_EQ(s.project.valueLabels[std::size_t(p)][std::size_t(i)].fontSize, 8);
            ASSERT_EQ(s.project.signalTexts[std::size_t(p)][std::size_t(i)].fontSize, 10);
        }
    }
    EXPECT_EQ(s.project.currentPage, 0);
    EXPECT_EQ(s.project.netlistPath, QStringLiteral("Пусто"));
    EXPECT_EQ(s.trend.Graf_Style[0], 1);
    EXPECT_EQ(s.key.position, (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(s.catalogue.settingsLines(50), BlockCatalogue().settingsLines(50));
}

TEST_F(ConfigScadaTest, MenuBarHoldsFileSettingsViewHiddenReportAndHelpInOrder)
{
    ConfigScada w(*station);
    EXPECT_EQ(actionNames(w.menuBar()->actions()),
              (QStringList{"mnuFile", "mnuNastrojki", "mnuVid", "mnuReport", "mnuHelp"}));
    EXPECT_EQ(actionNames(w.menu("mnuFile")->actions()),
              (QStringList{"mnuLoad", "mnu1", "mnuGRAFIK", "mnu12", "mnuJurnalOpen", "mnu13", "mnuExit"}));
    EXPECT_EQ(actionNames(w.menu("mnuVid")->actions()), (QStringList{"mnuSchema", "mnuSCADA"}));
    EXPECT_EQ(actionNames(w.menu("mnuReport")->actions()), (QStringList{"mnuReportEXCEL", "mnuJurnal", "mnuIstorija"}));
    EXPECT_EQ(actionNames(w.menu("mnuHelp")->actions()),
              (QStringList{"mnuHelp3", "mnuHelp1", "mnuHelp2", "mnu14", "mnuAbout"}));
    EXPECT_EQ(ConfigScada::menuItemNames().size(), 22);
}

TEST_F(ConfigScadaTest, MenuCaptionsKeepTheirAccessKeysAndBlanksExactly)
{
    ConfigScada w(*station);
    const std::pair<const char *, const char *> captions[] = {
        {"mnuFile", "&Файл"},
        {"mnuLoad", "&Відкрити проект"},
        {"mnuGRAFIK", "&Відкрити графік"},
        {"mnuJurnalOpen", "&Відкрити журнал"},
        {"mnuExit", "&Вихід"},
        {"mnuNastrojki", "&Налаштування"},
        {"mnuVid", "&Вид"},
        {"mnuSchema", "&Схема"},
        {"mnuSCADA", "&SCADA"},
        {"mnuReport", "&Звіт"},
        {"mnuReportEXCEL", "&Звіт EXCEL"},
        {"mnuJurnal", "&Журнал"},
        {"mnuIstorija", "&Історія"},
        {"mnuHelp", "&Довідка"},
        {"mnuHelp3", "&Версія 5.0  (01/09/19) "},
        {"mnuHelp1", "&Версія 2.0  (01/03/15) "},
        {"mnuHelp2", "&Версія 1.2 (01.10.14)"},
    };
    for (const auto &[name, caption] : captions) {
        QAction *a = w.action(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(a->text(), QString::fromUtf8(caption)) << name;
    }
    for (const char *name : {"mnu1", "mnu12", "mnu13"})
        EXPECT_TRUE(w.action(QString::fromLatin1(name))->isSeparator()) << name;
    EXPECT_EQ(w.action("noSuchItem"), nullptr);
}

TEST_F(ConfigScadaTest, ProjectItemsAreHiddenBeforeAProjectIsLoaded)
{
    ConfigScada w(*station);
    const QStringList hidden{"mnuReport", "mnuGRAFIK", "mnu12", "mnuJurnalOpen", "mnu13"};
    for (const QString &name : ConfigScada::menuItemNames())
        EXPECT_EQ(w.action(name)->isVisible(), !hidden.contains(name)) << name.toStdString();
    // Inside the hidden submenu the items themselves are visible.
    EXPECT_TRUE(w.action("mnuReportEXCEL")->isVisible());
    EXPECT_TRUE(w.action("mnuJurnal")->isVisible());
}

TEST_F(ConfigScadaTest, VersionTwoIsCheckedAndClickingAVersionItemChangesNothing)
{
    ConfigScada w(*station);
    EXPECT_FALSE(w.action("mnuHelp3")->isChecked());
    EXPECT_TRUE(w.action("mnuHelp1")->isChecked());
    EXPECT_FALSE(w.action("mnuHelp2")->isChecked());
    w.action("mnuHelp3")->trigger();
    w.action("mnuHelp1")->trigger();
    EXPECT_FALSE(w.action("mnuHelp3")->isChecked());
    EXPECT_TRUE(w.action("mnuHelp1")->isChecked());
    // The project reader sets the mark programmatically.
    w.action("mnuHelp1")->setChecked(false);
    w.action("mnuHelp2")->setChecked(true);
    EXPECT_TRUE(w.action("mnuHelp2")->isChecked());
    EXPECT_FALSE(w.action("mnuHelp1")->isChecked());
}

TEST_F(ConfigScadaTest, TimersStartWithTheirIntervalsAndStates)
{
    ConfigScada w(*station);
    const struct {
        QTimer *timer;
        const char *name;
        int interval;
        bool active;
    } timers[] = {
        {w.Timer1(), "Timer1", 250, true},        {w.Timer_Key_Pause(), "Timer_Key_Pause", 500, true},
        {w.Timer_05(), "Timer_05", 30, false},    {w.Timer_Transport45(), "Timer_Transport45", 10, false},
        {w.Timer_Vent(), "Timer_Vent", 70, true},
    };
    for (const auto &t : timers) {
        ASSERT_NE(t.timer, nullptr) << t.name;
        EXPECT_EQ(t.timer->objectName(), QString::fromLatin1(t.name));
        EXPECT_EQ(t.timer->interval(), t.interval) << t.name;
        EXPECT_EQ(t.timer->isActive(), t.active) << t.name;
    }
}

TEST_F(ConfigScadaTest, KeyTimerMirrorsPressReleaseAndRepeat)
{
    ConfigScada w(*station);
    ControlRec &rec = station->project.controls[0][1];
    rec.present = 1;
    rec.block = 4;
    rec.key = 1;
    rec.picture = 2;
    w.releaseKey();
    EXPECT_FALSE(w.Timer_Key_Pause()->isActive());
    EXPECT_EQ(w.Timer_Key_Pause()->interval(), 1000);
    w.pressKey(1);
    EXPECT_TRUE(w.Timer_Key_Pause()->isActive());
    EXPECT_EQ(w.Timer_Key_Pause()->interval(), 1000);
    EXPECT_EQ(station->key.block, 4);
    w.keyRepeat().tick();
    EXPECT_EQ(w.Timer_Key_Pause()->interval(), 40);
    EXPECT_TRUE(w.Timer_Key_Pause()->isActive());
    w.releaseKey();
    EXPECT_FALSE(w.Timer_Key_Pause()->isActive());
}

TEST_F(ConfigScadaTest, ClockUpdatesOnlyThePageOnShowAndFollowsAPageChange)
{
    ConfigScada w(*station);
    QLabel clock1, date1, clock2, date2;
    w.setClockLabels(1, &clock1, &date1);
    w.setClockLabels(2, &clock2, &date2);

    w.tickClock(QDateTime(QDate(2024, 3, 5), QTime(7, 9, 41)));
    EXPECT_EQ(clock1.text(), QStringLiteral("07:09"));
    EXPECT_EQ(date1.text(), QStringLiteral("05.03.24"));
    EXPECT_TRUE(clock2.text().isEmpty());
    EXPECT_TRUE(date2.text().isEmpty());

    w.setCurrentPage(1);
    EXPECT_EQ(station->project.currentPage, 1);
    w.tickClock(QDateTime(QDate(2025, 12, 31), QTime(23, 58)));
    EXPECT_EQ(clock2.text(), QStringLiteral("23:58"));
    EXPECT_EQ(date2.text(), QStringLiteral("31.12.25"));
    EXPECT_EQ(clock1.text(), QStringLiteral("07:09"));
}

TEST_F(ConfigScadaTest, ClockTickSkipsMissingAndDeletedLabels)
{
    ConfigScada w(*station);
    auto *clock = new QLabel;
    QLabel date;
    w.setClockLabels(1, clock, &date);
    delete clock;
    w.tickClock(QDateTime(QDate(2024, 1, 2), QTime(3, 4)));
    EXPECT_EQ(date.text(), QStringLiteral("02.01.24"));

    w.setCurrentPage(5);   // no labels on page 5
    w.tickClock(QDateTime(QDate(2024, 1, 2), QTime(3, 5)));
    w.setClockLabels(1, nullptr, nullptr);
    w.setCurrentPage(0);
    w.tickClock(QDateTime(QDate(2024, 2, 2), QTime(3, 6)));
    EXPECT_EQ(date.text(), QStringLiteral("02.01.24"));
}

TEST_F(ConfigScadaTest, TabClicksOutsideTheEightPagesAreIgnored)
{
    ConfigScada w(*station);
    w.setCurrentPage(7);
    w.setCurrentPage(8);
    w.setCurrentPage(-1);
    EXPECT_EQ(station->project.currentPage, 7);
}

TEST_F(ConfigScadaTest, LogoShowsOnTheEmptyWindowWithTheClockAndHidesForAProject)
{
    ConfigScada w(*station);
    w.show();
    ASSERT_NE(w.logo(), nullptr);
    EXPECT_TRUE(w.logo()->isVisible());
    const QDateTime now(QDate(2024, 6, 1), QTime(12, 30));
    w.tickClock(now);
    EXPECT_EQ(w.logo()->dateTime(), now);

    QImage image(w.logo()->size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    w.logo()->render(&image);
    const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
    EXPECT_LT(centre.lightness(), 100) << "the logo card is not painted";

    // Below the logo: how to start.
    ASSERT_NE(w.startHint(), nullptr);
    EXPECT_TRUE(w.startHint()->isVisible());
    EXPECT_TRUE(w.startHint()->text().contains(QStringLiteral("«Файл» → «Відкрити проект»")));
    EXPECT_TRUE(w.startHint()->text().contains(QStringLiteral("tablo --demo")));
    EXPECT_FALSE(w.startHint()->geometry().intersects(w.logo()->geometry()));

    w.loadProject(QStringLiteral("/tmp/plant.prt"));
    EXPECT_FALSE(w.logo()->isVisible());
    EXPECT_FALSE(w.startHint()->isVisible());
    EXPECT_EQ(w.requestedProjectPath(), QStringLiteral("/tmp/plant.prt"));
}

// Records the order in which owned windows are closed.
class RecordingWindow : public QWidget {
public:
    RecordingWindow(QString name, QStringList &log) : name_(std::move(name)), log_(log) {}

protected:
    void closeEvent(QCloseEvent *event) override
    {
        log_ << name_;
        event->accept();
    }

private:
    QString name_;
    QStringList &log_;
};

TEST_F(ConfigScadaTest, ExitUnloadsOwnedWindowsInShutdownOrderThenTheOthers)
{
    QStringList closed;
    QList<QPointer<QWidget>> windows;
    {
        ConfigScada w(*station);
        w.show();
        QStringList names = ConfigScada::shutdownOrder();
        std::reverse(names.begin(), names.end());
        names.insert(3, QStringLiteral("Extra"));
        for (const QString &name : names) {
            auto *window = new RecordingWindow(name, closed);
            window->show();
            w.registerWindow(name, window);
            windows << window;
        }
        EXPECT_EQ(w.registeredWindow("Report"), windows[names.indexOf("Report")].data());

        int shutDowns = 0;
        QObject::connect(&w, &ConfigScada::shutDown, [&shutDowns] { ++shutDowns; });
        w.action("mnuExit")->trigger();
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(shutDowns, 1);
        QStringList expected = ConfigScada::shutdownOrder();
        expected << QStringLiteral("Extra");
        EXPECT_EQ(closed, expected);
        for (const auto &window : windows)
            EXPECT_FALSE(window && window->isVisible());
    }
    for (const auto &window : windows)
        EXPECT_TRUE(window.isNull()) << "owned window outlived the main window";
}

TEST_F(ConfigScadaTest, MenuOpenedWindowDisablesTheMainWindowUntilItCloses)
{
    ConfigScada w(*station);
    w.show();
    auto *window = new QWidget;
    w.registerWindow(QStringLiteral("Report"), window);
    w.openModal(window);
    EXPECT_FALSE(w.isEnabled());
    window->close();
    EXPECT_TRUE(w.isEnabled());
}

// Later windows plug into the menu through these signals.
class HookedWindow : public ConfigScada {
public:
    explicit HookedWindow(Station &station) : ConfigScada(station)
    {
        const std::pair<void (ConfigScada::*)(), const char *> hooks[] = {
            {&ConfigScada::projectSettingsRequested, "settings"},
            {&ConfigScada::trendFileRequested, "trendFile"},
            {&ConfigScada::journalFileRequested, "journalFile"},
            {&ConfigScada::reportWindowRequested, "report"},
            {&ConfigScada::journalWindowRequested, "journal"},
            {&ConfigScada::historyRequested, "history"},
            {&ConfigScada::schemaRequested, "schema"},
            {&ConfigScada::scadaRequested, "scada"}};
        for (const auto &hook : hooks) {
            const char *call = hook.second;
            connect(this, hook.first, this, [this, call] { calls << QString::fromLatin1(call); });
        }
    }
    QStringList calls;
};

TEST_F(ConfigScadaTest, MenuItemsReachTheirHooks)
{
    HookedWindow w(*station);
    for (const char *name : {"mnuNastrojki", "mnuGRAFIK", "mnuJurnalOpen", "mnuReportEXCEL", "mnuJurnal", "mnuIstorija",
                             "mnuSchema", "mnuSCADA"})
        w.action(QString::fromLatin1(name))->trigger();
    EXPECT_EQ(w.calls,
              (QStringList{"settings", "trendFile", "journalFile", "report", "journal", "history", "schema", "scada"}));
}

TEST_F(ConfigScadaTest, AboutTellsVersionFamilyLicenceAndWhereTheDataLive)
{
    ConfigScada w(*station);
    w.show();
    EXPECT_EQ(w.action("mnuAbout")->text(), QStringLiteral("&Про програму"));
    EXPECT_TRUE(w.action("mnu14")->isSeparator());
    w.action("mnuAbout")->trigger();
    QWidget *about = w.aboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(w.isEnabled());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("Про програму"));
    const QString text = w.aboutText();
    for (const char *part : {"Tablo 5.1", "SCADA Ж7-301 5.1", "сімейства Ж7",
                             "Ліцензія:", "Версія 5.0  (01/09/19), Версія 2.0  (01/03/15), Версія 1.2 (01.10.14)",
                             "Проект використовує: Версія 2.0  (01/03/15).", "Дані:", "Історія:"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part;
    // The mark the project reader sets is the one named.
    w.action("mnuHelp1")->setChecked(false);
    w.action("mnuHelp3")->setChecked(true);
    EXPECT_TRUE(w.aboutText().contains(QStringLiteral("Проект використовує: Версія 5.0  (01/09/19).")));
    about->close();
    EXPECT_TRUE(w.isEnabled());
}

// The key an operator presses, as the keyboard layout types it.
void press(QWidget *to, const QString &typed, Qt::KeyboardModifiers mods)
{
    const QChar c = typed.at(0).toUpper();
    QKeyEvent down(QEvent::KeyPress, c.unicode(), mods, typed);
    QCoreApplication::sendEvent(to, &down);
    QKeyEvent up(QEvent::KeyRelease, c.unicode(), mods, typed);
    QCoreApplication::sendEvent(to, &up);
}

// The captions' access keys are Cyrillic (and one Latin): the same physical key works in the
// Latin, Ukrainian and Russian layouts.
TEST_F(ConfigScadaTest, AccessKeysWorkInAnyKeyboardLayout)
{
    HookedWindow w(*station);
    w.show();
    w.activateWindow();
    QWidget *inside = w.clientArea();

    press(inside, QStringLiteral("y"), Qt::AltModifier);   // Н of "&Налаштування" under QWERTY
    EXPECT_EQ(w.calls, QStringList{"settings"});

    struct Case {
        const char *bar;    // typed with Alt: opens the menu
        const char *item;   // typed in the open menu
        const char *menu;
        const char *call;
    };
    const Case cases[] = {
        {"d", "c", "mnuVid", "schema"},   // В, С on a Latin layout
        {"d", "s", "mnuVid", "scada"},    // "&SCADA" on the Latin layout itself
        {"в", "і", "mnuVid", "scada"},    // the S key on a Ukrainian layout
        {"в", "ы", "mnuVid", "scada"},    // and on a Russian one
        {"d", "с", "mnuVid", "schema"},   // the caption's own letter still works
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.bar) + " " + c.item);
        w.calls.clear();
        QMenu *menu = w.menu(QString::fromLatin1(c.menu));
        const QString bar = QString::fromUtf8(c.bar);
        if (bar == QStringLiteral("в")) {
            w.menuBar()->setActiveAction(menu->menuAction());   // Qt's own Alt+В
        } else {
            press(inside, bar, Qt::AltModifier);
        }
        ASSERT_TRUE(spinUntil([&] { return menu->isVisible(); }));
        EXPECT_EQ(w.menuBar()->activeAction(), menu->menuAction());
        press(menu, QString::fromUtf8(c.item), Qt::NoModifier);
        EXPECT_TRUE(spinUntil([&] { return !menu->isVisible(); }));
        EXPECT_EQ(w.calls, QStringList{QString::fromLatin1(c.call)});
    }

    // A key that is no access key in any layout does nothing.
    w.calls.clear();
    press(inside, QStringLiteral("5"), Qt::AltModifier);
    press(inside, QStringLiteral("m"), Qt::AltModifier);   // Ь
    EXPECT_TRUE(w.calls.isEmpty());
    EXPECT_EQ(w.menuBar()->activeAction(), nullptr);
}

}   // namespace
