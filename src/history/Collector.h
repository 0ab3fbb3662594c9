#pragma once
// What to fetch next so that nothing a controller records is lost: the scheduler of automatic
// collection for one controller. It does no I/O and keeps no clock; it is driven by plain
// calls, so tablo-fetch, the station and a service for many controllers drive it alike:
//
//     Collector c(options);
//     c.setHeldUntil(g, store.newestSampleMs(g));     // per group, what the store already holds
//     while (auto item = c.next(now())) {             // nullopt: nothing due now
//         download item->page of item->group (or the journal page) with the engines
//         on success: store it, then c.storedTrend(*item, now(), seen) / c.storedJournal(...)
//         on failure: c.failed(*item, now(), why)     // retried later with back-off
//     }
//     c.caughtUp();                                   // every ring page due has been fetched
//
// Trends: a group's current page (200) is fetched first and then often enough to learn where
// the controller writes (a quarter of a page's time). Its archive index and sample times tell
// which ring pages are complete; each one not yet held is fetched before the ring can
// overwrite it, oldest (nearest to being overwritten) first. A page's times are estimated from
// the current page's stamps and period; pages that end before what the store holds or before
// `since` are skipped. A page the controller started to overwrite before it was fetched is
// given up and counted as lost.
//
// Journal: the current page tells the page number and the write pointer; on the first
// answer every page of the ring is fetched once (the store keeps each record once), later
// only the pages the pointer moved over.
#include "app/Pages.h"
#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <optional>

namespace history {

constexpr int TrendRingPages = archive::TrendPages;   // archive pages 0..101
constexpr int TrendCurrentPage = archive::CurrentPage;
constexpr int TrendPageSamples = 480;
constexpr int JournalPages = archive::JournalPages;
constexpr int JournalPageBytes = 320;   // 32 records of 10 bytes
constexpr int JournalCurrentPage = archive::CurrentPage;

struct CollectorOptions {
    std::array<bool, 8> groups{true, true, true, true, true, true, true, true};
    std::optional<qint64> sinceMs;   // ring pages that end before this are not fetched
    bool journal = true;
    qint64 unknownRefreshMs = 60000;   // current page refresh while the period is unknown
    qint64 minRefreshMs = 5000;        // bounds of the current page refresh
    qint64 maxRefreshMs = 15 * 60000;
    qint64 journalRefreshMs = 30000;
    qint64 firstBackoffMs = 5000;   // after a failure; doubles with each one in a row
    qint64 maxBackoffMs = 5 * 60000;
};

struct CollectorItem {
    enum class Kind { Trend, Journal };
    Kind kind = Kind::Trend;
    int group = 0;   // 0..7 for a trend page
    int page = 0;    // 200 current; 0..101 trend archive, 0..31 journal
    bool operator==(const CollectorItem &) const = default;
};

// What a downloaded current trend page showed.
struct TrendSeen {
    int currentIndex = 0;                  // archive index being filled (image 7798)
    int sampleCount = 0;                   // samples on it (image 7804)
    std::optional<qint64> firstSampleMs;   // time of its sample 0, when its stamps give one
    qint64 periodMs = 0;                   // sample period; 0 when not known
};

// What a downloaded current journal page showed.
struct JournalSeen {
    int page = 0;      // its page number (answer position 324)
    int pointer = 0;   // `Jurnal_Pointer`, bytes
};

struct CollectorStatus {
    QString state;   // "очікування", "збір", "помилка: ..."
    std::optional<qint64> lastCollectedMs;
    int pagesCollected = 0;
    int failures = 0;   // failed downloads since the start
    int lost = 0;       // ring pages overwritten before they were fetched
    int pending = 0;    // pages waiting to be fetched
};

class Collector {
public:
    using Item = CollectorItem;

    explicit Collector(const CollectorOptions &options = {});

    // The store holds samples of `group` up to this time (its newest sample).
    void setHeldUntil(int group, std::optional<qint64> ms);

    // The item to fetch now, or nullopt when nothing is due at `nowMs`.
    std::optional<Item> next(qint64 nowMs);
    // When the next item is due (nullopt: never, e.g. nothing enabled).
    std::optional<qint64> nextDueMs(qint64 nowMs) const;

    // The item was downloaded and stored. `seen` for a current page.
    void storedTrend(const Item &item, qint64 nowMs, const std::optional<TrendSeen> &seen = {});
    void storedJournal(const Item &item, qint64 nowMs, const std::optional<JournalSeen> &seen = {});
    // The download (or its storing) failed: the item is kept and tried again after a back-off.
    void failed(const Item &item, qint64 nowMs, const QString &why);

    // Every enabled group and the journal have been seen, and no ring page is waiting.
    bool caughtUp() const;
    CollectorStatus status() const;

private:
    struct Group {
        bool seen = false;
        int current = -1;
        int samples = 0;
        std::optional<qint64> firstMs;
        qint64 periodMs = 0;
        std::optional<qint64> heldUntil;
        qint64 refreshDue = 0;
        std::deque<int> pending;   // archive pages, oldest first
        int failuresInRow = 0;
        qint64 retryAt = 0;
    };
    struct Journal {
        bool seen = false;
        int page = -1;
        int pointer = -1;
        qint64 refreshDue = 0;
        std::deque<int> pending;
        int failuresInRow = 0;
        qint64 retryAt = 0;
    };

    qint64 refreshMs(const Group &g) const;
    // Estimated time of the last sample of ring page `page` of a group whose current page is
    // known; nullopt when its times are not known.
    std::optional<qint64> estimatedEnd(const Group &g, int page) const;
    bool wanted(const Group &g, int page) const;
    void queueCompleted(Group &g, int from, int to);
    void dropOverwritten(Group &g);
    qint64 backoff(int failuresInRow) const;

    CollectorOptions options_;
    std::array<Group, 8> groups_;
    Journal journal_;
    CollectorStatus status_;
};

}   // namespace history
