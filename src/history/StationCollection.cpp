#include "history/StationCollection.h"
#include "history/CollectRun.h"
#include "history/HistoryStore.h"
#include "history/PageTimes.h"
#include "journal/JournalFastProbe.h"
#include "link/ArchiveDriver.h"
#include "link/FastVerdict.h"
#include "trends/TrendFastProbe.h"
#include "link/Link.h"
#include "link/Transport.h"

namespace history {

StationCollection::StationCollection(Station &station, Transport &serial, Transport &tcp, const Clock &steady,
                                     const Clock &wall)
    : station_(station),
      shadow_(std::make_unique<Station>()),
      link_(std::make_unique<Link>(*shadow_, serial, tcp, steady)),
      steady_(steady),
      wall_(wall),
      tcp_(tcp)
{
}

StationCollection::~StationCollection() { cancel(); }

void StationCollection::setStore(HistoryStore *store)
{
    cancel();
    run_.reset();
    store_ = store;
    notBefore_ = 0;
    busyMs_ = 0;
    sinceMs_ = steady_.nowMs();
    lastLine_.clear();
    if (!store_)
        return;
    // The shadow speaks for the same controller over the same line.
    shadow_->catalogue = station_.catalogue;
    shadow_->project = station_.project;
    shadow_->poll.comDevices = station_.poll.comDevices;
    run_ = std::make_unique<CollectRun>(*shadow_, *link_, *store_, CollectorOptions{}, wall_);
    run_->log = [this](const QString &line) {
        lastLine_ = line;
        if (log)
            log(line);
    };
    uncheckable_.clear();
    applyVerdicts();
}

void StationCollection::setFast(bool on)
{
    fast_ = on;
    applyVerdicts();
}

void StationCollection::applyVerdicts()
{
    if (!run_)
        return;
    const FastVerdicts verdicts;
    const QString project = shadow_->project.projectName.trimmed();
    const int address = shadow_->project.controllerAddress;
    run_->setAnswerPaced(fast_ && verdicts.get(project, address, QStringLiteral("trend")) == FastVerdict::Accepted);
    run_->setJournalAnswerPaced(fast_
                                && verdicts.get(project, address, QStringLiteral("journal")) == FastVerdict::Accepted);
}

QStringList StationCollection::fastArchives() const
{
    QStringList out;
    if (run_ && run_->answerPaced({CollectorItem::Kind::Trend, 0, TrendCurrentPage}))
        out << QStringLiteral("trend");
    if (run_ && run_->answerPaced({CollectorItem::Kind::Journal, 0, JournalCurrentPage}))
        out << QStringLiteral("journal");
    return out;
}

QStringList StationCollection::refusedArchives() const
{
    QStringList out;
    const FastVerdicts verdicts;
    for (const QString &archive : {QStringLiteral("trend"), QStringLiteral("journal")})
        if (verdicts.get(shadow_->project.projectName.trimmed(), shadow_->project.controllerAddress, archive)
            == FastVerdict::Refused)
            out << archive;
    return out;
}

bool StationCollection::startCheck()
{
    if (!fast_)
        return false;
    const FastVerdicts verdicts;
    const QString project = shadow_->project.projectName.trimmed();
    const int address = shadow_->project.controllerAddress;
    for (const QString &archive : {QStringLiteral("trend"), QStringLiteral("journal")}) {
        if (uncheckable_.contains(archive) || verdicts.get(project, address, archive) != FastVerdict::Unknown)
            continue;
        if (archive == QLatin1String("trend"))
            probe_ = std::make_unique<TrendFastProbe>(*shadow_, *link_, 0);
        else
            probe_ = std::make_unique<JournalFastProbe>(*shadow_, *link_);
        check_ = std::make_unique<FastCheck>(*probe_);
        checking_ = archive;
        return drive(*check_, true, [this, archive](const ArchiveOutcome &) {
            const FastVerdict v = check_->verdict();
            if (v == FastVerdict::Unknown) {
                uncheckable_ << archive;
            } else {
                QString why;
                if (!FastVerdicts().put(shadow_->project.projectName.trimmed(), shadow_->project.controllerAddress,
                                        archive, v, &why))
                    uncheckable_ << archive;
            }
            const QString line = v == FastVerdict::Accepted
                ? QStringLiteral("fast %1 pages accepted for this controller").arg(archive)
                : v == FastVerdict::Refused ? fastmsg::RefusedEnglish + QStringLiteral(" (%1)").arg(archive)
                                            : fastmsg::UncheckedEnglish + QStringLiteral(" (%1)").arg(archive);
            lastLine_ = line;
            if (log)
                log(line);
            checking_.clear();
            applyVerdicts();
        });
    }
    return false;
}

bool StationCollection::drive(ArchiveExchange &exchange, bool answerPaced,
                              std::function<void(const ArchiveOutcome &)> then)
{
    spent_.reset();
    // The journal's steps keep to their timeline, as in its window; the trend waits after each.
    const bool journal = run_->inFlight() && run_->inFlight()->kind == CollectorItem::Kind::Journal;
    driver_ = std::make_unique<ArchiveDriver>(
        exchange, nullptr, journal ? ArchiveDriver::Schedule::OnTimeline : ArchiveDriver::Schedule::AfterStep, steady_);
    driver_->setAnswerPaced(answerPaced);
    driver_->ended = [this, then = std::move(then)](const ArchiveOutcome &outcome) {
        then(outcome);
        finished();
    };
    running_ = true;
    startedAt_ = steady_.nowMs();
    if (driver_->start())
        return running_;
    running_ = false;
    notBefore_ = startedAt_ + 1000;
    return false;
}

void StationCollection::setEnabled(bool on)
{
    enabled_ = on;
    if (!on)
        cancel();
}

bool StationCollection::start()
{
    if (!enabled_ || !run_ || running_ || station_.poll.Rep_Mode != 0)
        return false;
    const qint64 now = steady_.nowMs();
    if (now < notBefore_)
        return false;
    // A TCP connection that is down is the polling cycle's to bring back.
    if (station_.project.linkKind > 8 && !tcp_.isConnected())
        return false;
    // The link settings may have changed since the load (the settings dialog).
    shadow_->project.linkKind = station_.project.linkKind;
    shadow_->project.linkTimingFactor = station_.project.linkTimingFactor;
    shadow_->project.controllerAddress = station_.project.controllerAddress;
    shadow_->poll.pollStep = 0;
    // The driver of the last page, and what it drove, go before anything new is made.
    spent_.reset();
    // A fast check still due goes first: it decides how the pages come.
    if (startCheck())
        return true;
    ArchiveExchange *exchange = run_->begin(wall_.nowMs());
    if (!exchange)
        return false;
    if (drive(*exchange, run_->answerPaced(*run_->inFlight()),
              [this](const ArchiveOutcome &outcome) { run_->end(outcome, wall_.nowMs()); }))
        return true;
    // Nothing went out: the item is tried again later.
    run_->end(ArchiveOutcome::failed(QStringLiteral("не почалося")), wall_.nowMs());
    return false;
}

void StationCollection::finished()
{
    const qint64 now = steady_.nowMs();
    const qint64 took = std::max<qint64>(0, now - startedAt_);
    busyMs_ += took;
    notBefore_ = now + (LinkShareDivisor - 1) * took;
    running_ = false;
    // The driver is inside its own callback: it goes at the next start.
    spent_ = std::move(driver_);
    if (ended)
        ended();
}

void StationCollection::cancel()
{
    if (!running_)
        return;
    driver_->stop();
    driver_->exchange().cancel();
    running_ = false;
    checking_.clear();
    busyMs_ += std::max<qint64>(0, steady_.nowMs() - startedAt_);
}

QString StationCollection::badgeText() const
{
    if (!store_ || !enabled_ || !run_)
        return {};
    if (run_->failuresInRow() > 0)
        return QStringLiteral("архів: помилка");
    const CollectorStatus s = status();
    return s.lastCollectedMs
        ? QStringLiteral("архів ") + WallClock::dateTime(*s.lastCollectedMs).toString(QStringLiteral("HH:mm:ss"))
        : QStringLiteral("архів");
}

CollectorStatus StationCollection::status() const { return run_ ? run_->status() : CollectorStatus{}; }

QString StationCollection::statusText() const
{
    if (!store_)
        return QStringLiteral("Архівування: немає історії");
    if (!enabled_)
        return QStringLiteral("Архівування вимкнено");
    const CollectorStatus s = status();
    QString text = QStringLiteral("Архівування: ") + s.state;
    if (!checking_.isEmpty())
        text += QStringLiteral(", перевірка швидкого завантаження");
    else if (fast_ && !fastArchives().isEmpty())
        text += QStringLiteral(", швидко");
    if (fast_ && !refusedArchives().isEmpty())
        text += QStringLiteral(", швидке завантаження відхилено контролером");
    if (s.lastCollectedMs)
        text += QStringLiteral(", останнє ")
            + WallClock::dateTime(*s.lastCollectedMs).toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    if (s.pending > 0)
        text += QStringLiteral(", чекають %1 стор.").arg(s.pending);
    return text;
}

}   // namespace history
