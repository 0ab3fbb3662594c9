// The station's windows as an operator meets them at the keyboard and on a small screen.
#include "app/ModalWindow.h"
#include "station/Station.h"
#include "journal/JURNAL_sheet.h"
#include "journal/JournalFile.h"
#include "journal/Jurnal_ALARM_ON.h"
#include "link/Set_SP_US1.h"
#include "history/HistoryWindow.h"
#include "main/OperatorStation.h"
#include "mimic/BlockInspector.h"
#include "mimic/MimicPages.h"
#include "project/ConfigProject.h"
#include "reports/Report.h"
#include "reports/ReportFile.h"
#include "support/QtTestApp.h"
#include "e2e/StationRig.h"
#include <QLabel>
#include <QPointer>
#include "trends/GRAFIK_sheet.h"
#include "trends/GrfFile.h"

#include <QAction>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// The smallest screen the station is used on, less a title bar of 30 pixels.
constexpr int ScreenWidth = 1024;
constexpr int ScreenHeight = 768 - 30;

bool fits(const QWidget *w)
{
    const QSize shown = w->frameGeometry().size().expandedTo(w->size());
    const QSize least = w->minimumSizeHint().expandedTo(w->minimumSize());
    return shown.width() <= ScreenWidth && shown.height() <= ScreenHeight && least.width() <= ScreenWidth
        && least.height() <= ScreenHeight;
}

std::string sizeOf(const QWidget *w)
{
    return QStringLiteral("%1: %2 x %3 (at least %4 x %5)")
        .arg(w->objectName())
        .arg(w->frameGeometry().width())
        .arg(w->frameGeometry().height())
        .arg(w->minimumSizeHint().width())
        .arg(w->minimumSizeHint().height())
        .toStdString();
}

class DeskTest : public ::testing::Test {
protected:
    QApplication &app = qtApp();
    std::unique_ptr<Station> station = std::make_unique<Station>();
    std::unique_ptr<OperatorStation> window = std::make_unique<OperatorStation>(*station);

    void SetUp() override
    {
        window->mainWindow()->show();
        ASSERT_TRUE(spinUntil([&] { return window->mainWindow()->isVisible(); }));
    }
    void TearDown() override
    {
        window->mainWindow()->close();
        window.reset();
    }
};

// Every window opened from the menu closes on Escape as its frame would close it, and
// gives the main window back; each fits a 1024 x 768 screen.
TEST_F(DeskTest, EveryWindowFitsTheSmallScreenAndClosesOnEscape)
{
    EXPECT_TRUE(fits(window->mainWindow())) << sizeOf(window->mainWindow());

    struct Case {
        const char *name;
        std::function<QWidget *()> open;
    };
    OperatorStation &w = *window;
    const Case cases[] = {
        {"settings",
         [&]() -> QWidget * {
             w.mainWindow()->action(QStringLiteral("mnuNastrojki"))->trigger();
             return w.projectSettings();
         }},
        {"report",
         [&]() -> QWidget * {
             w.mainWindow()->action(QStringLiteral("mnuReportEXCEL"))->trigger();
             return w.reportWindow();
         }},
        {"journal",
         [&]() -> QWidget * {
             w.mainWindow()->action(QStringLiteral("mnuJurnal"))->trigger();
             return w.journalWindow();
         }},
        {"trend", [&]() -> QWidget * { return w.openTrendWindow(1); }},
        {"history",
         [&]() -> QWidget * {
             w.mainWindow()->action(QStringLiteral("mnuIstorija"))->trigger();
             return w.historyWindow();
         }},
        {"about",
         [&]() -> QWidget * {
             w.mainWindow()->action(QStringLiteral("mnuAbout"))->trigger();
             return w.mainWindow()->aboutWindow();
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QWidget *opened = c.open();
        ASSERT_NE(opened, nullptr);
        ASSERT_TRUE(spinUntil([&] { return opened->isVisible(); }));
        EXPECT_FALSE(w.mainWindow()->isEnabled());
        EXPECT_TRUE(fits(opened)) << sizeOf(opened);
        opened->activateWindow();
        spinUntil([&] { return QApplication::activeWindow() == opened; }, 1000);
        QWidget *focus = opened->focusWidget() ? opened->focusWidget() : opened;
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_TRUE(spinUntil([&] { return !opened->isVisible(); })) << "Escape left it open";
        EXPECT_TRUE(spinUntil([&] { return w.mainWindow()->isEnabled(); }));
        // The trend and journal downloads asked for stay unsent: no project, no polling.
        station->trend.Graf_PageCount = 0;
    }

    // The history window read the history of the project's controller, where the station keeps it.
    ASSERT_NE(w.historyWindow(), nullptr);
    EXPECT_EQ(w.historyWindow()->path(), w.historyTarget());
    EXPECT_TRUE(w.historyTarget().endsWith(QStringLiteral("/tablo/history/project-1.sqlite")))
        << w.historyTarget().toStdString();

    // The windows without a menu item.
    Set_SP_US1 setPoint(*station, 12, 3);
    setPoint.show();
    EXPECT_TRUE(fits(&setPoint)) << sizeOf(&setPoint);
    EXPECT_TRUE(fits(w.mimicPages()->inspector())) << sizeOf(w.mimicPages()->inspector());
}

// Enter acknowledges the alarm window wherever its focus is.
TEST_F(DeskTest, EnterAcknowledgesTheAlarm)
{
    Jurnal_ALARM_ON *alarm = window->alarmWindow();
    ASSERT_NE(alarm, nullptr);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        SCOPED_TRACE(int(key));
        alarm->alarmWord({0, 0, 0, 0x01});
        ASSERT_TRUE(spinUntil([&] { return alarm->isVisible(); }));
        EXPECT_TRUE(fits(alarm)) << sizeOf(alarm);
        EXPECT_EQ(station->alarm.Alarm_Lines, 1);
        alarm->activateWindow();
        spinUntil([&] { return QApplication::activeWindow() == alarm; }, 1000);
        QWidget *focus = alarm->focusWidget() ? alarm->focusWidget() : alarm;
        QTest::keyClick(focus, key);
        EXPECT_TRUE(spinUntil([&] { return !alarm->isVisible(); })) << "Enter did not acknowledge";
        EXPECT_EQ(station->alarm.Alarm_Lines, 0);
    }
}

// "Звіт → Історія" reads the history the station keeps (`--history FILE` here), again each
// time it opens, so what was stored meanwhile shows.
TEST_F(DeskTest, TheHistoryWindowReadsTheHistoryTheStationKeeps)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("chosen.sqlite"));
    QString error;
    auto writer = history::HistoryStore::open(file, &error);
    ASSERT_TRUE(writer) << error.toStdString();
    ASSERT_TRUE(writer->logAction(1709622000000LL, QStringLiteral("op"), QStringLiteral("key"), QStringLiteral("F1")));
    window->setHistoryChoice(file);
    EXPECT_EQ(window->historyTarget(), file);

    window->mainWindow()->action(QStringLiteral("mnuIstorija"))->trigger();
    history::HistoryWindow *h = window->historyWindow();
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(spinUntil([&] { return h->isVisible(); }));
    EXPECT_EQ(h->path(), file);
    ASSERT_NE(h->store(), nullptr) << h->status->text().toStdString();
    EXPECT_EQ(h->actionsTable->rowCount(), 1);
    h->close();
    ASSERT_TRUE(spinUntil([&] { return window->mainWindow()->isEnabled(); }));

    ASSERT_TRUE(writer->logAction(1709622060000LL, QStringLiteral("op"), QStringLiteral("key"), QStringLiteral("F2")));
    window->mainWindow()->action(QStringLiteral("mnuIstorija"))->trigger();
    ASSERT_TRUE(spinUntil([&] { return h->isVisible(); }));
    EXPECT_EQ(window->historyWindow(), h);
    EXPECT_EQ(h->actionsTable->rowCount(), 2);
    h->close();
}

// `tablo FILE` from the desktop: each kind of file opens its own window; a file that cannot
// be read gets a message and no window, and nothing crashes.
TEST_F(DeskTest, FilesFromTheDesktopOpenInTheirWindows)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    OperatorStation &w = *window;
    const auto path = [&](const char *name) { return dir.filePath(QString::fromUtf8(name)); };
    const auto garbage = [&](const char *name) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\x01\xff not a file of ours \r\n-");
        return path(name);
    };
    const auto closeMessages = [&] {
        for (QMessageBox *box : w.openMessages())
            box->close();
        spinUntil([&] { return w.openMessages().empty(); }, 2000);
    };

    // Good files, written by the station's own writers.
    journal::Buffer buf{};
    buf[1] = 7;
    ASSERT_TRUE(journal::saveJur(path("p.jur"), 4, buf));
    ASSERT_TRUE(report::saveSettings(path("r.rep"), *station));
    ASSERT_TRUE(grf::save(path("t.grf"), *station, grf::ChartScale{}));

    struct Case {
        QString file;
        std::function<QWidget *()> window;
        bool opens;
    };
    const Case cases[] = {
        {path("p.jur"), [&]() -> QWidget * { return w.journalWindow(); }, true},
        {path("r.rep"), [&]() -> QWidget * { return w.reportWindow(); }, true},
        {path("t.grf"), [&]() -> QWidget * { return w.trendWindow(); }, true},
        {garbage("bad.jur"), [&]() -> QWidget * { return w.journalWindow(); }, false},
        {path("missing.rep"), [&]() -> QWidget * { return w.reportWindow(); }, false},
        {path("missing.grf"), [&]() -> QWidget * { return w.trendWindow(); }, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        EXPECT_EQ(w.openDocument(c.file), c.opens);
        QWidget *opened = c.window();
        if (c.opens) {
            ASSERT_NE(opened, nullptr);
            EXPECT_TRUE(spinUntil([&] { return opened->isVisible(); }));
            if (c.file.endsWith(QStringLiteral("p.jur"))) {
                EXPECT_EQ(station->journal.Jurnal_Buf[1], 7);   // the page from the file is on show
            }
            EXPECT_FALSE(w.mainWindow()->isEnabled());
            opened->close();
            EXPECT_TRUE(spinUntil([&] { return w.mainWindow()->isEnabled(); }));
        } else {
            EXPECT_TRUE(!opened || !opened->isVisible());
            EXPECT_TRUE(spinUntil(
                [&] {
                    for (QWidget *top : QApplication::topLevelWidgets())
                        if (qobject_cast<QMessageBox *>(top) && top->isVisible())
                            return true;
                    return false;
                },
                2000))
                << "no message for a file that cannot be read";
            for (QWidget *top : QApplication::topLevelWidgets())
                if (qobject_cast<QMessageBox *>(top))
                    top->close();
            closeMessages();
            EXPECT_TRUE(spinUntil([&] { return w.mainWindow()->isEnabled(); }));
        }
    }
    // A report settings file is read line by line as far as it goes: a damaged one opens
    // with what could be taken from it, and nothing crashes.
    w.openDocument(garbage("bad.rep"));
    if (Report *r = w.reportWindow())
        r->close();
    closeMessages();
}

// The set-point dialog of a navigation label names the set-point as the netlist does and
// shows its value now; without a value label under the navigation label, the netlist's value.
TEST(DeskSetPoint, TheDialogNamesTheSetPointFromTheNetlistAndShowsItsValue)
{
    e2e::StationRig rig;
    ASSERT_TRUE(rig.load());
    MimicPages *pages = rig.window->mimicPages();
    struct Case {
        int pin;
        const char *live;
        const char *name;
        const char *current;
    };
    const Case cases[] = {
        {2, "94.5", "Т прямої води", "94.5"},
        {4, "", "Розрідження К-1", "-20"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pin);
        Q_EMIT pages->setPointRequested(25, c.pin, QString::fromUtf8(c.live));
        Set_SP_US1 *dialog = nullptr;
        ASSERT_TRUE(spinUntil([&] {
            for (QWidget *top : QApplication::topLevelWidgets())
                if (auto *d = qobject_cast<Set_SP_US1 *>(top); d && d->isVisible())
                    dialog = d;
            return dialog != nullptr;
        }));
        EXPECT_EQ(dialog->Target_Label->text(),
                  QStringLiteral("Блок U25, вихід %1: ").arg(c.pin) + QString::fromUtf8(c.name));
        EXPECT_EQ(dialog->Current_Label->text(), QStringLiteral("Поточне значення: ") + QString::fromUtf8(c.current));
        QPointer<Set_SP_US1> gone(dialog);
        dialog->Command1->click();
        EXPECT_TRUE(spinUntil([&] { return gone.isNull(); }));
    }
}

// A project on a COM port whose device is missing: the link indicator's tooltip says why the
// port does not open and which device it is.
TEST(DeskSerial, TheLinkIndicatorSaysWhyTheSerialPortFails)
{
    e2e::StationRig rig;
    const QString missing = rig.dir.filePath(QStringLiteral("ttyUSB7"));
    rig.station->poll.comDevices[3] = missing;
    ASSERT_TRUE(rig.window->loadProjectOverSerial(rig.prt, 3));
    const QString expected = QStringLiteral("Помилка СОМ порту !!!\nпристрій не існує: ") + missing;
    EXPECT_TRUE(spinUntil([&] { return rig.window->linkIndicator()->toolTip().contains(expected); }, 8000))
        << rig.window->linkIndicator()->toolTip().toStdString();
}

}   // namespace
