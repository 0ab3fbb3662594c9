// tablo-fetch as a commissioning engineer runs it: against the controller simulator on a free
// loopback port, named by a generated project.
#include "sim/Clock.h"
#include "sim/Simulator.h"
#include "fixture/NetWriter.h"
#include "fixture/PrtWriter.h"
#include "support/FetchRun.h"
#include "support/QtTestApp.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>

namespace {

const qint64 Start = sim::controllerMs(QDate(2024, 3, 5), QTime(7, 5, 9));

using Result = fixture::FetchResult;

// A project with the trend block's 32 parameter names and limits, on TCP at the port or, for
// port 0, on COM1.
QString writeProject(const QTemporaryDir &dir, quint16 port)
{
    fixture::PrtProject p;
    p.linkKind = port != 0 ? 9 : 1;
    p.tcpPort = port;
    p.controllerAddress = 1;
    p.elements.blockType[98] = 41;
    const QString prt = dir.filePath(QStringLiteral("plant.prt"));
    if (!fixture::writePrt(prt, p))
        return {};
    std::array<fixture::NamedPair, 32> ch;
    for (int n = 0; n < 32; ++n)
        ch[std::size_t(n)] = {n == 5 ? -10.0 : 0.0, 100.0, QStringLiteral("Канал %1").arg(n)};
    fixture::NetList net;
    net.parts.push_back(
        fixture::part(98, QStringLiteral("GRA"), fixture::archiveValues(1, QStringLiteral("Котельня"), ch)));
    if (!fixture::writeNet(dir.filePath(QStringLiteral("plant.net")), net))
        return {};
    return prt;
}

std::unique_ptr<sim::Simulator> simulator(const sim::FaultPlan &faults = {}, bool serial = false)
{
    coreApp();
    sim::SimulatorOptions o;
    o.controller.plant.autoAlarms = false;
    o.faults = faults;
    auto s = std::make_unique<sim::Simulator>(ProjectModel{}, o, std::make_unique<sim::ManualClock>(Start));
    if (serial ? !s->openPty() : !s->listenTcp())
        return nullptr;
    return s;
}

QStringList fileLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = f.readAll();
    QStringList lines = QString::fromLatin1(all).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString stampText(qint64 ms) { return sim::controllerDateTime(ms).toString(QStringLiteral("dd/MM/yy hh:mm:ss")); }

}   // namespace

// An archive page and the current page of group 2 land in .grf files that agree with the
// simulator's archive.
TEST(TrendFetch, WritesTrendFilesThatAgreeWithTheControllersArchive)
{
    auto sim = simulator();
    ASSERT_TRUE(sim);
    QTemporaryDir dir;
    const QString prt = writeProject(dir, sim->tcpPort());
    ASSERT_FALSE(prt.isEmpty());
    sim::TrendArchive &archive = sim->controller().trends();
    const int current = archive.currentIndex();
    const int previous = (current + sim::TrendArchive::Pages - 1) % sim::TrendArchive::Pages;

    struct Case {
        QString pageArg;
        int index;
        int line2;
    };
    // Find-by-date: the controller selects the page holding the hour of the previous page's start.
    const QDateTime first = sim::controllerDateTime(archive.timeOf(previous, 0));
    const qint64 hourStart = sim::controllerMs(first.date(), QTime(first.time().hour(), 0));
    int found = archive.findHour(hourStart);
    if (found == sim::TrendArchive::CurrentPage)
        found = current;
    const Case cases[] = {
        {QStringLiteral("--page=%1").arg(previous + 1), previous, previous},
        {QStringLiteral("--current"), current, current},
        {QStringLiteral("--find=") + first.toString(QStringLiteral("yyyy-MM-dd hh")), found, found},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pageArg.toStdString());
        const QString out = dir.filePath(QStringLiteral("page.grf"));
        QStringList args = {prt,
                            QStringLiteral("trend"),
                            QStringLiteral("--group"),
                            QStringLiteral("2"),
                            QStringLiteral("--interval"),
                            QStringLiteral("100"),
                            QStringLiteral("--grf"),
                            out};
        const QString csv = dir.filePath(QStringLiteral("page.csv"));
        const QString xlsx = dir.filePath(QStringLiteral("page.xlsx"));
        const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
        const bool exports = c.index == previous;
        if (exports)
            args << QStringLiteral("--csv") << csv << QStringLiteral("--xlsx") << xlsx << QStringLiteral("--pdf")
                 << pdf;
        if (c.pageArg.startsWith(QLatin1String("--page="))) {
            args << QStringLiteral("--page") << c.pageArg.mid(7);
        } else if (c.pageArg.startsWith(QLatin1String("--find="))) {
            args << QStringLiteral("--find") << c.pageArg.mid(7);
        } else {
            args << c.pageArg;
        }
        const Result r = fixture::runFetch(args);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("packet 32 of 32"))) << r.err.toStdString();

        if (exports) {
            // CSV: a header, then one row per sample of the archive page: time and 4 values in
            // thousandths.
            QFile f(csv);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QStringList rows = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            ASSERT_EQ(rows.size(), 481);
            EXPECT_TRUE(rows[0].endsWith(QStringLiteral("Канал %1").arg(archive.paramNumber(1, 3))))
                << rows[0].toStdString();
            for (int s : {0, 1, 250, 479}) {
                const QStringList cells = rows[s + 1].split(u',');
                ASSERT_EQ(cells.size(), 5);
                for (int ch = 0; ch < 4; ++ch)
                    EXPECT_NEAR(cells[ch + 1].toDouble(), archive.value(c.index, s, archive.paramNumber(1, ch)), 0.0006)
                        << "sample " << s;
            }
            QFile x(xlsx), p(pdf);
            ASSERT_TRUE(x.open(QIODevice::ReadOnly));
            EXPECT_TRUE(x.read(2) == "PK");
            ASSERT_TRUE(p.open(QIODevice::ReadOnly));
            EXPECT_TRUE(p.read(5) == "%PDF-");
            EXPECT_GT(p.size(), 1000);
        }

        const QStringList lines = fileLines(out);
        ASSERT_EQ(lines.size(), 1982);
        EXPECT_EQ(lines[0], QStringLiteral(" 1 "));
        EXPECT_EQ(lines[1], QStringLiteral(" %1 ").arg(c.line2));
        const int count = archive.count(c.index);
        ASSERT_GT(count, 60);
        if (c.index == current) {
            EXPECT_EQ(lines[2], QStringLiteral(" %1 ").arg(count));
        }
        EXPECT_TRUE(lines[4].startsWith(stampText(archive.timeOf(c.index, 0)) + QStringLiteral("  ")
                                        + stampText(archive.timeOf(c.index, 60)).mid(9)))
            << lines[4].toStdString();
        for (int ch = 0; ch < 4; ++ch) {
            const int param = archive.paramNumber(1, ch);
            EXPECT_EQ(lines[6 + 4 + ch].trimmed().toInt(), param);
            for (int s = 0; s < 480; ++s) {
                const float got = lines[58 + 481 * ch + s].trimmed().toFloat();
                const float want = s < count ? archive.value(c.index, s, param) : 0.0f;
                // The archive word carries the value to within a few units of its last bit.
                ASSERT_NEAR(got, want, std::fabs(want) * 1e-6 + 1e-4) << "channel " << ch << " sample " << s;
            }
        }
    }
}

// A controller that closes the connection after every 8th request: tablo-fetch connects again
// and goes on with the packet it was waiting for, and the archive page arrives whole.
TEST(TrendFetch, ConnectionClosedEveryEightRequestsStillBringsTheWholePage)
{
    sim::FaultPlan closing;
    closing.closeAfter = 8;
    auto sim = simulator(closing);
    ASSERT_TRUE(sim);
    QBuffer log;
    ASSERT_TRUE(log.open(QIODevice::ReadWrite));
    sim->setLogDevice(&log);
    QTemporaryDir dir;
    const QString prt = writeProject(dir, sim->tcpPort());
    ASSERT_FALSE(prt.isEmpty());
    sim::TrendArchive &archive = sim->controller().trends();
    const int page = (archive.currentIndex() + sim::TrendArchive::Pages - 1) % sim::TrendArchive::Pages;
    const QString out = dir.filePath(QStringLiteral("closing.grf"));
    const Result r =
        fixture::runFetch({prt, QStringLiteral("trend"), QStringLiteral("--group"), QStringLiteral("3"),
                           QStringLiteral("--page"), QString::number(page + 1), QStringLiteral("--grf"), out},
                          90000);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // 32 packets and more over connections of 8 requests each.
    EXPECT_GE(log.data().count("connected"), 5) << log.data().toStdString();
    const QStringList lines = fileLines(out);
    ASSERT_EQ(lines.size(), 1982);
    EXPECT_EQ(lines[0], QStringLiteral(" 2 "));
    EXPECT_EQ(lines[1], QStringLiteral(" %1 ").arg(page));
    ASSERT_EQ(archive.count(page), 480);
    EXPECT_TRUE(lines[4].startsWith(stampText(archive.timeOf(page, 0)))) << lines[4].toStdString();
    for (int ch = 0; ch < 4; ++ch) {
        const int param = archive.paramNumber(2, ch);
        for (int s = 0; s < 480; ++s) {
            const float want = archive.value(page, s, param);
            ASSERT_NEAR(lines[58 + 481 * ch + s].trimmed().toFloat(), want, std::fabs(want) * 1e-6 + 1e-4)
                << "channel " << ch << " sample " << s;
        }
    }
}

// Usage errors give 2 before anything is loaded; a controller that is not there, or one that
// never answers, gives 3 with the station's message.
TEST(TrendFetch, ExitCodesForUsageErrorsAndFailedTransfers)
{
    coreApp();
    const struct {
        QStringList args;
        const char *says;
    } usage[] = {
        {{}, "no project"},
        {{QStringLiteral("x.prt")}, "no subcommand"},
        {{QStringLiteral("x.prt"), QStringLiteral("graph")}, "unknown subcommand"},
        {{QStringLiteral("x.prt"), QStringLiteral("trend"), QStringLiteral("--group"), QStringLiteral("9")},
         "groups are 1..8"},
        {{QStringLiteral("x.prt"), QStringLiteral("trend"), QStringLiteral("--page"), QStringLiteral("103")},
         "pages are 1..102"},
        {{QStringLiteral("x.prt"), QStringLiteral("trend"), QStringLiteral("--page"), QStringLiteral("0")},
         "pages are 1..102"},
        {{QStringLiteral("x.prt"), QStringLiteral("trend"), QStringLiteral("--find"), QStringLiteral("2024-02-30 07")},
         "bad --find"},
        {{QStringLiteral("x.prt"), QStringLiteral("trend"), QStringLiteral("--page"), QStringLiteral("3"),
          QStringLiteral("--current")},
         "only one of"},
        {{QStringLiteral("x.prt"), QStringLiteral("trend"), QStringLiteral("--interval"), QStringLiteral("50")},
         "100..500"},
        {{QStringLiteral("--com"), QStringLiteral("10=/dev/null"), QStringLiteral("x.prt"), QStringLiteral("trend")},
         "bad --com"},
        {{QStringLiteral("x.prt"), QStringLiteral("collect"), QStringLiteral("--groups"), QStringLiteral("1,9")},
         "bad --groups"},
        {{QStringLiteral("x.prt"), QStringLiteral("collect"), QStringLiteral("--groups"), QStringLiteral("1,,2")},
         "bad --groups"},
        {{QStringLiteral("x.prt"), QStringLiteral("collect"), QStringLiteral("--groups")}, "--groups needs"},
        {{QStringLiteral("x.prt"), QStringLiteral("collect"), QStringLiteral("--since"),
          QStringLiteral("2024-02-30 07:00:00")},
         "bad --since"},
        {{QStringLiteral("x.prt"), QStringLiteral("collect"), QStringLiteral("--for"), QStringLiteral("0")},
         "bad --for"},
        {{QStringLiteral("x.prt"), QStringLiteral("collect"), QStringLiteral("--once"), QStringLiteral("--follow")},
         "only one of --once"},
        {{QStringLiteral("x.prt"), QStringLiteral("collect"), QStringLiteral("--page"), QStringLiteral("3")},
         "unknown collect option"},
    };
    for (const auto &u : usage) {
        SCOPED_TRACE(u.says);
        const Result r = fixture::runFetch(u.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QLatin1String(u.says))) << r.err.toStdString();
    }

    QTemporaryDir dir;
    {
        // A port that nothing listens on.
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        const Result r = fixture::runFetch({writeProject(dir, port), QStringLiteral("trend"), QStringLiteral("--grf"),
                                            dir.filePath(QStringLiteral("unreached.grf"))});
        EXPECT_EQ(r.exitCode, 3);
        EXPECT_TRUE(r.err.contains(QStringLiteral("no connection"))) << r.err.toStdString();
    }
    {
        sim::FaultPlan silent;
        silent.dropEvery = 1;
        auto sim = simulator(silent);
        ASSERT_TRUE(sim);
        const QString out = dir.filePath(QStringLiteral("never.grf"));
        const Result r =
            fixture::runFetch({writeProject(dir, sim->tcpPort()), QStringLiteral("trend"), QStringLiteral("--interval"),
                               QStringLiteral("100"), QStringLiteral("--grf"), out},
                              90000);
        EXPECT_EQ(r.exitCode, 3);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Помилка передачі!!!"))) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
    {
        auto sim = simulator();
        ASSERT_TRUE(sim);
        // Found before the transfer now: a usage error.
        const Result r =
            fixture::runFetch({writeProject(dir, sim->tcpPort()), QStringLiteral("trend"), QStringLiteral("--grf"),
                               dir.filePath(QStringLiteral("no/such/folder/x.grf"))});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QStringLiteral("no directory"))) << r.err.toStdString();
    }
}

// The same download over a serial line (a pseudo-terminal named as COM1 by --com).
TEST(TrendFetch, FetchesOverASerialLine)
{
    auto sim = simulator({}, true);
    ASSERT_TRUE(sim);
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("serial.grf"));
    sim::TrendArchive &archive = sim->controller().trends();
    const Result r = fixture::runFetch({QStringLiteral("--com"), QStringLiteral("1=") + sim->ptyPath(),
                                        writeProject(dir, 0), QStringLiteral("trend"), QStringLiteral("--group"),
                                        QStringLiteral("8"), QStringLiteral("--grf"), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("COM1 (%1)").arg(sim->ptyPath()))) << r.err.toStdString();
    const QStringList lines = fileLines(out);
    ASSERT_EQ(lines.size(), 1982);
    EXPECT_EQ(lines[0], QStringLiteral(" 7 "));
    const int count = archive.count(archive.currentIndex());
    EXPECT_EQ(lines[2], QStringLiteral(" %1 ").arg(count));
    for (int ch = 0; ch < 4; ++ch) {
        const float want = archive.value(archive.currentIndex(), count - 1, archive.paramNumber(7, ch));
        EXPECT_NEAR(lines[58 + 481 * ch + count - 1].trimmed().toFloat(), want, std::fabs(want) * 1e-6 + 1e-4);
    }
}
