#pragma once
// The driving contract of the archive downloads (trend pages, journal pages, the report
// archive). Each takes the link from the polling cycle, alternates sends and answers on its
// own pacing, bounds every wait, and hands the link back with the polling cycle at step 0.
//
//     if (exchange.start())                      // takes the link
//         after exchange.firstInterval() ms:
//             for (int ms; (ms = exchange.step()) != ArchiveExchange::Done;)
//                 wait ms;
//     exchange.outcome();
//
// ArchiveDriver runs one on a QTimer, VirtualDriver on a manual clock. What the three have in
// common leaves them through ArchiveEvents; what one window alone draws goes through that
// archive's own listener, which extends ArchiveEvents.
#include <QString>

struct ArchiveOutcome {
    enum class Kind {
        None,        // never started, or still running
        Completed,   // the archive is in the station
        Failed,      // ended without it; `text` says why in the operator's words
        Cancelled,   // its window went away first
    };
    Kind kind = Kind::None;
    QString text;

    static ArchiveOutcome completed() { return {Kind::Completed, {}}; }
    static ArchiveOutcome failed(const QString &why) { return {Kind::Failed, why}; }
    static ArchiveOutcome cancelled() { return {Kind::Cancelled, {}}; }
    bool ok() const { return kind == Kind::Completed; }
};

// The calls every download makes, in the order they happen; all come from inside start(),
// step() or cancel(). The defaults do nothing.
class ArchiveEvents {
public:
    virtual ~ArchiveEvents() = default;
    // `done` of `total` parts (packets, or the one page) are in.
    virtual void archiveProgress(int done, int total)
    {
        (void)done;
        (void)total;
    }
    // The download holds the link (true) or has let it go (false).
    virtual void archiveBusy(bool busy) { (void)busy; }
    // The download failed; `text` is what the operator is told.
    virtual void archiveFailed(const QString &text) { (void)text; }
    // The download is over, whatever its outcome, and the link is handed back.
    virtual void archiveEnded(const ArchiveOutcome &outcome) { (void)outcome; }
};

class ArchiveExchange {
public:
    static constexpr int Done = -1;

    virtual ~ArchiveExchange() = default;

    // Takes the link and sets the exchange going. False when there is nothing to do (nothing
    // asked for, or already running).
    virtual bool start() = 0;
    // Milliseconds from start() to the first step().
    virtual int firstInterval() const = 0;
    // One step; the milliseconds until the next, or Done when the exchange has ended.
    virtual int step() = 0;
    virtual bool running() const = 0;
    // Its window goes: the exchange stops where it is.
    virtual void cancel() = 0;
    // How the last run ended.
    virtual ArchiveOutcome outcome() const = 0;
    // The exchange waits for an answer and all of it is in: an answer-paced driver steps now
    // instead of at the end of the interval. Exchanges that only keep their fixed waits say no.
    virtual bool answerIn() const { return false; }
};

// The fixed waits of the downloads, in ms: one table per archive, so that a pacing led by the
// answers can replace them without touching the engines.
namespace pacing {

struct Trend {
    int start = 600;                    // start to the first send
    int firstSend = 1500;               // after the download's first send
    int resendFirst = 100;              // after packet 1 is sent again
    int defaultPoll = 200;              // between packets when the window's poll time is out of range
    int pollMin = 100, pollMax = 500;   // the poll times the window may set
    int tickLimit = 128;                // ticks a download may take in all
    int findStart = 600;                // find-by-date: the request to its send
    int findWait = 1000;                // after the find frame, before the download starts
    int maxQuiet = 3000;                // longest wait for the line to fall quiet after a packet asked again
};

struct Journal {
    int step = 600;        // send, wait and read steps
    int findWait = 5000;   // after a find-by-date request
    int sendTries = 10;    // ticks a request that cannot go out is tried
};

struct Report {
    int delay = 500;          // the load to the request
    int receive = 150;        // the receiver looks for the answer
    int progress = 20;        // one tick of the progress bar
    int progressLimit = 59;   // the bar's value above this ends its run
    int answerLimit = 5000;   // the longest wait for an answer, from its request
};

// Answer-paced downloads: the wait after a request is bounded by the time its answer takes on
// the line (10 bits a byte at the line's baud rate) plus a margin; the driver steps as soon as
// the answer is in (ArchiveExchange::answerIn), so the bound only matters for a bad or missing
// answer.
struct AnswerPaced {
    int baud = 115200;
    int serialMargin = 50;   // the controller's turnaround and the port's latency
    int tcpMargin = 150;     // a round trip to a controller behind a gateway
    int start = 20;          // start to the first send

    // The bound for a request of `sent` bytes and an answer of `answer` bytes.
    constexpr int answerWait(int sent, int answer, bool tcp) const
    {
        const int wire = int(((long long)(sent + answer) * 10 * 1000 + baud - 1) / baud);
        return wire + (tcp ? tcpMargin : serialMargin);
    }
};

inline constexpr Trend trend{};
inline constexpr AnswerPaced answerPaced{};
inline constexpr Journal journal{};
inline constexpr Report report{};

}   // namespace pacing
