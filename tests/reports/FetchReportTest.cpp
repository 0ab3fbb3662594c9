// tablo-fetch report as a commissioning engineer runs it: a project on TCP, the report archive
// over COM9, mapped to the simulator's pseudo-terminal.
#include "reports/ReportFile.h"
#include "station/Station.h"
#include "sim/Clock.h"
#include "sim/Simulator.h"
#include "fixture/NetWriter.h"
#include "fixture/PrtWriter.h"
#include "support/FetchRun.h"
#include "support/QtTestApp.h"
#include "support/XlsxDump.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>

#include <csignal>
#include <sys/resource.h>

namespace {

using Result = fixture::FetchResult;

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}   // namespace

TEST(FetchReportTest, TheReportArchiveComesOverCom9IntoWorkbookAndCsvWithExitCodesForEachFailure)
{
    coreApp();
    sim::SimulatorOptions options;
    options.controller.plant.autoAlarms = false;
    sim::Simulator simulator(ProjectModel{}, options);
    ASSERT_TRUE(simulator.listenTcp());
    ASSERT_TRUE(simulator.openPty());

    QTemporaryDir dir;
    fixture::PrtProject p;
    p.linkKind = 9;
    p.tcpPort = simulator.tcpPort();
    const QString prt = dir.filePath(QStringLiteral("plant.prt"));
    ASSERT_TRUE(fixture::writePrt(prt, p));
    ASSERT_TRUE(fixture::writeNet(dir.filePath(QStringLiteral("plant.net")), fixture::NetList{}));

    Station named;
    named.report.Rep_Precision = 3;
    named.project.linkKind = 4;   // not used: the link stays the project's
    for (int q = 1; q <= 16; ++q)
        named.report.Rep_Names[size_t(q)] = QStringLiteral("Тиск %1").arg(q);
    const QString rep = dir.filePath(QStringLiteral("boiler.rep"));
    ASSERT_TRUE(report::saveSettings(rep, named));

    const QString com9 = QStringLiteral("9=") + simulator.ptyPath();
    const QString xlsx = dir.filePath(QStringLiteral("r.xlsx")), csv = dir.filePath(QStringLiteral("r.csv"));
    const Result ok =
        fixture::runFetch({QStringLiteral("--com"), com9, prt, QStringLiteral("report"), QStringLiteral("--settings"),
                           rep, QStringLiteral("--precision"), QStringLiteral("1"), QStringLiteral("--xlsx"), xlsx,
                           QStringLiteral("--csv"), csv});
    ASSERT_EQ(ok.exitCode, 0) << ok.err.toStdString();
    EXPECT_TRUE(ok.err.contains(QStringLiteral("packet 4 of 4"))) << ok.err.toStdString();

    QFile text(csv);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = text.readAll().split('\n');
    ASSERT_EQ(lines.size(), 377);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Дата,Время,Тиск 1,Тиск 2,").toUtf8()));
    // Date, time and values of one decimal in every row.
    const QList<QByteArray> last = lines[375].trimmed().split(',');
    ASSERT_EQ(last.size(), 18);
    EXPECT_EQ(last[0].size(), 8);
    EXPECT_EQ(last[1].size(), 8);
    EXPECT_EQ(last[17].right(2).left(1), QByteArray("."));

    QString error;
    const QJsonObject book = dumpXlsx(xlsx, &error);
    ASSERT_FALSE(book.isEmpty()) << error.toStdString();
    const QJsonObject cells = book[QStringLiteral("cells")].toObject();
    EXPECT_EQ(cells[QStringLiteral("A1")].toObject()[QStringLiteral("value")].toString(), QStringLiteral("boiler"));
    EXPECT_EQ(cells[QStringLiteral("C3")].toObject()[QStringLiteral("value")].toString(), QStringLiteral("Тиск 1"));
    EXPECT_EQ(cells[QStringLiteral("C4")].toObject()[QStringLiteral("numfmt")].toString(), QStringLiteral("#.0"));
    EXPECT_FALSE(cells[QStringLiteral("A377")].toObject()[QStringLiteral("value")].toString().isEmpty());
    EXPECT_TRUE(cells[QStringLiteral("A378")].toObject()[QStringLiteral("value")].isNull());

    struct Case {
        const char *name;
        QStringList args;
        int exitCode;
        QString says;
    };
    const Case failures[] = {
        {"precision out of range", {prt, "report", "--precision", "7"}, 2, "bad precision"},
        {"unknown option", {prt, "report", "--pdf", "x.pdf"}, 2, "unknown report option"},
        {"report port missing",
         {"--com", "9=" + dir.filePath("no-such-tty"), prt, "report", "--csv", csv},
         3,
         "Помилка СОМ порту !!!"},
        {"workbook not writable",
         {"--com", com9, prt, "report", "--xlsx", dir.filePath("no/such/r.xlsx")},
         2,
         "no directory"},
    };
    for (const Case &c : failures) {
        SCOPED_TRACE(c.name);
        const Result r = fixture::runFetch(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
    }

    // A disk that fills during the save: each file fails with exit 4 and its earlier content
    // stays as it was.
    const QByteArray goodCsv = readBytes(csv), goodXlsx = readBytes(xlsx);
    const auto limit = static_cast<rlim_t>(std::min(goodCsv.size(), goodXlsx.size()) / 2);
    const auto fillsHalfWay = [limit] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit r{};
        getrlimit(RLIMIT_FSIZE, &r);
        r.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &r);
    };
    const Result csvFull = fixture::runFetch({"--com", com9, prt, "report", "--csv", csv}, 60000, fillsHalfWay);
    EXPECT_EQ(csvFull.exitCode, 4) << csvFull.err.toStdString();
    EXPECT_TRUE(csvFull.err.contains(QStringLiteral("cannot write ") + csv)) << csvFull.err.toStdString();
    EXPECT_EQ(readBytes(csv), goodCsv);
    const Result xlsxFull = fixture::runFetch({"--com", com9, prt, "report", "--xlsx", xlsx}, 60000, fillsHalfWay);
    EXPECT_EQ(xlsxFull.exitCode, 4) << xlsxFull.err.toStdString();
    EXPECT_TRUE(xlsxFull.err.contains(QStringLiteral("Error nr 75: "))) << xlsxFull.err.toStdString();
    EXPECT_EQ(readBytes(xlsx), goodXlsx);
}

TEST(FetchReportTest, AtTheSerialLinesRealSpeedTheDownloadCompletesOnACom1AndOnATcpProject)
{
    coreApp();
    sim::SimulatorOptions options;
    options.controller.plant.autoAlarms = false;
    options.baud = 115200;
    sim::Simulator simulator(ProjectModel{}, options);
    ASSERT_TRUE(simulator.openPty());
    const std::vector<sim::ReportArchive::Row> rows = simulator.controller().reports().snapshot();
    ASSERT_EQ(rows.size(), 375u);
    const QDateTime first = sim::controllerDateTime(rows[0].timeMs);

    // Nothing listens on the TCP project's port: the report needs only COM9.
    quint16 deadPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        deadPort = probe.serverPort();
    }
    struct Case {
        const char *name;
        int linkKind;
        int com;
    };
    const Case cases[] = {{"COM1 project", 1, 1}, {"TCP project over COM9", 9, 9}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        fixture::PrtProject p;
        p.linkKind = c.linkKind;
        p.tcpPort = deadPort;
        const QString prt = dir.filePath(QStringLiteral("plant.prt"));
        ASSERT_TRUE(fixture::writePrt(prt, p));
        ASSERT_TRUE(fixture::writeNet(dir.filePath(QStringLiteral("plant.net")), fixture::NetList{}));
        const QString xlsx = dir.filePath(QStringLiteral("r.xlsx")), csv = dir.filePath(QStringLiteral("r.csv"));

        QElapsedTimer took;
        took.start();
        const Result r = fixture::runFetch(
            {QStringLiteral("--com"), QStringLiteral("%1=%2").arg(c.com).arg(simulator.ptyPath()), prt,
             QStringLiteral("report"), QStringLiteral("--xlsx"), xlsx, QStringLiteral("--csv"), csv});
        const qint64 ms = took.elapsed();
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        // Four answers of 1334 ms on the line each, every one after its 500 ms delay; each
        // within the engine's bound.
        EXPECT_GE(ms, 4 * 1334);
        EXPECT_LE(ms, 4 * (500 + 5000));
        std::cout << "[ measured ] " << c.name << ": report download at 115200 baud took " << ms << " ms\n";

        QFile text(csv);
        ASSERT_TRUE(text.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = text.readAll().split('\n');
        ASSERT_EQ(lines.size(), 377);
        const QList<QByteArray> row0 = lines[1].trimmed().split(',');
        ASSERT_EQ(row0.size(), 18);
        EXPECT_EQ(QString::fromUtf8(row0[0]), first.toString(QStringLiteral("dd/MM/yy")));
        EXPECT_EQ(QString::fromUtf8(row0[1]), first.toString(QStringLiteral("hh:mm:ss")));
        QString error;
        const QJsonObject book = dumpXlsx(xlsx, &error);
        ASSERT_FALSE(book.isEmpty()) << error.toStdString();
        EXPECT_EQ(book[QStringLiteral("cells")]
                      .toObject()[QStringLiteral("A4")]
                      .toObject()[QStringLiteral("value")]
                      .toString(),
                  first.toString(QStringLiteral("dd/MM/yy")));
    }
}
