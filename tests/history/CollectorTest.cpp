// The collection scheduler's decisions: the ring caught up oldest first, pages skipped that
// the store holds or that end before the cut-off, pages the controller overwrote first, the
// current page's refresh, the journal pointer and the back-off after failures.
#include "history/Collector.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using history::Collector;
using history::CollectorItem;
using history::CollectorOptions;
using Kind = CollectorItem::Kind;

CollectorOptions onlyGroup(int group, bool journal = false)
{
    CollectorOptions o;
    o.groups.fill(false);
    if (group >= 0)
        o.groups[std::size_t(group)] = true;
    o.journal = journal;
    return o;
}

// Takes every item offered at `now` and reports it stored, until nothing is due; the pages.
std::vector<int> drainArchive(Collector &c, qint64 now)
{
    std::vector<int> pages;
    for (int n = 0; n < 300; ++n) {
        const auto item = c.next(now);
        if (!item)
            break;
        pages.push_back(item->page);
        if (item->kind == Kind::Trend)
            c.storedTrend(*item, now);
        else
            c.storedJournal(*item, now);
    }
    return pages;
}

const qint64 T = 1'700'000'000'000;

TEST(Collector, FirstConnectionCatchesUpTheWholeRingOldestFirst)
{
    Collector c(onlyGroup(3));
    ASSERT_EQ(c.next(T), (CollectorItem{Kind::Trend, 3, 200}));
    c.storedTrend({Kind::Trend, 3, 200}, T, history::TrendSeen{5, 100, std::nullopt, 0});
    EXPECT_FALSE(c.caughtUp());
    const std::vector<int> pages = drainArchive(c, T);
    ASSERT_EQ(pages.size(), 101u);
    EXPECT_EQ(pages[0], 6);
    EXPECT_EQ(pages[1], 7);
    EXPECT_EQ(pages[95], 101);
    EXPECT_EQ(pages[96], 0);
    EXPECT_EQ(pages[100], 4);
    EXPECT_TRUE(c.caughtUp());
    EXPECT_EQ(c.status().pagesCollected, 102);
    EXPECT_EQ(c.status().pending, 0);
}

TEST(Collector, SkipsPagesHeldOrEndingBeforeTheCutOff)
{
    // Current page 10 starts at T, 1 s per sample: page 9 ends at T - 1 s, page 8 at
    // T - 481 s, page 7 at T - 961 s.
    struct Case {
        const char *name;
        std::optional<qint64> heldUntil, since;
        std::vector<int> pages;
    } cases[] = {
        {"held up to page 8", T - 480'000, std::nullopt, {9}},
        {"held to the end of page 8", T - 481'000, std::nullopt, {9}},
        {"since inside page 7's end", std::nullopt, T - 961'000, {7, 8, 9}},
        {"since just after page 7", std::nullopt, T - 960'999, {8, 9}},
        {"both", T - 2'000, T - 1'500'000, {9}},
        {"all held", T, std::nullopt, {}},
    };
    for (const Case &k : cases) {
        auto o = onlyGroup(0);
        o.sinceMs = k.since;
        Collector c(o);
        c.setHeldUntil(0, k.heldUntil);
        ASSERT_TRUE(c.next(T).has_value()) << k.name;
        c.storedTrend({Kind::Trend, 0, 200}, T, history::TrendSeen{10, 30, T, 1000});
        std::vector<int> pages = drainArchive(c, T);
        std::sort(pages.begin(), pages.end());
        EXPECT_EQ(pages, k.pages) << k.name;
        EXPECT_TRUE(c.caughtUp()) << k.name;
    }
}

TEST(Collector, RefreshesTheCurrentPageAndRequeuesPagesTheRingOverwrote)
{
    Collector c(onlyGroup(1));
    ASSERT_TRUE(c.next(T).has_value());
    // 1 s per sample: a page takes 480 s, the current page is looked at every 120 s.
    c.storedTrend({Kind::Trend, 1, 200}, T, history::TrendSeen{5, 200, T - 200'000, 1000});
    ASSERT_EQ(c.next(T), (CollectorItem{Kind::Trend, 1, 6}));
    c.storedTrend({Kind::Trend, 1, 6}, T);
    EXPECT_EQ(c.next(T + 119'999), (CollectorItem{Kind::Trend, 1, 7}));
    ASSERT_EQ(c.next(T + 120'000), (CollectorItem{Kind::Trend, 1, 200}));
    // Much later the controller writes page 8: old pages 7 and 8 are gone before they were
    // fetched; 5, 6 and 7 now hold new completed pages, fetched after the older 9..4.
    c.storedTrend({Kind::Trend, 1, 200}, T + 1'000'000, history::TrendSeen{8, 40, T + 760'000, 1000});
    EXPECT_EQ(c.status().lost, 2);
    const std::vector<int> pages = drainArchive(c, T + 1'000'000);
    ASSERT_EQ(pages.size(), 101u);
    EXPECT_EQ(pages[0], 9);
    EXPECT_EQ(pages[97], 4);
    EXPECT_EQ(std::vector<int>(pages.begin() + 98, pages.end()), (std::vector<int>{5, 6, 7}));
}

TEST(Collector, JournalFollowsItsPointer)
{
    Collector c(onlyGroup(-1, true));
    ASSERT_EQ(c.next(T), (CollectorItem{Kind::Journal, 0, 200}));
    c.storedJournal({Kind::Journal, 0, 200}, T, history::JournalSeen{2, 650});   // page 2, record 5
    std::vector<int> pages = drainArchive(c, T);
    ASSERT_EQ(pages.size(), 31u);
    EXPECT_EQ(pages.front(), 3);
    EXPECT_EQ(pages.back(), 1);
    EXPECT_TRUE(c.caughtUp());
    EXPECT_FALSE(c.next(T + 29'999).has_value());
    ASSERT_EQ(c.next(T + 30'000), (CollectorItem{Kind::Journal, 0, 200}));
    c.storedJournal({Kind::Journal, 0, 200}, T + 30'000, history::JournalSeen{4, 1290});   // page 4
    pages = drainArchive(c, T + 30'000);
    EXPECT_EQ(pages, (std::vector<int>{2, 3}));
}

TEST(Collector, FailedDownloadsBackOffAndRecover)
{
    Collector c(onlyGroup(2));
    const CollectorItem current{Kind::Trend, 2, 200};
    ASSERT_EQ(c.next(T), current);
    struct Step {
        qint64 failAt, quietUntil;   // nothing is offered before quietUntil
    } steps[] = {{T, T + 5'000}, {T + 5'000, T + 15'000}, {T + 15'000, T + 35'000}};
    for (const Step &s : steps) {
        c.failed(current, s.failAt, QStringLiteral("Помилка передачі!!!"));
        EXPECT_FALSE(c.next(s.quietUntil - 1).has_value());
        EXPECT_EQ(c.nextDueMs(s.failAt), s.quietUntil);
        EXPECT_EQ(c.next(s.quietUntil), current);
    }
    EXPECT_EQ(c.status().state, QStringLiteral("помилка: Помилка передачі!!!"));
    EXPECT_EQ(c.status().failures, 3);
    c.storedTrend(current, T + 35'000, history::TrendSeen{0, 10, std::nullopt, 0});
    EXPECT_EQ(c.next(T + 35'000), (CollectorItem{Kind::Trend, 2, 1}));
    EXPECT_EQ(c.status().state, QStringLiteral("збір"));
}

}   // namespace
