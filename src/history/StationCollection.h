#pragma once
// Automatic collection in the operator station ("Архівування"): while the operator watches
// the pages, the station fetches the trend and journal pages its history does not yet hold,
// one page per hand-over of the link at the end of a polling cycle, only when none of the
// operator's own downloads waits, and never more than a quarter of the link's time.
//
// A background page is downloaded on a state of its own (a shadow of the station with the
// project, and a link of its own over the station's transports), so the trend and journal
// windows keep what they show, and an operator's request raised meanwhile waits for the next
// hand-over as it would behind any download. Failures are retried later with back-off (the
// scheduler's) and shown in the status text, never in a message box.
#include "app/Clock.h"
#include "station/Station.h"
#include "history/Collector.h"
#include "link/ArchiveExchange.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class ArchiveDriver;
class FastCheck;
class FastProbe;
class Link;
class Transport;

namespace history {

class CollectRun;
class HistoryStore;

class StationCollection {
public:
    // A background page may hold the link for at most this share of the time: after a page
    // that took D ms, the next one waits (1 / share - 1) x D of polling.
    static constexpr int LinkShareDivisor = 4;

    StationCollection(Station &station, Transport &serial, Transport &tcp,
                      const Clock &steady = SteadyClock::instance(), const Clock &wall = WallClock::instance());
    ~StationCollection();
    StationCollection(const StationCollection &) = delete;
    StationCollection &operator=(const StationCollection &) = delete;

    // The history to collect into (nullptr: none; collection stops). Called after a project
    // load, with the project in the station.
    void setStore(HistoryStore *store);
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }
    // Fast collection: pages answer by answer (see link/FastVerdict.h), each archive once the
    // controller passed its check. A check still due runs in the background as a page would.
    void setFast(bool on);
    bool fast() const { return fast_; }
    // The archives fetched fast now ("trend", "journal"), and those whose check refused.
    QStringList fastArchives() const;
    QStringList refusedArchives() const;

    // The polling cycle's hand-over with nothing of the operator's waiting: starts one page
    // when one is due and the link's share allows it. True when it did: the cycle stays
    // stopped until `ended`.
    bool start();
    bool running() const { return running_; }
    // The page in flight ends where it is (project unload, shut-down); `ended` is not called.
    void cancel();
    // A background page ended (whatever its outcome) and the link is free again.
    std::function<void()> ended;
    // Each line the collection has to say (what was stored, what failed).
    std::function<void(const QString &)> log;

    // "Архівування: ..." for the status line.
    QString statusText() const;
    // The short form beside the link's state: "архів 12:00:05" (the last page stored),
    // "архів: помилка" after failures in a row; empty while collection is off.
    QString badgeText() const;
    CollectorStatus status() const;
    // Time the link was held by background pages, and since when collection runs, for the
    // link share figure.
    qint64 busyMs() const { return busyMs_; }
    qint64 sinceMs() const { return sinceMs_; }

private:
    void finished();
    // The verdicts kept for the controller applied to the run.
    void applyVerdicts();
    // Starts the check of an archive whose verdict is not known yet; false when none is due.
    bool startCheck();
    bool drive(ArchiveExchange &exchange, bool answerPaced, std::function<void(const ArchiveOutcome &)> then);

    Station &station_;
    std::unique_ptr<Station> shadow_;
    std::unique_ptr<Link> link_;
    const Clock &steady_;
    const Clock &wall_;
    Transport &tcp_;
    HistoryStore *store_ = nullptr;
    std::unique_ptr<CollectRun> run_;
    std::unique_ptr<ArchiveDriver> driver_;
    std::unique_ptr<ArchiveDriver> spent_;   // the driver of the page just ended, kept until the next
    std::unique_ptr<FastProbe> probe_;
    std::unique_ptr<FastCheck> check_;
    QString checking_;          // the archive being checked
    QStringList uncheckable_;   // checks that could not compare, not tried again
    bool fast_ = false;
    bool enabled_ = true;
    bool running_ = false;
    qint64 startedAt_ = 0;
    qint64 notBefore_ = 0;
    qint64 busyMs_ = 0;
    qint64 sinceMs_ = 0;
    QString lastLine_;
};

}   // namespace history
