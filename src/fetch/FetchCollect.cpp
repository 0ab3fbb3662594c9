// tablo-fetch collect: the controller's trend pages and journal into the history store before
// its rings overwrite them, headless (history::CollectRun on an ArchiveDriver).
#include "fetch/Fetch.h"
#include "history/CollectRun.h"
#include "history/HistoryPath.h"
#include "history/HistoryStore.h"
#include "history/PageTimes.h"
#include "history/PgStore.h"
#include "journal/JournalFastProbe.h"
#include "link/ArchiveDriver.h"
#include "trends/TrendFastProbe.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace fetch {
namespace {

enum class Mode { Once, For, Follow };

struct CollectOptions {
    QString history;
    history::CollectorOptions collector;
    Mode mode = Mode::Once;
    qint64 forMs = 0;
    bool fast = false;
};

// Downloads (or stores) that fail one after the other before --once gives up.
constexpr int OnceFailureLimit = 3;
// The longest wait between two looks at the schedule (it is read again after each).
constexpr qint64 LongestWaitMs = 60000;

QString parseGroups(const QString &value, std::array<bool, 8> &groups)
{
    groups.fill(false);
    const QStringList items = value.split(u',');
    for (const QString &item : items) {
        bool ok = false;
        const int g = item.trimmed().toInt(&ok);
        if (!ok || g < 1 || g > 8)
            return QStringLiteral("bad --groups \"%1\": expected groups 1..8 separated by commas, e.g. 1,2,5")
                .arg(value);
        groups[std::size_t(g - 1)] = true;
    }
    return {};
}

QString parse(const QStringList &args, CollectOptions &o)
{
    int modes = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        QString v;
        const auto value = [&] {
            if (i + 1 >= args.size())
                return false;
            v = args.at(++i);
            return true;
        };
        if (a == QLatin1String("--history")) {
            if (!value() || v.isEmpty())
                return QStringLiteral("--history needs a file name or a postgresql:// URI");
            o.history = v;
        } else if (a == QLatin1String("--groups")) {
            if (!value())
                return QStringLiteral("--groups needs a list of groups 1..8, e.g. 1,2");
            if (QString bad = parseGroups(v, o.collector.groups); !bad.isEmpty())
                return bad;
        } else if (a == QLatin1String("--since")) {
            if (!value())
                return QStringLiteral("--since needs a time \"YYYY-MM-DD HH:MM:SS\"");
            const auto t = history::parseClock(v);
            if (!t)
                return QStringLiteral("bad --since \"%1\": expected \"YYYY-MM-DD HH:MM:SS\"").arg(v);
            o.collector.sinceMs = *t;
        } else if (a == QLatin1String("--no-journal")) {
            o.collector.journal = false;
        } else if (a == QLatin1String("--fast")) {
            o.fast = true;
        } else if (a == QLatin1String("--once")) {
            o.mode = Mode::Once;
            ++modes;
        } else if (a == QLatin1String("--follow")) {
            o.mode = Mode::Follow;
            ++modes;
        } else if (a == QLatin1String("--for")) {
            if (!value())
                return QStringLiteral("--for needs a number of seconds");
            bool ok = false;
            const qint64 s = v.toLongLong(&ok);
            if (!ok || s < 1 || s > 10LL * 365 * 24 * 3600)
                return QStringLiteral("bad --for \"%1\": expected a number of seconds, at least 1").arg(v);
            o.mode = Mode::For;
            o.forMs = s * 1000;
            ++modes;
        } else {
            return QStringLiteral("unknown collect option \"%1\"").arg(a);
        }
    }
    if (modes > 1)
        return QStringLiteral("give only one of --once, --for and --follow");
    return {};
}

// SIGTERM and SIGINT become a byte on a socket that the event loop watches.
int stopFds[2] = {-1, -1};

extern "C" void onStopSignal(int)
{
    const char byte = 1;
    if (stopFds[1] >= 0)
        (void)!::write(stopFds[1], &byte, 1);
}

class StopSignals {
public:
    StopSignals()
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, stopFds) != 0)
            return;
        notifier_ = std::make_unique<QSocketNotifier>(stopFds[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
            char buf[16];
            (void)!::read(stopFds[0], buf, sizeof buf);
            if (stopped)
                stopped();
        });
        struct sigaction sa = {};
        sa.sa_handler = onStopSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &sa, &oldTerm_);
        ::sigaction(SIGINT, &sa, &oldInt_);
        installed_ = true;
    }
    ~StopSignals()
    {
        if (installed_) {
            ::sigaction(SIGTERM, &oldTerm_, nullptr);
            ::sigaction(SIGINT, &oldInt_, nullptr);
        }
        notifier_.reset();
        for (int &fd : stopFds) {
            if (fd >= 0)
                ::close(fd);
            fd = -1;
        }
    }
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    std::function<void()> stopped;

private:
    std::unique_ptr<QSocketNotifier> notifier_;
    struct sigaction oldTerm_ = {}, oldInt_ = {};
    bool installed_ = false;
};

// Runs the collection on the event loop: one download at a time on an ArchiveDriver, a timer
// to the next item due in between.
class Runner {
public:
    Runner(Session &session, history::CollectRun &run, const CollectOptions &o)
        : session_(session), run_(run), options_(o), clock_(SteadyClock::instance())
    {
        wait_.setSingleShot(true);
        QObject::connect(&wait_, &QTimer::timeout, [this] { next(); });
    }

    // Until the mode's end or a stop; the exit code.
    int exec()
    {
        if (options_.mode == Mode::For)
            deadline_ = clock_.nowMs() + options_.forMs;
        QTimer::singleShot(0, [this] { next(); });
        while (!finished_)
            session_.exec(int(LongestWaitMs) * 10);
        return code_;
    }

    // SIGTERM, SIGINT: the page in flight is finished, then the run ends.
    void stop()
    {
        if (!stopping_)
            session_.progress(
                QStringLiteral("stopping%1").arg(driver_ ? QStringLiteral(" after the page in flight") : QString()));
        stopping_ = true;
        if (!driver_)
            finish(Success);
    }

private:
    void finish(int code)
    {
        if (finished_)
            return;
        wait_.stop();
        const history::CollectorStatus s = run_.status();
        session_.progress(QStringLiteral("collected %1 pages, %2 failed downloads, %3 pages lost, %4 waiting; %5")
                              .arg(s.pagesCollected)
                              .arg(s.failures)
                              .arg(s.lost)
                              .arg(s.pending)
                              .arg(s.state));
        code_ = code;
        finished_ = true;
        session_.quit();
    }

    void next()
    {
        if (finished_ || driver_)
            return;
        const qint64 now = clock_.nowMs();
        if (stopping_)
            return finish(Success);
        if (deadline_ && now >= *deadline_)
            return finish(Success);
        if (options_.mode == Mode::Once) {
            if (run_.failuresInRow() >= OnceFailureLimit) {
                const bool store = run_.last() && run_.last()->storeFailed;
                session_.error(store ? QStringLiteral("the history store keeps refusing pages")
                                     : QStringLiteral("downloads keep failing"));
                return finish(store ? WriteFailed : TransferFailed);
            }
            if (run_.caughtUp())
                return finish(Success);
        }
        if (ArchiveExchange *x = run_.begin(now)) {
            const bool journal = run_.inFlight()->kind == history::CollectorItem::Kind::Journal;
            driver_ = std::make_unique<ArchiveDriver>(
                *x, nullptr, journal ? ArchiveDriver::Schedule::OnTimeline : ArchiveDriver::Schedule::AfterStep);
            driver_->setAnswerPaced(run_.answerPaced(*run_.inFlight()));
            driver_->ended = [this](const ArchiveOutcome &outcome) {
                run_.end(outcome, clock_.nowMs());
                // The driver is inside its own step: it goes once the step is over.
                QTimer::singleShot(0, [this] {
                    driver_.reset();
                    next();
                });
            };
            if (!driver_->start()) {
                run_.end(ArchiveOutcome::failed(QStringLiteral("the download would not start")), now);
                driver_.reset();
                QTimer::singleShot(0, [this] { next(); });
            }
            return;
        }
        // Nothing due: wait for the next item, the end of --for, or a stop.
        qint64 until = now + LongestWaitMs;
        if (const auto due = run_.nextDueMs(now))
            until = std::min(until, std::max(*due, now + 1));
        if (deadline_)
            until = std::min(until, *deadline_);
        wait_.start(int(std::max<qint64>(1, until - now)));
    }

    Session &session_;
    history::CollectRun &run_;
    CollectOptions options_;
    const Clock &clock_;
    QTimer wait_;
    std::unique_ptr<ArchiveDriver> driver_;
    std::optional<qint64> deadline_;
    bool stopping_ = false;
    bool finished_ = false;
    int code_ = Success;
};

int runCollect(Session &session, const QStringList &args)
{
    CollectOptions o;
    if (const QString problem = parse(args, o); !problem.isEmpty()) {
        session.error(problem);
        return UsageError;
    }
    const ProjectModel &m = session.station.project;
    const QString path = history::historyTarget(o.history, m.projectName, m.controllerAddress);
    QString error;
    const auto store = history::HistoryStore::open(path, &error, history::HistoryStore::Mode::Write,
                                                   history::controllerKey(m.projectName, m.controllerAddress));
    if (!store) {
        session.error(error);
        return WriteFailed;
    }
    QStringList groups;
    for (int g = 0; g < 8; ++g)
        if (o.collector.groups[std::size_t(g)])
            groups << QString::number(g + 1);
    session.progress(
        QStringLiteral("collecting trend groups %1%2 into %3%4")
            .arg(groups.join(u','), o.collector.journal ? QStringLiteral(" and the journal") : QString(),
                 history::pg::shown(path),
                 o.collector.sinceMs
                     ? QStringLiteral(", pages since %1").arg(history::clockSecondsText(*o.collector.sinceMs))
                     : QString()));

    history::CollectRun run(session.station, session.link(), *store, o.collector, WallClock::instance());
    run.log = [&session](const QString &line) { session.progress(line); };
    if (o.fast) {
        // Each archive as `trend --fast` and `journal --fast` take it: checked once per controller.
        const int group =
            int(std::find(o.collector.groups.begin(), o.collector.groups.end(), true) - o.collector.groups.begin());
        if (group < 8) {
            TrendFastProbe probe(session.station, session.link(), group);
            run.setAnswerPaced(useFast(session, QStringLiteral("trend"), probe));
        }
        if (o.collector.journal) {
            JournalFastProbe probe(session.station, session.link());
            run.setJournalAnswerPaced(useFast(session, QStringLiteral("journal"), probe));
        }
        QStringList fast;
        if (group < 8 && run.answerPaced({history::CollectorItem::Kind::Trend, group, history::TrendCurrentPage}))
            fast << QStringLiteral("trend");
        if (o.collector.journal
            && run.answerPaced({history::CollectorItem::Kind::Journal, 0, history::JournalCurrentPage}))
            fast << QStringLiteral("journal");
        if (!fast.isEmpty())
            session.progress(QStringLiteral("fast: %1 pages answer by answer").arg(fast.join(QStringLiteral(" and "))));
    }
    Runner runner(session, run, o);
    StopSignals signals;
    signals.stopped = [&runner] { runner.stop(); };
    return runner.exec();
}

QString check(const QStringList &args)
{
    CollectOptions o;
    return parse(args, o);
}

}   // namespace

const Subcommand &collectSubcommand()
{
    static const Subcommand s{
        QStringLiteral("collect"),
        QStringLiteral("[--history FILE] [--groups LIST] [--since \"YYYY-MM-DD HH:MM:SS\"] [--no-journal]\n"
                       "        [--fast] [--once | --for SECONDS | --follow]"),
        QStringLiteral("collect: the controller's trend pages and journal into the station's history before its\n"
                       "rings overwrite them: each group's current page first, then every completed ring page\n"
                       "not yet held, the one the controller overwrites soonest first; the journal pages its\n"
                       "write pointer moved over. A page stored before is kept once. One line per page on\n"
                       "standard error: group, page, samples, and new, duplicate, completed or new run.\n"
                       "  --history FILE    the history file or a postgresql:// URI (default:\n"
                       "                    $XDG_DATA_HOME/tablo/history/PROJECT-ADDRESS.sqlite)\n"
                       "  --groups LIST     the trend groups, e.g. 1,2 (default all eight)\n"
                       "  --since \"YYYY-MM-DD HH:MM:SS\"  skip ring pages that end before this time of the\n"
                       "                    controller's clock\n"
                       "  --no-journal      trend pages only\n"
                       "  --fast            pages asked for answer by answer, once the controller passed the\n"
                       "                    check of trend --fast and journal --fast (each archive on its own)\n"
                       "  --once            catch up on everything new, then end (the default)\n"
                       "  --for SECONDS     collect that long, then end\n"
                       "  --follow          collect until stopped; SIGTERM or SIGINT ends it after the page in\n"
                       "                    flight (e.g. systemctl --user start tablo-collect@PATH.service)\n"
                       "Exit codes: 0 done (--once: every page due was stored; --for, --follow: ended as\n"
                       "asked), 2 usage, 3 the controller could not be reached or downloads kept failing,\n"
                       "4 the history cannot be opened or keeps refusing pages, 5 project not loaded.\n"),
        runCollect,
        check,
    };
    return s;
}

}   // namespace fetch
