#pragma once
// Automatic collection for one controller over one link: a Collector says what is due, the
// trend and journal engines download it, the store keeps it, and what the page showed goes
// back to the Collector. CollectRun does not drive the downloads: whoever owns the line
// (tablo-fetch on an ArchiveDriver, the station at its polling cycle's hand-over, a test on a
// VirtualDriver) starts and steps the exchange it hands out:
//
//     CollectRun run(station, link, store, options, WallClock::instance());
//     run.log = [](const QString &line) { ... };
//     if (ArchiveExchange *x = run.begin(now)) {        // requested, not yet started
//         if (x->start()) { ...steps until Done... }
//         run.end(x->outcome(), now);                    // stored, the Collector told
//     } else {
//         wait until run.nextDueMs(now);
//     }
//
// The operator texts of the engines ("Помилка передачі!!!") go to `log` with the page they
// belong to; nothing is shown.
#include "app/Clock.h"
#include "station/Station.h"
#include "history/Collector.h"
#include "history/HistoryStore.h"
#include "link/ArchiveExchange.h"
#include "link/Link.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class TrendDownload;
class JournalEngine;

namespace history {

// Where a downloaded page goes: the history store itself, or something that keeps it on the
// way there (tablo-collect's spool in front of a server).
class PageSink {
public:
    virtual ~PageSink() = default;
    virtual StoreResult storeTrendPage(int group, QByteArrayView image, int page, const Channels &channels,
                                       qint64 downloadedMs) = 0;
    // The records newly kept, or -1 with `error` set.
    virtual int storeJournalPage(const journal::Buffer &buf, const std::array<QString, 32> &eventNames,
                                 qint64 downloadedMs, QString *error) = 0;
    // What the history already holds of a group, as HistoryStore::newestSampleMs().
    virtual std::optional<qint64> newestSampleMs(int group) const = 0;
};

// What one page download came to.
struct CollectResult {
    CollectorItem item;
    bool ok = false;                  // downloaded and kept (or nothing in it to keep)
    bool storeFailed = false;         // downloaded, but the store refused it
    Stored stored = Stored::Failed;   // a trend page's
    int samples = 0;                  // a trend page's samples with times
    int records = 0;                  // a journal page's records newly stored
    QString text;                     // the line given to `log`
};

class CollectRun {
public:
    // `clock` stamps what is stored (the time of each download); the times the Collector
    // schedules by are those passed to begin() and end().
    CollectRun(Station &station, Link &link, HistoryStore &store, const CollectorOptions &options, const Clock &clock);
    // Pages go to `sink` instead of a store.
    CollectRun(Station &station, Link &link, PageSink &sink, const CollectorOptions &options, const Clock &clock);
    ~CollectRun();
    CollectRun(const CollectRun &) = delete;
    CollectRun &operator=(const CollectRun &) = delete;

    // The engine of the next item due, its page requested and ready to start(); nullptr when
    // nothing is due at `nowMs` or a download handed out has not ended yet.
    ArchiveExchange *begin(qint64 nowMs);
    // The download handed out by begin() ended (an exchange that would not start ends failed):
    // a completed page is stored and the Collector told what it showed; a failed download or
    // store is retried after a back-off.
    void end(const ArchiveOutcome &outcome, qint64 nowMs);

    // The item handed out and not yet ended.
    std::optional<CollectorItem> inFlight() const { return inFlight_; }
    std::optional<qint64> nextDueMs(qint64 nowMs) const { return collector_.nextDueMs(nowMs); }
    bool caughtUp() const { return collector_.caughtUp(); }
    CollectorStatus status() const { return collector_.status(); }
    // The last page's result; failures in a row (downloads or stores) since the last success.
    const std::optional<CollectResult> &last() const { return last_; }
    int failuresInRow() const { return failuresInRow_; }

    // Trend pages asked for answer by answer instead of on the poll time (TrendDownload::
    // setAnswerPaced); the driver must be answer-paced too.
    void setAnswerPaced(bool on);
    // Journal pages likewise (JournalEngine::setAnswerPaced).
    void setJournalAnswerPaced(bool on);
    // Whether the download of `item` runs answer-paced (its driver must then be too).
    bool answerPaced(const CollectorItem &item) const;

    // "group 2 page 17", "group 2 current page", "journal page 5", "journal current page".
    static QString itemText(const CollectorItem &item);

    std::function<void(const QString &)> log;

private:
    class TrendEvents;
    class JournalEvents;

    CollectResult storeTrend(const CollectorItem &item, qint64 nowMs);
    CollectResult storeJournal(const CollectorItem &item, qint64 nowMs);
    void say(const QString &line) const;

    Station &station_;
    CollectRun(Station &station, Link &link, std::unique_ptr<PageSink> own, PageSink *sink,
               const CollectorOptions &options, const Clock &clock);

    std::unique_ptr<PageSink> ownSink_;   // over the store given, when one was
    PageSink *store_;
    const Clock &clock_;
    Collector collector_;
    std::unique_ptr<TrendEvents> trendEvents_;
    std::unique_ptr<JournalEvents> journalEvents_;
    std::unique_ptr<TrendDownload> trend_;
    std::unique_ptr<JournalEngine> journal_;
    std::optional<CollectorItem> inFlight_;
    std::optional<CollectResult> last_;
    int failuresInRow_ = 0;
    std::array<qint64, 8> periodUs_{};   // the last sample period seen of each group
    QStringList messages_;               // the engine's texts during the download in flight
};

}   // namespace history
