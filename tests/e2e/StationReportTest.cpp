// The report download of the whole program: the demo project polled over TCP, the report
// archive fetched over COM9 (a pseudo-terminal of the simulator) and written as a workbook.
#include "StationRig.h"
#include "link/Frame.h"
#include "reports/Report.h"
#include "sim/Clock.h"
#include "sim/Controller.h"
#include "support/XlsxDump.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTimer>
#include "mimic/MimicPages.h"
#include <cmath>

TEST(StationReportTest, AReportOnATcpProjectDownloadsOverCom9AndTheWorkbookAppears)
{
    e2e::StationRig rig;
    QString error;
    // Every answer at a real line's pace: a report packet outlasts the progress bar.
    rig.simulator->setBaud(115200);
    ASSERT_TRUE(rig.simulator->openPty({}, &error)) << error.toStdString();
    rig.station->poll.comDevices[9] = rig.simulator->ptyPath();
    ASSERT_TRUE(rig.load());
    ASSERT_EQ(rig.project().linkKind, 9);
    ASSERT_TRUE(rig.waitForAnswers());

    QAction *menu = rig.window->mainWindow()->action(QStringLiteral("mnuReportEXCEL"));
    ASSERT_NE(menu, nullptr);
    menu->trigger();
    Report *report = rig.window->reportWindow();
    ASSERT_NE(report, nullptr);
    EXPECT_FALSE(rig.window->mainWindow()->isEnabled());
    EXPECT_EQ(report->LabelCOM->text(), QStringLiteral("COM9"));
    EXPECT_EQ(report->deviceLabel->text(), rig.simulator->ptyPath());
    QTemporaryDir out;
    report->setExportFolder(out.path());
    const std::vector<sim::ReportArchive::Row> rows = rig.simulator->controller().reports().snapshot();
    ASSERT_EQ(rows.size(), 375u);

    e2e::CycleCounter cycles(*rig.window);
    std::vector<QString> packets;
    report->Load_Q7->click();
    EXPECT_EQ(rig.station->poll.Rep_Mode, 1);
    ASSERT_TRUE(spinUntil(
        [&] {
            const QString t = report->Paket_Num->text();
            if (packets.empty() || packets.back() != t)
                packets.push_back(t);
            return !report->lastWorkbook().isEmpty() || !report->openMessages().empty();
        },
        40000));
    ASSERT_TRUE(report->openMessages().empty());
    EXPECT_EQ(
        packets,
        (std::vector<QString>{QStringLiteral("Пакет № 0"), QStringLiteral("Пакет № 1"), QStringLiteral("Пакет № 2"),
                              QStringLiteral("Пакет № 3"), QStringLiteral("Пакет № 4"), QStringLiteral("Пакет № 0")}));
    EXPECT_TRUE(QFile::exists(report->lastWorkbook()));
    EXPECT_TRUE(report->lastWorkbook().startsWith(out.path()));

    // The table holds the archive as the controller had it (values through the archive word).
    for (int r : {0, 200, 373})
        for (int q : {1, 16}) {
            const double want = rows[size_t(r)].values[size_t(q - 1)];
            const double got = rig.station->report.Rep_Table[size_t(r)][size_t(q + 1)].toDouble();
            EXPECT_NEAR(got, want, std::max(1e-4, std::fabs(want) * 1e-5)) << "row " << r << " parameter " << q;
        }
    const QDateTime stamp = sim::controllerDateTime(rows[0].timeMs);
    EXPECT_EQ(rig.station->report.Rep_Table[0][0].toString(), stamp.toString(QStringLiteral("dd/MM/yy")));
    EXPECT_EQ(rig.station->report.Rep_Table[0][1].toString(), stamp.toString(QStringLiteral("hh:mm:ss")));

    // The window closes, the main window comes back and the polling cycle runs again.
    ASSERT_TRUE(spinUntil([&] { return !report->isVisible(); }));
    EXPECT_TRUE(rig.window->mainWindow()->isEnabled());
    EXPECT_EQ(rig.station->poll.Rep_Mode, 0);
    const int before = cycles.cycles();
    EXPECT_TRUE(spinUntil([&] { return cycles.cycles() >= before + 2; }, 20000));

    const QJsonObject book = dumpXlsx(report->lastWorkbook(), &error);
    ASSERT_FALSE(book.isEmpty()) << error.toStdString();
    const QJsonObject cells = book[QStringLiteral("cells")].toObject();
    EXPECT_EQ(cells[QStringLiteral("A377")].toObject()[QStringLiteral("value")].toString(),
              rig.station->report.Rep_Table[373][0].toString());
    EXPECT_TRUE(cells[QStringLiteral("A378")].toObject()[QStringLiteral("value")].isNull());
}

TEST(StationReportTest, TheReportBlocksReadyStateDownloadsTheReportOnceOnItsOwn)
{
    e2e::StationRig rig;
    QString error;
    ASSERT_TRUE(rig.simulator->openPty({}, &error)) << error.toStdString();
    rig.station->poll.comDevices[9] = rig.simulator->ptyPath();
    ASSERT_TRUE(rig.load());
    ASSERT_TRUE(rig.waitForAnswers());

    // The window exists (opened and closed once) so that the workbook goes to a test folder.
    rig.window->mainWindow()->action(QStringLiteral("mnuReportEXCEL"))->trigger();
    Report *report = rig.window->reportWindow();
    ASSERT_NE(report, nullptr);
    QTemporaryDir out;
    report->setExportFolder(out.path());
    report->close();
    ASSERT_TRUE(rig.window->mainWindow()->isEnabled());
    QSignalSpy written(report, &Report::workbookWritten);

    // The alarm page carries the report block's state text as element 1 (trigger element 0).
    rig.window->mimicPages()->tabBar()->setCurrentIndex(6);
    ASSERT_EQ(rig.project().currentPage, 6);
    // "ЗВІТ ГОТОВИЙ" held up, renewed every second, for longer than the download takes.
    QTimer hold;
    QObject::connect(&hold, &QTimer::timeout, [&] { rig.plant().reportRecorded(); });
    rig.plant().reportRecorded();
    hold.start(1000);
    ASSERT_TRUE(spinUntil([&] { return written.count() > 0; }, 30000));
    EXPECT_TRUE(QFile::exists(report->lastWorkbook()));
    ASSERT_TRUE(spinUntil([&] { return !report->isVisible() && rig.window->mainWindow()->isEnabled(); }));

    // The ready state outlasts the download; the polling cycle sees it again but starts nothing.
    e2e::CycleCounter cycles(*rig.window);
    ASSERT_TRUE(spinUntil([&] { return cycles.cycles() >= 2; }, 30000));
    EXPECT_EQ(written.count(), 1);
    EXPECT_EQ(rig.station->poll.Rep_Mode, 0);
}
