// tablo-fetch report as a commissioning engineer runs it: a project on TCP, the report archive
// over COM9, mapped to the simulator's pseudo-terminal.
#include "reports/ReportFile.h"
#include "sim/Simulator.h"
#include "support/NetWriter.h"
#include "support/PrtWriter.h"
#include "support/FetchRun.h"
#include "support/QtTestApp.h"
#include "support/XlsxDump.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Result = fixture::FetchResult;

} // namespace

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
    named.Rep_Precision = 3;
    named.project.linkKind = 4;   // not used: the link stays the project's
    for (int q = 1; q <= 16; ++q)
        named.Rep_Names[size_t(q)] = QStringLiteral("Тиск %1").arg(q);
    const QString rep = dir.filePath(QStringLiteral("boiler.rep"));
    ASSERT_TRUE(report::saveSettings(rep, named));

    const QString com9 = QStringLiteral("9=") + simulator.ptyPath();
    const QString xlsx = dir.filePath(QStringLiteral("r.xlsx")), csv = dir.filePath(QStringLiteral("r.csv"));
    const Result ok = fixture::runFetch({QStringLiteral("--com"), com9, prt, QStringLiteral("report"), QStringLiteral("--settings"),
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
        {"report port missing", {"--com", "9=" + dir.filePath("no-such-tty"), prt, "report", "--csv", csv}, 3,
         "Помилка СОМ порту !!!"},
        {"workbook not writable", {"--com", com9, prt, "report", "--xlsx", dir.filePath("no/such/r.xlsx")}, 2,
         "no directory"},
    };
    for (const Case &c : failures) {
        SCOPED_TRACE(c.name);
        const Result r = fixture::runFetch(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
    }
}
