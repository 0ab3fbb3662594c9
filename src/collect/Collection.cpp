#include "collect/Collection.h"
#include "collect/Spool.h"
#include "history/CollectRun.h"
#include "history/HistoryPath.h"
#include "history/HistoryStore.h"
#include "history/PageTimes.h"
#include "history/PgStore.h"
#include "link/ArchiveDriver.h"
#include "link/SerialTransport.h"
#include "link/TcpTransport.h"
#include "project/HeadlessLoad.h"
#include "project/ProjectReader.h"
#include "trends/TrendImage.h"

#include <QDateTime>
#include <QTcpSocket>
#include <QDir>
#include <QTimer>
#include <algorithm>
#include <map>
#include <optional>

namespace collect {
namespace {

// The longest wait between two looks at the schedule.
constexpr qint64 LongestWaitMs = 60000;
// A server that did not answer, a serial port that would not open, a full spool: tried again
// after this long.
constexpr int RetryMs = 5000;
// A server that one controller could not reach is left alone by all for this long.
constexpr qint64 ServerRetryMs = 5000;
// Pages forwarded in one go before the event loop gets its turn.
constexpr int ForwardBatch = 50;

class Host : public NoLoadHost {
public:
    explicit Host(Link &link) : link_(link) {}
    void connectTcp(const QString &host, std::int32_t port) override { link_.connectTcp(host, port); }
    void closeTcp() override { link_.closeTcp(); }
    void showMessage(const QString &text) override { messages << text; }
    void parameterError(const QString &text) override { messages << text; }
    void netlistError(const QString &text) override { messages << text; }
    QStringList messages;

private:
    Link &link_;
};

// By history URI: when a controller last failed to reach that server, and why.
std::map<QString, std::optional<qint64>> &serverFailures()
{
    static std::map<QString, std::optional<qint64>> failures;
    return failures;
}

std::map<QString, QString> &serverFailureText()
{
    static std::map<QString, QString> texts;
    return texts;
}

QString isoTime(qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms).toString(Qt::ISODate); }

}   // namespace

struct Collection::Impl : public history::PageSink {
    Entry entry;
    std::function<void(const QString &)> log;
    Collection *owner = nullptr;

    Station station;
    std::unique_ptr<SerialTransport> serial;
    std::unique_ptr<TcpTransport> tcp;
    std::unique_ptr<Link> link;
    std::unique_ptr<history::HistoryStore> store;   // the file, or the server while it answers
    std::unique_ptr<Spool> spool;                   // a server's
    std::unique_ptr<history::CollectRun> run;
    std::unique_ptr<ArchiveDriver> driver;
    QTimer wait, forwardTimer;
    QString key;

    bool stopping = false;
    std::function<void()> done;
    qint64 pausedUntil = 0;    // a full spool
    bool serverDown = false;   // told once
    QString serverError;
    qint64 lastServerTry = -RetryMs;
    std::unique_ptr<QTcpSocket> probe;   // reaching a server on TCP before the open
    QTimer probeLimit;
    bool probed = false;   // the probe came through: open now
    bool portDown = false;
    qint64 waiting = 0;   // pages in the spool
    std::optional<qint64> lastStoredAt;
    QString lastStored;

    const Clock &clock = SteadyClock::instance();

    void say(const QString &line) const
    {
        // One line per event: a server's message may come in several.
        if (log)
            log(line.simplified());
    }
    void tell() const
    {
        if (owner->changed)
            owner->changed();
    }

    // The server, opened when it is not (at most every RetryMs). Opening blocks until the
    // server answers or the store's connect timeout, so a server on TCP is first reached
    // without blocking: the open follows once that connection came. The controllers of one
    // server share their back-off: after one of them failed, the others leave it alone for
    // ServerRetryMs.
    bool serverReady()
    {
        if (store)
            return true;
        const qint64 now = clock.nowMs();
        if (now - lastServerTry < RetryMs || probe)
            return false;
        auto &failedAt = serverFailures()[entry.history];
        if (failedAt && now - *failedAt < ServerRetryMs) {
            if (!serverDown)
                serverLost(serverFailureText()[entry.history]);
            return false;
        }
        if (!probed && startProbe())
            return false;
        probed = false;
        lastServerTry = now;
        QString error;
        store = history::HistoryStore::open(entry.history, &error, history::HistoryStore::Mode::Write, key);
        if (!store) {
            failedAt = clock.nowMs();
            serverFailureText()[entry.history] = error;
            serverLost(error);
            return false;
        }
        failedAt.reset();
        if (serverDown)
            say(QStringLiteral("server %1 reached again").arg(history::pg::shown(entry.history)));
        serverDown = false;
        return true;
    }

    // Starts reaching the server's TCP port; false when its host is a socket folder (no
    // probe needed: such a connection fails or succeeds at once).
    bool startProbe()
    {
        QString why;
        const auto uri = history::pg::parseUri(entry.history, &why);
        if (!uri || uri->host.startsWith(u'/'))
            return false;
        const QString host = uri->host;
        const int port = uri->port > 0 ? uri->port : 5432;
        lastServerTry = clock.nowMs();
        probe = std::make_unique<QTcpSocket>();
        const auto done = [this, host, port](bool ok, const QString &error) {
            probeLimit.stop();
            if (!probe)
                return;
            // The socket is inside its own signal: it goes once that is over, heard no more.
            QObject::disconnect(probe.get(), nullptr, nullptr, nullptr);
            probe.release()->deleteLater();
            if (ok) {
                probed = true;
                lastServerTry = -RetryMs;
                QTimer::singleShot(0, &forwardTimer, [this] { forward(); });
                return;
            }
            const QString text = QStringLiteral("no connection to %1:%2 (%3)").arg(host).arg(port).arg(error);
            serverFailures()[entry.history] = clock.nowMs();
            serverFailureText()[entry.history] = text;
            serverLost(text);
        };
        QObject::connect(probe.get(), &QTcpSocket::connected, [done] { done(true, {}); });
        QObject::connect(probe.get(), &QTcpSocket::errorOccurred,
                         [this, done] { done(false, probe ? probe->errorString() : QString()); });
        probeLimit.setSingleShot(true);
        probeLimit.disconnect();
        QObject::connect(&probeLimit, &QTimer::timeout, [done] { done(false, QStringLiteral("no answer in 10 s")); });
        probeLimit.start(10000);
        probe->connectToHost(host, quint16(port));
        return true;
    }

    void serverLost(const QString &why)
    {
        if (!serverDown || why != serverError)
            say(QStringLiteral("server %1 not reached: %2; pages wait in the spool %3")
                    .arg(history::pg::shown(entry.history), why, spool->path()));
        serverDown = true;
        serverError = why;
        tell();
    }

    // Forwards what the spool holds; the StoreResult of the last trend page when everything
    // went.
    std::optional<history::StoreResult> forward()
    {
        std::optional<history::StoreResult> last;
        for (;;) {
            if (!serverReady())
                break;
            const Spool::Forwarded f = spool->forward(*store, ForwardBatch);
            if (f.lastTrend)
                last = f.lastTrend;
            if (f.failed) {
                // The store would connect again by itself, at every call: it is let go and
                // opened again after the back-off.
                lastServerTry = clock.nowMs();
                last.reset();
                if (f.error.startsWith(QLatin1String("spool "))) {
                    say(f.error);
                    break;
                }
                store.reset();
                serverFailures()[entry.history] = clock.nowMs();
                serverFailureText()[entry.history] = f.error;
                serverLost(f.error);
                break;
            }
            if (f.pages < ForwardBatch)
                break;
        }
        const qint64 before = waiting;
        waiting = std::max<qint64>(0, spool->pending());
        if (waiting != before)
            tell();
        if (waiting > 0 && !forwardTimer.isActive())
            forwardTimer.start(RetryMs);
        return waiting == 0 ? last : std::nullopt;
    }

    void spoolFull(const QString &why)
    {
        pausedUntil = clock.nowMs() + 60000;
        say(QStringLiteral("spool full, its disk or its spool_max (%1): the collection of this controller pauses for a "
                           "minute")
                .arg(why));
        tell();
    }

    // PageSink: into the spool, then on to the server.
    history::StoreResult storeTrendPage(int group, QByteArrayView image, int page, const history::Channels &channels,
                                        qint64 downloadedMs) override
    {
        history::StoreResult r;
        QString error;
        bool full = false;
        if (!spool->addTrend(group, image, page, channels, downloadedMs, &error, &full)) {
            if (full)
                spoolFull(error);
            r.note = error;
            return r;
        }
        if (const auto s = forward())
            return *s;
        // What the server will make of it is known once it is there; the samples with times
        // are the image's.
        const int count = page == history::TrendCurrentPage
            ? std::clamp(image.size() > trend::SampleCountAt + 1 ? int(std::uint8_t(image[trend::SampleCountAt])) << 8
                                 | int(std::uint8_t(image[trend::SampleCountAt + 1]))
                                                                 : 0,
                         0, history::TrendPageSamples)
            : history::TrendPageSamples;
        QString why;
        const auto times = history::pageTimes(image, count, 0, &why);
        r.kind = history::Stored::New;
        r.samples = times ? times->timed : 0;
        r.note = QStringLiteral("waiting in the spool");
        return r;
    }

    int storeJournalPage(const journal::Buffer &buf, const std::array<QString, 32> &eventNames, qint64 downloadedMs,
                         QString *error) override
    {
        bool full = false;
        if (!spool->addJournal(buf, eventNames, downloadedMs, error, &full)) {
            if (full)
                spoolFull(error ? *error : QString());
            return -1;
        }
        forward();
        // The records newly stored are the server's to count; the spool only knows the page.
        return 0;
    }

    std::optional<qint64> newestSampleMs(int group) const override
    {
        return store ? store->newestSampleMs(group) : std::nullopt;
    }

    void finish()
    {
        wait.stop();
        if (spool)
            forward();
        forwardTimer.stop();
        if (auto d = std::move(done)) {
            done = nullptr;
            QTimer::singleShot(0, d);
        }
    }

    void next()
    {
        if (driver || !run)
            return;
        if (stopping)
            return finish();
        const qint64 now = clock.nowMs();
        if (now < pausedUntil) {
            wait.start(int(pausedUntil - now));
            return;
        }
        if (link->isSerial() && !link->openSerialIfClosed()) {
            if (!portDown)
                say(link->portFailureText().replace(u'\n', u' ')
                    + QStringLiteral(" (COM%1)").arg(station.project.linkKind));
            portDown = true;
            wait.start(RetryMs);
            return;
        }
        portDown = false;
        if (ArchiveExchange *x = run->begin(now)) {
            const bool journal = run->inFlight()->kind == history::CollectorItem::Kind::Journal;
            driver = std::make_unique<ArchiveDriver>(
                *x, nullptr, journal ? ArchiveDriver::Schedule::OnTimeline : ArchiveDriver::Schedule::AfterStep);
            driver->setAnswerPaced(entry.answerPaced && !journal);
            driver->ended = [this](const ArchiveOutcome &outcome) {
                run->end(outcome, clock.nowMs());
                noteResult();
                QTimer::singleShot(0, &wait, [this] {
                    driver.reset();
                    next();
                });
            };
            if (!driver->start()) {
                run->end(ArchiveOutcome::failed(QStringLiteral("the download would not start")), now);
                noteResult();
                driver.reset();
                wait.start(RetryMs);
            }
            return;
        }
        qint64 until = now + LongestWaitMs;
        if (const auto due = run->nextDueMs(now))
            until = std::min(until, std::max(*due, now + 1));
        wait.start(int(std::max<qint64>(1, until - now)));
    }

    void noteResult()
    {
        const auto &r = run->last();
        if (r && r->ok) {
            lastStoredAt = QDateTime::currentMSecsSinceEpoch();
            lastStored = history::CollectRun::itemText(r->item);
        }
        tell();
    }
};

Collection::Collection(const Entry &entry, std::function<void(const QString &)> log) : d(std::make_unique<Impl>())
{
    d->entry = entry;
    d->log = std::move(log);
    d->owner = this;
    d->station.poll.comDevices = entry.com;
    d->serial = std::make_unique<SerialTransport>([this](int n) { return d->station.poll.comDevice(n); });
    d->tcp = std::make_unique<TcpTransport>();
    d->link = std::make_unique<Link>(d->station, *d->serial, *d->tcp, SteadyClock::instance());
    d->wait.setSingleShot(true);
    QObject::connect(&d->wait, &QTimer::timeout, [this] { d->next(); });
    d->forwardTimer.setSingleShot(true);
    QObject::connect(&d->forwardTimer, &QTimer::timeout, [this] { d->forward(); });
}

Collection::~Collection()
{
    // The run lets go of its exchange before the link it talks over goes.
    d->driver.reset();
    d->run.reset();
}

bool Collection::load(QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(d->entry.where(), why);
        return false;
    };
    NoProjectView view;
    Host host(*d->link);
    ProjectReader reader(d->station, view, host);
    if (!reader.load(d->entry.project) || d->station.project.projectLoaded == 0)
        return fail(host.messages.isEmpty() ? QStringLiteral("cannot load the project %1").arg(d->entry.project)
                                            : host.messages.join(QStringLiteral("; ")).replace(u'\n', u' '));
    const ProjectModel &m = d->station.project;
    d->key = history::controllerKey(m.projectName, m.controllerAddress);
    if (!d->entry.server()) {
        QString why;
        d->store = history::HistoryStore::open(d->entry.history, &why, history::HistoryStore::Mode::Write, d->key);
        if (!d->store)
            return fail(why);
        return true;
    }
    QString why;
    d->spool = Spool::open(QDir(d->entry.spool).filePath(d->entry.name + QStringLiteral(".spool")), &why);
    if (!d->spool || !d->spool->setMaxBytes(d->entry.spoolMaxMb * 1024 * 1024, &why))
        return fail(why);
    d->waiting = std::max<qint64>(0, d->spool->pending());
    return true;
}

QString Collection::key() const { return d->key; }

void Collection::start()
{
    history::CollectorOptions o;
    o.groups = d->entry.groups;
    o.journal = d->entry.journal;
    o.sinceMs = d->entry.sinceMs;
    if (d->entry.refreshS) {
        o.maxRefreshMs = qint64(*d->entry.refreshS) * 1000;
        o.minRefreshMs = std::min(o.minRefreshMs, o.maxRefreshMs);
        o.unknownRefreshMs = std::min(o.unknownRefreshMs, o.maxRefreshMs);
    }
    const ProjectModel &m = d->station.project;
    QStringList groups;
    for (int g = 0; g < 8; ++g)
        if (o.groups[std::size_t(g)])
            groups << QString::number(g + 1);
    const QString link = m.linkKind >= 1 && m.linkKind <= 8
        ? QStringLiteral("COM%1 (%2)").arg(m.linkKind).arg(d->station.poll.comDevice(m.linkKind))
        : QStringLiteral("TCP %1:%2").arg(m.ipAddress).arg(m.tcpPort);
    QString extra;
    if (o.sinceMs)
        extra += QStringLiteral(", pages since %1").arg(history::clockSecondsText(*o.sinceMs));
    if (d->entry.answerPaced)
        extra += QStringLiteral(", answer-paced");
    if (d->entry.refreshS)
        extra += QStringLiteral(", the current page at least every %1 s").arg(*d->entry.refreshS);
    if (d->waiting > 0)
        extra += QStringLiteral(", %1 pages waiting in the spool").arg(d->waiting);
    d->say(QStringLiteral("controller %1 on %2: trend groups %3%4 into %5%6")
               .arg(d->key, link, groups.join(u','), o.journal ? QStringLiteral(" and the journal") : QString(),
                    history::pg::shown(d->entry.history), extra));
    if (d->spool) {
        d->forward();
        d->run = std::make_unique<history::CollectRun>(d->station, *d->link, static_cast<history::PageSink &>(*d), o,
                                                       WallClock::instance());
    } else {
        d->run = std::make_unique<history::CollectRun>(d->station, *d->link, *d->store, o, WallClock::instance());
    }
    d->run->log = [this](const QString &line) { d->say(line); };
    d->run->setAnswerPaced(d->entry.answerPaced);
    QTimer::singleShot(0, &d->wait, [this] { d->next(); });
}

void Collection::stop(std::function<void()> done)
{
    d->done = std::move(done);
    if (d->stopping)
        return;
    d->stopping = true;
    if (d->driver)
        d->say(QStringLiteral("stopping after the page in flight"));
    else
        d->finish();
}

const Entry &Collection::entry() const { return d->entry; }

QJsonObject Collection::status() const
{
    QJsonObject o;
    o[QStringLiteral("name")] = d->entry.name;
    o[QStringLiteral("controller")] = d->key;
    QString link = QStringLiteral("waiting");
    if (d->portDown)
        link = QStringLiteral("port not open");
    else if (d->run && d->run->last())
        link = d->run->last()->ok || d->run->last()->storeFailed ? QStringLiteral("connected")
                                                                 : QStringLiteral("not answering");
    o[QStringLiteral("link")] = link;
    if (d->lastStoredAt) {
        o[QStringLiteral("lastPage")] = d->lastStored;
        o[QStringLiteral("lastPageAt")] = isoTime(*d->lastStoredAt);
    }
    if (d->run) {
        const history::CollectorStatus s = d->run->status();
        o[QStringLiteral("pagesCollected")] = s.pagesCollected;
        o[QStringLiteral("failures")] = s.failures;
        o[QStringLiteral("lost")] = s.lost;
    }
    o[QStringLiteral("history")] = history::pg::shown(d->entry.history);
    if (d->spool) {
        o[QStringLiteral("spoolWaiting")] = double(d->waiting);
        o[QStringLiteral("server")] = d->serverDown ? QStringLiteral("not reached") : QStringLiteral("reached");
    }
    if (d->clock.nowMs() < d->pausedUntil)
        o[QStringLiteral("paused")] = QStringLiteral("spool full");
    return o;
}

}   // namespace collect
