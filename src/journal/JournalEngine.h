#pragma once
// The journal download: one request (a page by number or "current", command 77, or the page
// holding a given hour, command 78), one answer of at least 329 bytes, then the link goes back
// to the polling cycle at step 0. An archive exchange: the window runs it on an ArchiveDriver
// (`Timer_Opros_JURNAL`) that keeps the steps on their timeline.
//
// Timeline of a page request: start +600 ms send, +1200 ms wait, +1800 ms read; a find waits
// 5000 ms after its send and reads at +6200 ms. An incomplete answer ends the download without
// a retry; an answer that fails its check is dropped whole (the buffer keeps the last good
// page) and cancels a find.
#include "journal/JournalStation.h"
#include "link/ArchiveExchange.h"
#include "link/Link.h"
#include <QByteArray>

class JournalListener : public ArchiveEvents {
public:
    // The page and archive controls of the window: disabled at every tick, enabled at the read.
    virtual void journalControls(bool enabled) { (void)enabled; }
    // The request has gone out; the find-by-date window may close.
    virtual void journalRequestSent() {}
    // A good answer is in `Jurnal_Buf` and the page state is taken: draw it.
    virtual void journalShow() {}
    // The answer failed its check (the operator hears a beep).
    virtual void journalCrcMismatch() {}
    // The download is over (whatever its outcome): the polling cycle resumes at step 0.
    virtual void journalEnded() {}
};

class JournalEngine : public ArchiveExchange {
public:
    static constexpr int StepInterval = pacing::journal.step;   // `Timer_Opros_JURNAL`
    static constexpr int FindWait = pacing::journal.findWait;   // after a find request is sent
    static constexpr int AnswerSize = 329;                      // an answer is taken from this many bytes on
    static constexpr int Covered = 326;                         // the answer's CRC covers positions 1..326
    // A request that cannot go out (the TCP link down and reconnecting) is tried again on the
    // next ticks, this many times in all (6 s), then the download ends as incomplete.
    static constexpr int SendTries = pacing::journal.sendTries;

    enum class Outcome { None, Shown, Incomplete, CrcError, Cancelled };

    JournalEngine(JournalStation station, Link &link, JournalListener *listener = nullptr);

    void setListener(JournalListener *listener) { listener_ = listener; }

    // The polling cycle hands over the link: `Jurnal_State` 0, first tick after StepInterval.
    // The request kind is taken from `Jurnal_Find` when the frame is built. False while a
    // download runs.
    bool start() override;
    int firstInterval() const override { return answerPaced_ ? pacing::answerPaced.start : StepInterval; }
    // One step; returns the next interval in ms.
    int tick();
    // tick(), Done once the download has ended.
    int step() override;
    bool active() const { return active_; }
    bool running() const override { return active_; }
    // The journal window closed: the download stops where it is, without a hand-back event
    // (the window resumes polling itself).
    void cancel() override;

    // Answer-paced: the request goes out at once and its answer is read as soon as it is in
    // (see ArchiveExchange::answerIn); a page answer that does not come whole is waited for
    // only its time on the line plus a margin (pacing::AnswerPaced), a find for as long as
    // paced (the controller searches first). The same frames, reads and outcomes. Set before
    // start().
    void setAnswerPaced(bool on) { answerPaced_ = on; }
    bool answerPaced() const { return answerPaced_; }
    bool answerIn() const override;

    Outcome lastOutcome() const { return outcome_; }
    ArchiveOutcome outcome() const override;

    // The request of the current `Jurnal_Find`, `Jurnal_Page` and `Find_*` (without CRC).
    QByteArray request() const;

private:
    void send();
    void read();
    void end(Outcome outcome);

    JournalStation station_;
    Link &link_;
    JournalListener *listener_;
    bool active_ = false;
    bool currentOrFind_ = false;
    bool answerPaced_ = false;
    int interval_ = StepInterval;
    int sendTries_ = 0;
    Outcome outcome_ = Outcome::None;
};
