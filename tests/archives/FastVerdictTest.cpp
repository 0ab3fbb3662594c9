// The fast-mode check against the simulated controller on virtual time: a controller that
// answers before it has built the page asked for (the simulator's page building time) is
// refused, a normal one accepted, for each archive; the verdicts are kept per project and
// controller address in the user's data folder.
#include "app/BlockCatalogue.h"
#include "station/Station.h"
#include "journal/JournalFastProbe.h"
#include "link/FastVerdict.h"
#include "link/ScriptedTransport.h"
#include "link/VirtualDriver.h"
#include "project/ProjectModel.h"
#include "reports/ReportFastProbe.h"
#include "sim/Clock.h"
#include "sim/Controller.h"
#include "trends/TrendFastProbe.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

enum class Kind { Trend, Journal, Report };

struct Checked {
    FastVerdict verdict = FastVerdict::Unknown;
    ArchiveOutcome outcome;
    int writes = 0;
    bool stationUntouched = false;
};

Checked check(Kind kind, int pageBuildMs)
{
    ProjectModel model;
    BlockCatalogue catalogue;
    model.blockType[60] = 48;   // REP
    sim::ManualClock clock(sim::controllerMs(QDate(2026, 12, 9), QTime(10, 0, 0)));
    sim::ControllerOptions options;
    options.plant.autoAlarms = false;
    sim::Controller controller(model, catalogue, clock, options);
    controller.setPageBuildMs(pageBuildMs);

    Station st;
    st.project.controllerAddress = 1;
    st.project.linkKind = 1;
    ScriptedTransport serial, tcp;
    Link link(st, serial, tcp, clock);
    serial.open(Endpoint{1, {}, 0});
    // The answers leave at 115 200 baud, 10 bits a byte, starting 2 ms after the request.
    std::multimap<qint64, QByteArray> due;
    serial.responder = [&](ScriptedTransport &, const QByteArray &w) {
        const sim::Exchange x = controller.handle(w, false);
        if (x.ours && !x.answer.isEmpty())
            due.emplace(clock.nowMs() + 2 + (qint64(x.answer.size()) * 10000 + 115199) / 115200, x.answer);
    };

    std::unique_ptr<FastProbe> probe;
    switch (kind) {
    case Kind::Trend: probe = std::make_unique<TrendFastProbe>(st, link, 2); break;
    case Kind::Journal: probe = std::make_unique<JournalFastProbe>(st, link); break;
    case Kind::Report: probe = std::make_unique<ReportFastProbe>(st, link); break;
    }
    FastCheck fastCheck(*probe);
    VirtualDriver driver(clock);
    driver.answerPaced = true;
    qint64 ticked = clock.nowMs();
    driver.between = [&] {
        if (clock.nowMs() - ticked >= 100) {
            controller.tick();
            ticked = clock.nowMs();
        }
        while (!due.empty() && due.begin()->first <= clock.nowMs()) {
            serial.inject(due.begin()->second);
            due.erase(due.begin());
        }
    };
    EXPECT_TRUE(driver.run(fastCheck, 20000));
    EXPECT_FALSE(fastCheck.running());

    Checked c;
    c.verdict = fastCheck.verdict();
    c.outcome = fastCheck.outcome();
    c.writes = int(serial.writes.size());
    // The check works on a station of its own.
    const Station fresh;
    c.stationUntouched = st.poll.Graf_Image == fresh.poll.Graf_Image
        && st.journal.Jurnal_Buf == fresh.journal.Jurnal_Buf && st.trend.Graf_PageCount == 0
        && st.report.Rep_PacketNo == 0 && st.report.Rep_Table[0][0] == fresh.report.Rep_Table[0][0];
    return c;
}

}   // namespace

TEST(FastCheck, RefusesAControllerThatAnswersBeforeThePageIsBuiltAndAcceptsANormalOne)
{
    struct Case {
        const char *name;
        Kind kind;
        int pageBuildMs;
        FastVerdict verdict;
        int writes;   // requests of the three downloads (two for the report)
    };
    const Case cases[] = {
        {"trend", Kind::Trend, 0, FastVerdict::Accepted, 3 * 32},
        {"trend, pages built 1.5 s late", Kind::Trend, 1500, FastVerdict::Refused, 3 * 32},
        {"journal", Kind::Journal, 0, FastVerdict::Accepted, 3},
        {"journal, pages built 1.5 s late", Kind::Journal, 1500, FastVerdict::Refused, 3},
        {"report", Kind::Report, 0, FastVerdict::Accepted, 2 * 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Checked r = check(c.kind, c.pageBuildMs);
        EXPECT_TRUE(r.outcome.ok()) << r.outcome.text.toStdString();
        EXPECT_EQ(r.verdict, c.verdict);
        // A stale trend page may fail its own checks (then the fast download is asked again
        // until its tick limit): at least the three downloads' requests went out.
        if (c.verdict == FastVerdict::Accepted)
            EXPECT_EQ(r.writes, c.writes);
        else
            EXPECT_GE(r.writes, c.writes);
        EXPECT_TRUE(r.stationUntouched);
    }
}

TEST(FastVerdicts, AreKeptPerProjectAndAddressInTheUserDataFolder)
{
    QTemporaryDir home;
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    const FastVerdicts v;
    if (before.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", before);
    EXPECT_EQ(v.folder(), home.path() + QStringLiteral("/tablo/fast"));

    const QString boiler = QStringLiteral("Котельня №2");
    EXPECT_EQ(v.get(boiler, 1, QStringLiteral("trend")), FastVerdict::Unknown);
    ASSERT_TRUE(v.put(boiler, 1, QStringLiteral("trend"), FastVerdict::Accepted));
    ASSERT_TRUE(v.put(boiler, 1, QStringLiteral("journal"), FastVerdict::Refused));
    ASSERT_TRUE(v.put(boiler, 2, QStringLiteral("trend"), FastVerdict::Refused));

    struct Case {
        QString project;
        int address;
        const char *archive;
        FastVerdict expected;
    };
    const Case cases[] = {
        {boiler, 1, "trend", FastVerdict::Accepted},
        {boiler, 1, "journal", FastVerdict::Refused},
        {boiler, 1, "report", FastVerdict::Unknown},
        {boiler, 2, "trend", FastVerdict::Refused},
        {boiler, 3, "trend", FastVerdict::Unknown},
        {QStringLiteral("Котельня:№2"), 1, "trend", FastVerdict::Unknown},
        {QStringLiteral("Котельня"), 1, "trend", FastVerdict::Unknown},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.project.toStdString() + " " + std::to_string(c.address) + " " + c.archive);
        EXPECT_EQ(v.get(c.project, c.address, QString::fromLatin1(c.archive)), c.expected);
    }
    // "Котельня №2" and "Котельня:№2" share a file name; the file names its project, and the
    // later one replaced the earlier.
    EXPECT_EQ(v.fileFor(boiler, 1), v.fileFor(QStringLiteral("Котельня:№2"), 1));
    ASSERT_TRUE(v.put(QStringLiteral("Котельня:№2"), 1, QStringLiteral("trend"), FastVerdict::Refused));
    EXPECT_EQ(v.get(QStringLiteral("Котельня:№2"), 1, QStringLiteral("trend")), FastVerdict::Refused);
    EXPECT_EQ(v.get(boiler, 1, QStringLiteral("trend")), FastVerdict::Unknown);
    EXPECT_EQ(v.get(boiler, 1, QStringLiteral("journal")), FastVerdict::Unknown);
    ASSERT_TRUE(v.put(boiler, 1, QStringLiteral("trend"), FastVerdict::Accepted));
    ASSERT_TRUE(v.put(boiler, 1, QStringLiteral("report"), FastVerdict::Refused));
    ASSERT_TRUE(v.put(boiler, 1, QStringLiteral("report"), FastVerdict::Unknown));

    QFile f(home.path() + QStringLiteral("/tablo/fast/Котельня__2-1.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), QStringLiteral("project Котельня №2\naddress 1\ntrend accepted\n"));
    EXPECT_EQ(QDir(home.path() + QStringLiteral("/tablo/fast")).entryList(QDir::Files).size(), 2);
}
