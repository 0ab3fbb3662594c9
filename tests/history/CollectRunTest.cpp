// Collection on virtual time against the simulated controller behind a scripted line: a ring
// with completed pages, a current page that goes on filling and a journal of two pages are
// caught up on, each page stored once, the store's samples and events those the controller
// recorded; a download whose answers are lost is tried again later and nothing is missing.
#include "history/CollectRun.h"
#include "station/Station.h"
#include "history/HistoryStore.h"
#include "link/ScriptedTransport.h"
#include "link/VirtualDriver.h"
#include "support/QtTestApp.h"

#include "app/BlockCatalogue.h"
#include "project/ProjectModel.h"
#include "sim/Clock.h"
#include "sim/Controller.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>
#include <map>
#include <set>

namespace {

const qint64 Start = sim::controllerMs(QDate(2024, 3, 7), QTime(14, 5, 30));
constexpr qint64 PeriodMs = 1000;
constexpr int Samples = 480;

struct Rig {
    ProjectModel model;
    BlockCatalogue catalogue;
    ManualClock clock{Start};
    sim::ControllerOptions options;
    std::unique_ptr<sim::Controller> ctl;
    Station st;
    ScriptedTransport serial, tcp;
    std::unique_ptr<Link> link;
    QTemporaryDir dir;
    std::unique_ptr<history::HistoryStore> store;
    bool dropping = false;   // the controller's answers are lost
    int answered = 0;

    Rig()
    {
        coreApp();
        options.address = 1;
        options.trendPeriodMs = PeriodMs;
        options.trendHistory = options.journalHistory = options.reportHistory = false;
        options.plant.autoAlarms = false;
        ctl = std::make_unique<sim::Controller>(model, catalogue, clock, options);
        for (int c = 0; c < 4; ++c)
            ctl->trends().setParamNumber(0, c, 3 * c + 1);
        st.project.controllerAddress = 1;
        st.project.linkKind = 1;
        serial.open(Endpoint{1, {}, 0});
        serial.responder = [this](ScriptedTransport &t, const QByteArray &w) {
            ctl->tick();
            const sim::Exchange x = ctl->handle(w, false);
            if (!dropping && !x.answer.isEmpty()) {
                t.inject(x.answer);
                ++answered;
            }
        };
        link = std::make_unique<Link>(st, serial, tcp, clock);
        QString error;
        store = history::HistoryStore::open(dir.filePath(QStringLiteral("h.sqlite")), &error);
        EXPECT_TRUE(store) << error.toStdString();
    }

    // The plant runs on while nobody asks.
    void advance(qint64 ms)
    {
        for (qint64 t = 0; t < ms; t += 500) {
            clock.advance(std::min<qint64>(500, ms - t));
            ctl->tick();
        }
    }
};

struct Sample {
    qint64 ms;
    std::array<float, 4> values;
};

// Every sample the controller holds for group 0 up to `untilMs`, in time order.
std::vector<Sample> recorded(sim::Controller &ctl, qint64 untilMs)
{
    std::vector<Sample> out;
    sim::TrendArchive &a = ctl.trends();
    for (int index = 0; index < sim::TrendArchive::Pages; ++index)
        for (int s = 0; s < a.count(index); ++s) {
            if (a.timeOf(index, s) > untilMs)
                continue;
            Sample x{a.timeOf(index, s), {}};
            for (int c = 0; c < 4; ++c)
                x.values[std::size_t(c)] = a.value(index, s, a.paramNumber(0, c));
            out.push_back(x);
        }
    std::sort(out.begin(), out.end(), [](const Sample &l, const Sample &r) { return l.ms < r.ms; });
    return out;
}

}   // namespace

TEST(CollectRun, CatchesUpOnTheRingAndTheJournalStoringEachPageOnceEvenWhenADownloadFails)
{
    enum class Fault { None, RingPageLost, JournalPageLost, CurrentPageLost };
    const struct Case {
        const char *name;
        Fault fault;
        bool answerPaced = false;
    } cases[] = {
        {"every answer comes", Fault::None},
        {"every answer comes, trend pages answer-paced", Fault::None, true},
        {"the answers to a completed ring page are lost once", Fault::RingPageLost},
        {"the answers to a journal page are lost once", Fault::JournalPageLost},
        {"the answers to the first look at the current page are lost", Fault::CurrentPageLost},
        {"the answers to a ring page are lost once, answer-paced", Fault::RingPageLost, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        ASSERT_TRUE(rig.store);
        // Three completed pages and a fifth of the fourth; 40 journal records (page 1 and part
        // of page 2), each with two events, a second apart a day ago.
        rig.advance(3 * Samples * PeriodMs + 100 * PeriodMs);
        const int firstIndex = (rig.ctl->trends().currentIndex() - 3 + 102) % 102;
        ASSERT_EQ(rig.ctl->trends().count(firstIndex), Samples);
        std::multimap<qint64, int> events;   // time, event
        for (int r = 0; r < 40; ++r) {
            const qint64 t = Start - 86400000 + r * 1000;
            const std::uint32_t flags = (1u << (r % 32)) | (1u << 31);
            rig.ctl->journal().append(t, flags);
            events.emplace(t, r % 32);
            if (r % 32 != 31)
                events.emplace(t, 31);
        }

        history::CollectorOptions options;
        options.groups = {true, false, false, false, false, false, false, false};
        history::CollectRun run(rig.st, *rig.link, *rig.store, options, rig.clock);
        run.setAnswerPaced(c.answerPaced);
        QStringList lines;
        run.log = [&](const QString &line) { lines << line; };

        const auto faulted = [&](const history::CollectorItem &item) {
            using Kind = history::CollectorItem::Kind;
            switch (c.fault) {
            case Fault::None: return false;
            case Fault::RingPageLost: return item.kind == Kind::Trend && item.page == (firstIndex + 1) % 102;
            case Fault::JournalPageLost: return item.kind == Kind::Journal && item.page == 5;
            case Fault::CurrentPageLost: return item.kind == Kind::Trend && item.page == history::TrendCurrentPage;
            }
            return false;
        };

        // Collect for half an hour of the controller's clock (four more pages fill), then
        // until caught up.
        const qint64 until = rig.clock.nowMs() + 1800 * 1000;
        int downloads = 0, faults = 0;
        using Kind = history::CollectorItem::Kind;
        std::map<int, int> ringStores;       // ring page -> downloads that kept something of it
        std::map<int, int> journalFetches;   // journal page -> downloads
        int currentLooks = 0;
        qint64 longestTrend = 0;   // virtual ms of a trend page that came
        while (downloads < 400) {
            const qint64 now = rig.clock.nowMs();
            if (ArchiveExchange *x = run.begin(now)) {
                const history::CollectorItem item = *run.inFlight();
                const bool drop = faults == 0 && faulted(item);
                rig.dropping = drop;
                faults += drop;
                VirtualDriver driver(rig.clock);
                driver.answerPaced = c.answerPaced;
                const qint64 began = rig.clock.nowMs();
                ASSERT_TRUE(driver.run(*x, 2000));
                ASSERT_FALSE(x->running());
                run.end(x->outcome(), rig.clock.nowMs());
                rig.dropping = false;
                ++downloads;
                ASSERT_TRUE(run.last());
                EXPECT_EQ(run.last()->ok, !drop) << lines.back().toStdString();
                if (!run.last()->ok)
                    continue;
                if (item.kind == Kind::Trend)
                    longestTrend = std::max(longestTrend, rig.clock.nowMs() - began);
                if (item.kind == Kind::Journal)
                    ++journalFetches[item.page];
                else if (item.page == history::TrendCurrentPage)
                    ++currentLooks;
                else if (run.last()->stored != history::Stored::Rejected)
                    ++ringStores[item.page];
                continue;
            }
            if (now >= until && run.caughtUp())
                break;
            const auto due = run.nextDueMs(now);
            ASSERT_TRUE(due);
            ASSERT_GT(*due, now);
            rig.advance(*due - now);
        }
        ASSERT_LT(downloads, 400);
        EXPECT_EQ(faults, c.fault == Fault::None ? 0 : 1);
        // On the poll time a page takes 9.7 s on a serial line (600 ms to the first send, 1500
        // after it, then 100 ms a tick); answer-paced a fraction of that.
        if (c.answerPaced)
            EXPECT_LT(longestTrend, 3000);
        else
            EXPECT_EQ(longestTrend, 9700);

        // The failed download said why, and the same page was stored later.
        const QString failed = QStringLiteral(": failed: Помилка передачі!!!");
        EXPECT_EQ(int(lines.filter(failed).size()), faults) << lines.join(u'\n').toStdString();
        const history::CollectorStatus status = run.status();
        EXPECT_EQ(status.failures, faults);
        EXPECT_EQ(status.lost, 0);
        EXPECT_EQ(status.pending, 0);

        // Up to the last look at the current page: every page the controller wrote, but the
        // one it was writing then, stored once as a ring page; empty ones kept nothing.
        const auto newest = rig.store->newestSampleMs(0);
        ASSERT_TRUE(newest);
        sim::TrendArchive &archive = rig.ctl->trends();
        int writing = -1;
        std::set<int> written;
        for (int p = 0; p < 102; ++p)
            for (int s = 0; s < archive.count(p); ++s)
                if (archive.timeOf(p, s) <= *newest) {
                    written.insert(p);
                    if (archive.timeOf(p, s) == *newest)
                        writing = p;
                }
        ASSERT_GE(writing, 0);
        EXPECT_GE(int(written.size()), 7);
        for (int p = 0; p < 102; ++p)
            EXPECT_EQ(ringStores[p], written.count(p) && p != writing ? 1 : 0) << "ring page " << p;
        // Every journal page but the one being written once; the current page again and again.
        for (int p = 0; p < 32; ++p)
            EXPECT_EQ(journalFetches[p], p == 1 ? 0 : 1) << "journal page " << p;
        EXPECT_GE(currentLooks, 10);

        // The store: the controller's samples up to the last look at the current page, each
        // once, values within the controller's word coding (its mantissa over 2^23 - 1).
        const std::vector<Sample> want = recorded(*rig.ctl, *newest);
        const std::vector<history::Sample> got = rig.store->samples(0, 0, std::numeric_limits<qint64>::max());
        ASSERT_EQ(got.size(), want.size());
        EXPECT_GE(int(want.size()), 6 * Samples);
        for (std::size_t i = 0; i < got.size(); ++i) {
            ASSERT_EQ(got[i].ms, want[i].ms) << "sample " << i;
            for (int ch = 0; ch < 4; ++ch) {
                const float w = want[i].values[std::size_t(ch)];
                ASSERT_NEAR(got[i].values[std::size_t(ch)], w, std::fabs(w) * 1e-6 + 1e-4)
                    << "sample " << i << " channel " << ch;
            }
        }
        // One row per page: the current page's row was completed, not stored again.
        EXPECT_EQ(rig.store->pageCount(), qint64(written.size()));
        EXPECT_TRUE(rig.store->conflicts().empty());

        // The journal: every flagged event of the 40 records, once.
        const auto stored = rig.store->journalEvents(0, std::numeric_limits<qint64>::max());
        std::multimap<qint64, int> gotEvents;
        for (const history::JournalEvent &e : stored)
            gotEvents.emplace(e.ms, e.event);
        EXPECT_EQ(gotEvents, events);

        // What the lines said of the first look and of a ring page.
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_TRUE(lines.filter(QStringLiteral("group 1 page %1: 480 samples, new").arg(firstIndex + 1)).size() == 1)
            << lines.join(u'\n').toStdString();
        EXPECT_FALSE(
            lines.filter(QStringLiteral("journal current page (page 2, pointer 400): 8 new records")).isEmpty())
            << lines.join(u'\n').toStdString();
    }
}

// A store that refuses every page (opened only to read): each download ends as a failure
// that says why, and the next try waits 5 s, then 10 s, then 20 s.
TEST(CollectRun, AStoreThatRefusesPagesIsTriedAgainAfterABackOff)
{
    Rig rig;
    ASSERT_TRUE(rig.store);
    rig.advance(100 * PeriodMs);
    QString error;
    auto readOnly = history::HistoryStore::open(rig.dir.filePath(QStringLiteral("h.sqlite")), &error,
                                                history::HistoryStore::Mode::Read);
    ASSERT_TRUE(readOnly) << error.toStdString();
    history::CollectorOptions options;
    options.groups = {false, false, true, false, false, false, false, false};
    options.journal = false;
    history::CollectRun run(rig.st, *rig.link, *readOnly, options, rig.clock);
    QStringList lines;
    run.log = [&](const QString &line) { lines << line; };

    std::vector<qint64> waits;
    for (int n = 1; n <= 3; ++n) {
        ArchiveExchange *x = run.begin(rig.clock.nowMs());
        ASSERT_TRUE(x) << "try " << n;
        EXPECT_EQ(*run.inFlight(),
                  (history::CollectorItem{history::CollectorItem::Kind::Trend, 2, history::TrendCurrentPage}));
        VirtualDriver driver(rig.clock);
        ASSERT_TRUE(driver.run(*x, 2000));
        EXPECT_TRUE(x->outcome().ok());
        const qint64 ended = rig.clock.nowMs();
        run.end(x->outcome(), ended);
        ASSERT_TRUE(run.last());
        EXPECT_FALSE(run.last()->ok);
        EXPECT_TRUE(run.last()->storeFailed);
        EXPECT_EQ(run.failuresInRow(), n);
        EXPECT_EQ(run.begin(ended), nullptr) << "backing off";
        const auto due = run.nextDueMs(ended);
        ASSERT_TRUE(due);
        waits.push_back(*due - ended);
        rig.advance(*due - ended);
    }
    EXPECT_EQ(waits, (std::vector<qint64>{5000, 10000, 20000}));
    ASSERT_EQ(lines.size(), 3);
    for (const QString &line : lines)
        EXPECT_TRUE(line.startsWith(QStringLiteral("group 3 current page: not stored: "))) << line.toStdString();
    EXPECT_EQ(run.status().failures, 3);
    EXPECT_EQ(run.status().pagesCollected, 0);
    EXPECT_EQ(rig.store->pageCount(), 0);
}
