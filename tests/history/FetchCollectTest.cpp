// tablo-fetch collect against the controller simulator on a pseudo-terminal, its clock held
// still: --once stores the current page and ends, the history shows the controller's samples;
// --follow ended by SIGTERM finishes the page in flight and leaves a sound store.
#include "history/HistoryStore.h"
#include "link/FastVerdict.h"
#include "sim/Clock.h"
#include "sim/Simulator.h"
#include "fixture/NetWriter.h"
#include "fixture/PrtWriter.h"
#include "support/FetchRun.h"
#include "support/QtTestApp.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>

namespace {

const qint64 Start = sim::controllerMs(QDate(2024, 3, 5), QTime(7, 5, 9));

// A project on COM1 whose trend block names its 32 parameters.
QString writeProject(const QTemporaryDir &dir)
{
    fixture::PrtProject p;
    p.linkKind = 1;
    p.controllerAddress = 1;
    p.elements.blockType[98] = 41;
    const QString prt = dir.filePath(QStringLiteral("plant.prt"));
    if (!fixture::writePrt(prt, p))
        return {};
    std::array<fixture::NamedPair, 32> ch;
    for (int n = 0; n < 32; ++n)
        ch[std::size_t(n)] = {0.0, 100.0, QStringLiteral("Канал %1").arg(n)};
    fixture::NetList net;
    net.parts.push_back(
        fixture::part(98, QStringLiteral("GRA"), fixture::archiveValues(1, QStringLiteral("Котельня"), ch)));
    if (!fixture::writeNet(dir.filePath(QStringLiteral("plant.net")), net))
        return {};
    return prt;
}

QStringList csvRows(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(f.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

}   // namespace

TEST(FetchCollect, OnceStoresTheCurrentPageAndFollowEndsCleanlyOnSigterm)
{
    coreApp();
    sim::SimulatorOptions o;
    o.controller.plant.autoAlarms = false;
    o.controller.trendHistory = o.controller.journalHistory = o.controller.reportHistory = false;
    auto owned = std::make_unique<sim::ManualClock>(Start);
    sim::ManualClock &clock = *owned;
    sim::Simulator sim(ProjectModel{}, o, std::move(owned));
    ASSERT_TRUE(sim.openPty());
    // 151 samples on the current page, the rest of the ring empty.
    clock.advance(150 * 1000);
    sim.tick();
    sim::TrendArchive &archive = sim.controller().trends();
    const int current = archive.currentIndex();
    ASSERT_EQ(archive.count(current), 151);

    QTemporaryDir dir;
    const QString prt = writeProject(dir);
    ASSERT_FALSE(prt.isEmpty());
    const QString store = dir.filePath(QStringLiteral("h.sqlite"));
    // Ring pages that would end before the first sample are not asked for.
    const QStringList common = {QStringLiteral("--com"),
                                QStringLiteral("1=") + sim.ptyPath(),
                                prt,
                                QStringLiteral("collect"),
                                QStringLiteral("--history"),
                                store,
                                QStringLiteral("--groups"),
                                QStringLiteral("1"),
                                QStringLiteral("--no-journal"),
                                QStringLiteral("--since"),
                                QStringLiteral("2024-03-05 07:05:10")};

    const fixture::FetchResult once = fixture::runFetch(common + QStringList{QStringLiteral("--once")}, 90000);
    ASSERT_EQ(once.exitCode, 0) << once.err.toStdString();
    EXPECT_TRUE(once.err.contains(
        QStringLiteral("group 1 current page (page %1, 151 samples): 151 samples, new").arg(current + 1)))
        << once.err.toStdString();
    EXPECT_EQ(once.err.count(QStringLiteral("samples, ")), 1) << "one page only: " << once.err.toStdString();

    const QString csv = dir.filePath(QStringLiteral("g1.csv"));
    const fixture::FetchResult shown =
        fixture::runFetch({prt, QStringLiteral("history"), QStringLiteral("trend"), QStringLiteral("--group"),
                           QStringLiteral("1"), QStringLiteral("--history"), store, QStringLiteral("--csv"), csv});
    ASSERT_EQ(shown.exitCode, 0) << shown.err.toStdString();
    const QStringList rows = csvRows(csv);
    ASSERT_EQ(rows.size(), 152);
    EXPECT_EQ(rows[0].split(u',').mid(1).join(u','),
              QStringLiteral("Канал %1,Канал %2,Канал %3,Канал %4")
                  .arg(archive.paramNumber(0, 0))
                  .arg(archive.paramNumber(0, 1))
                  .arg(archive.paramNumber(0, 2))
                  .arg(archive.paramNumber(0, 3)));
    for (int s : {0, 1, 59, 60, 150}) {
        const QStringList cells = rows[s + 1].split(u',');
        ASSERT_EQ(cells.size(), 5);
        EXPECT_EQ(
            cells[0],
            sim::controllerDateTime(archive.timeOf(current, s)).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")));
        for (int ch = 0; ch < 4; ++ch) {
            const float want = archive.value(current, s, archive.paramNumber(0, ch));
            EXPECT_NEAR(cells[ch + 1].toFloat(), want, std::fabs(want) * 1e-6 + 1e-4) << "sample " << s;
        }
    }

    // Sixty samples more; SIGTERM as soon as the download has begun.
    clock.advance(60 * 1000);
    sim.tick();
    QProcess follow;
    follow.setProgram(QDir(qEnvironmentVariable("TABLO_BUILD_DIR")).filePath(QStringLiteral("tablo-fetch")));
    follow.setArguments(common + QStringList{QStringLiteral("--follow")});
    QString err;
    QObject::connect(&follow, &QProcess::readyReadStandardError,
                     [&] { err += QString::fromUtf8(follow.readAllStandardError()); });
    follow.start();
    ASSERT_TRUE(follow.waitForStarted(5000));
    // The first packet asked for: the download is in flight.
    const int before = sim.requestsHandled();
    const bool begun = spinUntil([&] { return sim.requestsHandled() > before; }, 30000);
    follow.terminate();
    bool done = false;
    QObject::connect(&follow, &QProcess::finished, [&] { done = true; });
    const bool ended = spinUntil([&] { return done; }, 60000);
    if (!ended) {
        follow.kill();
        follow.waitForFinished(5000);
    }
    err += QString::fromUtf8(follow.readAllStandardError());
    ASSERT_TRUE(begun) << err.toStdString();
    ASSERT_TRUE(ended) << err.toStdString();
    EXPECT_EQ(follow.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(follow.exitCode(), 0) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("stopping after the page in flight"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("211 samples, completed"))) << err.toStdString();

    QString error;
    const auto h = history::HistoryStore::open(store, &error, history::HistoryStore::Mode::Read);
    ASSERT_TRUE(h) << error.toStdString();
    EXPECT_EQ(h->integrityCheck(), QStringLiteral("ok"));
    EXPECT_EQ(h->pageCount(), 1);
    EXPECT_EQ(h->samples(0, 0, std::numeric_limits<qint64>::max()).size(), 211u);
}

// --fast follows the verdict kept for the controller, archive by archive: accepted, the pages
// come answer by answer; refused, the operator is told and they come paced. Either way the
// page is stored.
TEST(FetchCollect, FastFollowsTheVerdictKeptForTheController)
{
    coreApp();
    sim::SimulatorOptions o;
    o.controller.plant.autoAlarms = false;
    o.controller.trendHistory = o.controller.journalHistory = o.controller.reportHistory = false;
    auto owned = std::make_unique<sim::ManualClock>(Start);
    sim::ManualClock &clock = *owned;
    sim::Simulator sim(ProjectModel{}, o, std::move(owned));
    ASSERT_TRUE(sim.openPty());
    // Two stamps on the current page give its period, so no ring page before --since is due.
    clock.advance(70 * 1000);
    sim.tick();

    QTemporaryDir dir;
    const QString prt = writeProject(dir);
    ASSERT_FALSE(prt.isEmpty());
    const FastVerdicts verdicts;
    for (const FastVerdict verdict : {FastVerdict::Accepted, FastVerdict::Refused}) {
        SCOPED_TRACE(verdict == FastVerdict::Accepted ? "accepted" : "refused");
        ASSERT_TRUE(verdicts.put(QStringLiteral("Проект"), 1, QStringLiteral("trend"), verdict));
        const QString store =
            dir.filePath(verdict == FastVerdict::Accepted ? QStringLiteral("a.sqlite") : QStringLiteral("r.sqlite"));
        const fixture::FetchResult run = fixture::runFetch(
            {QStringLiteral("--com"), QStringLiteral("1=") + sim.ptyPath(), prt, QStringLiteral("collect"),
             QStringLiteral("--history"), store, QStringLiteral("--groups"), QStringLiteral("1"),
             QStringLiteral("--no-journal"), QStringLiteral("--since"), QStringLiteral("2024-03-05 07:05:10"),
             QStringLiteral("--fast"), QStringLiteral("--once")},
            90000);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.err.contains(QStringLiteral("fast: trend pages answer by answer")),
                  verdict == FastVerdict::Accepted)
            << run.err.toStdString();
        EXPECT_EQ(run.err.contains(QStringLiteral("fast mode refused for this controller")),
                  verdict == FastVerdict::Refused)
            << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("71 samples, new"))) << run.err.toStdString();
    }
}

// `collect --follow` over a plant clock ten times real time (a sample each 100 ms of it, a page
// every 4.8 s): the collector killed and started again, the controller silent for a while; in
// the end the history holds every sample the controller recorded, each once, with its time to
// the millisecond and its value.
TEST(FetchCollect, FollowKeepsEverySampleOnceThroughAKillAndASilentController)
{
    coreApp();
    sim::SimulatorOptions o;
    o.controller.plant.autoAlarms = false;
    o.controller.trendPeriodMs = 100;
    o.controller.trendHistory = o.controller.journalHistory = o.controller.reportHistory = false;
    auto owned = std::make_unique<sim::ManualClock>(Start);
    sim::ManualClock &clock = *owned;
    sim::Simulator sim(ProjectModel{}, o, std::move(owned));
    ASSERT_TRUE(sim.openPty());
    sim::TrendArchive &archive = sim.controller().trends();
    const int first = archive.currentIndex();

    QTemporaryDir dir;
    const QString prt = writeProject(dir);
    ASSERT_FALSE(prt.isEmpty());
    ASSERT_TRUE(FastVerdicts().put(QStringLiteral("Проект"), 1, QStringLiteral("trend"), FastVerdict::Accepted));
    const QString store = dir.filePath(QStringLiteral("h.sqlite"));
    const QStringList args = {QStringLiteral("--com"),
                              QStringLiteral("1=") + sim.ptyPath(),
                              prt,
                              QStringLiteral("collect"),
                              QStringLiteral("--history"),
                              store,
                              QStringLiteral("--groups"),
                              QStringLiteral("1"),
                              QStringLiteral("--no-journal"),
                              QStringLiteral("--fast"),
                              QStringLiteral("--follow")};
    QString err;
    std::unique_ptr<QProcess> collector;
    const auto startCollector = [&] {
        collector = std::make_unique<QProcess>();
        collector->setProgram(QDir(qEnvironmentVariable("TABLO_BUILD_DIR")).filePath(QStringLiteral("tablo-fetch")));
        collector->setArguments(args);
        QProcess *p = collector.get();
        QObject::connect(p, &QProcess::readyReadStandardError,
                         [&err, p] { err += QString::fromUtf8(p->readAllStandardError()); });
        collector->start();
        return collector->waitForStarted(5000);
    };
    // The plant runs for `ms` of real time, a second of its time every 100 ms.
    const auto run = [&](int ms) {
        QElapsedTimer t;
        t.start();
        qint64 moved = 0;
        spinUntil(
            [&] {
                for (; moved < t.elapsed() / 100; ++moved) {
                    clock.advance(1000);
                    sim.tick();
                }
                return false;
            },
            ms);
    };

    clock.advance(20 * 1000);
    sim.tick();
    ASSERT_TRUE(startCollector());
    run(7000);
    collector->kill();   // SIGKILL: no chance to finish anything
    collector->waitForFinished(5000);
    run(3000);
    ASSERT_TRUE(startCollector());
    run(6000);
    sim::FaultPlan silent;
    silent.dropEvery = 1;
    sim.setFaults(silent);
    run(4000);
    sim.setFaults({});
    run(6000);

    // The plant stops; the collector's next looks take what is left.
    const int last = archive.currentIndex();
    const int total = [&] {
        int n = 0;
        for (int p = first;; p = (p + 1) % 102) {
            n += archive.count(p);
            if (p == last)
                break;
        }
        return n;
    }();
    ASSERT_GE((last - first + 102) % 102, 3) << "the plant wrote fewer pages than meant";
    const QString newest = sim::controllerDateTime(archive.timeOf(last, archive.count(last) - 1))
                               .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    const QString csv = dir.filePath(QStringLiteral("all.csv"));
    QStringList rows;
    const bool complete = spinUntil(
        [&] {
            const fixture::FetchResult shown = fixture::runFetch(
                {prt, QStringLiteral("history"), QStringLiteral("trend"), QStringLiteral("--group"),
                 QStringLiteral("1"), QStringLiteral("--history"), store, QStringLiteral("--csv"), csv});
            rows = csvRows(csv);
            return shown.exitCode == 0 && rows.size() > 1 && rows.back().startsWith(newest);
        },
        40000);
    collector->terminate();
    collector->waitForFinished(20000);
    err += QString::fromUtf8(collector->readAllStandardError());
    ASSERT_TRUE(complete) << "the newest sample never arrived\n" << err.toStdString();
    EXPECT_EQ(collector->exitCode(), 0) << err.toStdString();

    // Every sample the controller recorded, in time order, each once.
    ASSERT_EQ(rows.size(), total + 1) << err.toStdString();
    int row = 1;
    for (int p = first;; p = (p + 1) % 102) {
        for (int s = 0; s < archive.count(p); ++s, ++row) {
            const QStringList cells = rows[row].split(u',');
            ASSERT_EQ(cells.size(), 5) << rows[row].toStdString();
            ASSERT_EQ(cells[0],
                      sim::controllerDateTime(archive.timeOf(p, s)).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")))
                << "page " << p << " sample " << s;
            for (int ch = 0; ch < 4; ++ch) {
                const float want = archive.value(p, s, archive.paramNumber(0, ch));
                ASSERT_NEAR(cells[ch + 1].toFloat(), want, std::fabs(want) * 1e-6 + 1e-4)
                    << "page " << p << " sample " << s;
            }
        }
        if (p == last)
            break;
    }
    QString error;
    const auto h = history::HistoryStore::open(store, &error, history::HistoryStore::Mode::Read);
    ASSERT_TRUE(h) << error.toStdString();
    EXPECT_EQ(h->integrityCheck(), QStringLiteral("ok"));
    EXPECT_TRUE(h->conflicts().empty());
}
