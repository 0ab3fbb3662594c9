// The report window and the event-name window offscreen, the download played by a scripted
// serial port and ticked directly.
#include "ReportFixtures.h"
#include "station/Station.h"
#include "link/Link.h"
#include "link/ScriptedTransport.h"
#include "link/VirtualDriver.h"
#include "reports/Name_sobytie.h"
#include "reports/Report.h"
#include "reports/ReportExport.h"
#include "reports/ReportFile.h"
#include "support/QtTestApp.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct WindowRig {
    Station st;
    ScriptedTransport serial, tcp;
    ManualClock clock;
    Link link{st, serial, tcp, clock};
    VirtualDriver driver{clock};
    std::unique_ptr<Report> report;

    WindowRig()
    {
        qtApp();
        st.project.linkKind = 3;
        st.poll.comDevices[3] = QStringLiteral("/dev/ttyUSB7");
        st.report.Rep_Names[0] = QStringLiteral("Котельня");
        serial.responder = [](ScriptedTransport &t, const QByteArray &w) {
            if (w.size() == 8 && w[1] == 75)
                t.inject(reportfix::packetAnswer(w[2]));
        };
        report = std::make_unique<Report>(st, link);
    }

    void download()
    {
        report->Load_Q7_Click();
        run();
    }
    // The report's timers on the rig's clock, the next one when it is due, or all to the end.
    int tick() { return driver.stepAfter(report->download(), report->download().nextInterval()); }
    void run() { driver.drive(report->download(), report->download().nextInterval(), 1000); }
};

}   // namespace

TEST(ReportWindowTest, FourPacketsWriteTheWorkbookIntoTheFolderAndCloseTheWindow)
{
    WindowRig rig;
    QTemporaryDir dir;
    rig.report->setExportFolder(dir.path());
    QSignalSpy back(rig.report.get(), &Report::linkHandedBack);
    rig.report->show();
    EXPECT_EQ(rig.report->windowTitle(), QStringLiteral("Звіт EXCEL Q7"));
    EXPECT_EQ(rig.report->LabelCOM->text(), QStringLiteral("COM3"));
    EXPECT_EQ(rig.report->deviceLabel->text(), QStringLiteral("/dev/ttyUSB7"));
    EXPECT_TRUE(rig.report->mnuRapWiew->isChecked());
    EXPECT_FALSE(rig.report->ProgressBar_REPORT->isVisible());

    rig.report->Load_Q7_Click();
    EXPECT_EQ(rig.st.poll.Rep_Mode, 1);
    EXPECT_FALSE(rig.report->Load_Q7->isEnabled());
    rig.tick();   // the request after the delay
    EXPECT_TRUE(rig.report->ProgressBar_REPORT->isVisible());
    EXPECT_EQ(rig.report->Paket_Num->text(), QStringLiteral("Пакет № 1"));
    rig.run();

    const QString expected =
        dir.filePath(report::workbookName(QStringLiteral("Котельня"), QDate::currentDate(), QLocale::system()));
    EXPECT_EQ(rig.report->lastWorkbook(), expected);
    EXPECT_TRUE(QFile::exists(expected));
    EXPECT_EQ(back.count(), 1);
    EXPECT_EQ(rig.st.poll.Rep_Mode, 0);
    EXPECT_EQ(rig.report->Paket_Num->text(), QStringLiteral("Пакет № 0"));
    EXPECT_TRUE(rig.report->openMessages().empty());
    EXPECT_FALSE(rig.report->elapsedLabel->text().isEmpty());
    EXPECT_TRUE(spinUntil([&] { return !rig.report->isVisible(); }));
    EXPECT_EQ(back.count(), 1);
}

TEST(ReportWindowTest, AWorkbookThatCannotBeSavedKeepsTheWindowOpenWithANumberedError)
{
    WindowRig rig;
    QTemporaryDir dir;
    rig.report->setExportFolder(dir.filePath(QStringLiteral("missing")));
    QSignalSpy back(rig.report.get(), &Report::linkHandedBack);
    rig.report->show();
    rig.download();

    ASSERT_EQ(rig.report->openMessages().size(), 1u);
    EXPECT_TRUE(rig.report->openMessages()[0]->text().startsWith(QStringLiteral("Error nr ")));
    EXPECT_TRUE(rig.report->openMessages()[0]->text().contains(QStringLiteral(": ")));
    EXPECT_EQ(back.count(), 1);
    EXPECT_EQ(rig.st.poll.Rep_Mode, 0);
    EXPECT_TRUE(rig.report->Load_Q7->isEnabled());
    spinUntil([] { return false; }, 50);
    EXPECT_TRUE(rig.report->isVisible());
}

TEST(ReportWindowTest, NotArchivedTheWorkbookIsShownAndASettingsFileFillsTheWindow)
{
    WindowRig rig;
    QTemporaryDir dir;
    rig.report->setExportFolder(dir.path());
    QStringList shown;
    rig.report->setWorkbookOpener([&](const QString &path) {
        shown << path;
        return true;
    });
    rig.report->show();
    rig.report->mnuRapWiew->trigger();
    EXPECT_FALSE(rig.st.report.Rep_Archive);

    Station other;
    other.project.linkKind = 9;
    other.report.Rep_Precision = 3;
    other.report.Rep_TriggerElement = 6;
    const QString rep = dir.filePath(QStringLiteral("boiler.rep"));
    ASSERT_TRUE(report::saveSettings(rep, other));
    ASSERT_TRUE(rig.report->loadSettingsFile(rep));
    EXPECT_EQ(rig.report->Tocnost_EXC->currentText(), QStringLiteral("0.000"));
    EXPECT_EQ(rig.report->LabelCOM->text(), QStringLiteral("COM9"));
    EXPECT_EQ(rig.st.report.Rep_Names[0], QStringLiteral("boiler"));
    rig.report->Tocnost_EXC->setCurrentIndex(1);
    EXPECT_EQ(rig.st.report.Rep_Precision, 1);

    rig.download();
    ASSERT_FALSE(rig.serial.opens.empty());
    EXPECT_EQ(rig.serial.opens.back().comPort, 9);
    EXPECT_EQ(shown, QStringList{rig.report->lastWorkbook()});
    EXPECT_TRUE(rig.report->lastWorkbook().contains(QStringLiteral("boiler ")));
}

TEST(ReportWindowTest, TheNameWindowStoresOnOkAndLeavesEverythingOnCancel)
{
    struct Case {
        const char *name;
        bool ok;
        int choose;              // list row chosen
        QString box0, box15;     // typed into boxes 0 and 15
        int trigger;             // Rep_TriggerElement after
        QString name1, name16;   // Rep_Names 1 and 16 after
    };
    const Case cases[] = {
        {"Ok with 5", true, 4, "Тиск пари", "Рівень", 4, "Тиск пари", "Рівень"},
        {"Ok with an empty box", true, 31, "", "x", 31, "", "x"},
        {"Відміна after editing", false, 4, "edited", "edited", 2, "old 1", "old 16"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        WindowRig rig;
        rig.st.report.Rep_TriggerElement = 2;
        for (int i = 1; i <= 16; ++i)
            rig.st.report.Rep_Names[size_t(i)] = QStringLiteral("old %1").arg(i);
        rig.report->show();
        rig.report->mnuName->trigger();
        Name_sobytie *w = rig.report->nameWindow();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Назва події"));
        EXPECT_FALSE(rig.report->isEnabled());
        EXPECT_EQ(w->Combo1->count(), 32);
        EXPECT_EQ(w->Combo1->currentText(), QStringLiteral("3"));
        EXPECT_EQ(w->Name_Sob[0]->text(), QStringLiteral("old 1"));
        w->Combo1->setCurrentIndex(c.choose);
        w->Name_Sob[0]->setText(c.box0);
        w->Name_Sob[15]->setText(c.box15);
        w->findChild<QPushButton *>(c.ok ? QStringLiteral("Command2") : QStringLiteral("Command1"))->click();
        EXPECT_FALSE(w->isVisible());
        EXPECT_TRUE(rig.report->isEnabled());
        EXPECT_EQ(rig.st.report.Rep_TriggerElement, c.trigger);
        EXPECT_EQ(rig.st.report.Rep_Names[1], c.name1);
        EXPECT_EQ(rig.st.report.Rep_Names[16], c.name16);
        EXPECT_EQ(rig.st.report.Rep_Names[2], QStringLiteral("old 2"));

        rig.report->mnuName->trigger();
        EXPECT_EQ(w->Combo1->currentIndex(), c.trigger);
        w->close();
        EXPECT_TRUE(rig.report->isEnabled());
    }
}

TEST(ReportWindowTest, ClosingOrDestroyingTheWindowMidDownloadHandsTheLinkBack)
{
    for (bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "destroyed" : "closed");
        WindowRig rig;
        QSignalSpy back(rig.report.get(), &Report::linkHandedBack);
        rig.report->show();
        rig.report->Load_Q7_Click();
        rig.tick();   // packet 1 requested
        ASSERT_EQ(rig.st.poll.Rep_Mode, 1);
        if (destroy) {
            rig.report.reset();
        } else {
            rig.report->close();
            EXPECT_EQ(back.count(), 1);
            EXPECT_FALSE(rig.report->download().running());
        }
        EXPECT_EQ(rig.st.poll.Rep_Mode, 0);
        EXPECT_EQ(rig.st.report.Rep_PacketNo, 0);
    }
}

// "Швидко" follows the verdict kept for the controller: refused, ticking it says why and leaves
// it off; accepted, "Завантажити з Ж7" downloads answer-paced; never checked, the check runs
// first with the polling cycle kept off the port (`Rep_Mode` 1) until the window goes, closed
// or destroyed, and then the link is handed back.
TEST(ReportWindowTest, FastItemFollowsTheVerdictKeptForTheController)
{
    QTemporaryDir data;
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const FastVerdicts verdicts;
    struct Case {
        FastVerdict verdict;
        bool destroy;
    };
    for (const Case c : {Case{FastVerdict::Refused, false}, Case{FastVerdict::Accepted, false},
                         Case{FastVerdict::Unknown, false}, Case{FastVerdict::Unknown, true}}) {
        SCOPED_TRACE(int(c.verdict) * 10 + c.destroy);
        WindowRig rig;
        rig.st.project.projectName = QStringLiteral("Котельня");
        rig.st.project.controllerAddress = 2;
        ASSERT_TRUE(verdicts.put(rig.st.project.projectName, 2, QStringLiteral("report"), c.verdict));
        QSignalSpy back(rig.report.get(), &Report::linkHandedBack);
        rig.report->show();
        ASSERT_FALSE(rig.report->fastBox->isChecked());
        rig.report->fastBox->setChecked(true);
        EXPECT_EQ(rig.report->fastBox->isChecked(), c.verdict != FastVerdict::Refused);
        QStringList said;
        for (QMessageBox *box : rig.report->openMessages())
            said << box->text();
        EXPECT_EQ(said, c.verdict == FastVerdict::Refused ? QStringList{fastmsg::Refused} : QStringList{});

        rig.report->Load_Q7_Click();
        EXPECT_EQ(rig.st.poll.Rep_Mode, 1);
        const bool checking = c.verdict == FastVerdict::Unknown;
        EXPECT_EQ(rig.report->fastGate().checking(), checking);
        EXPECT_EQ(rig.report->download().running(), !checking);
        EXPECT_EQ(rig.report->download().answerPaced(), c.verdict == FastVerdict::Accepted);
        EXPECT_EQ(rig.report->Load_Q7->isEnabled(), false);
        if (checking) {
            EXPECT_EQ(rig.report->Paket_Num->text(), QStringLiteral("Перевірка швидкого режиму…"));
        }
        if (c.destroy) {
            rig.report.reset();
        } else {
            rig.report->close();
            EXPECT_EQ(back.count(), 1);
            EXPECT_FALSE(rig.report->fastGate().checking());
        }
        EXPECT_EQ(rig.st.poll.Rep_Mode, 0);
    }
    if (before.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", before);
}
