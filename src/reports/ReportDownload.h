#pragma once
// The report download: four command-75 packets over the serial port, each requested after a
// 500 ms delay (`Zadergka_REPORT`), looked for every 150 ms (`Timer_Opros_REPORT`) while a
// progress bar counts 60 ticks of 20 ms (`Timer_ProgressBar_REPORT`). While it runs `Rep_Mode`
// is 1 and the polling cycle stays off; every end (complete, failed, given up) sets `Rep_Mode`
// back to 0 and hands the link back.
//
// An answer takes longer on the wire than the bar runs (15 365 bytes, 1.334 s at 115 200
// baud), so the bar's end is not the end of the wait: the receiver keeps looking for the
// answer until AnswerLimitMs after the request. At the bar's end the link goes back to the
// polling cycle only when polling does not use the serial port (a project on TCP); on a
// serial project the cycle waits for the receiver, so that never two read one port.
//
// The report always uses the serial port numbered by the link: the loaded .rep's link number
// (`Rep_LinkNo`) when there is one, else the link kind (a TCP project opens COM9), through
// the link's own serial port.
//
// The three window timers run on the link's clock: tick() runs every timer that is due, in
// the order delay, receiver, progress, and returns the milliseconds until the next one (Done
// when none runs). It is an archive exchange: start() is `Load_Q7`, and an ArchiveDriver (or
// a VirtualDriver in tests) runs it:
//
//     ReportDownload dl(station, link, &events);
//     ArchiveDriver driver(dl, &window);
//     driver.start();                                // Load_Q7
#include "reports/ReportStation.h"
#include "app/Messages.h"
#include "link/ArchiveExchange.h"
#include "link/Link.h"
#include <QString>

// What the download shows or asks for; every call comes from inside load() or tick().
class ReportEvents : public ArchiveEvents {
public:
    virtual void packetLabel(const QString &text) { (void)text; }   // `Paket_Num`
    virtual void progressChanged(int value, bool visible)
    {
        (void)value;
        (void)visible;
    }
    virtual void loadEnabled(bool enabled) { (void)enabled; }   // `Load_Q7`
    virtual void beep() {}
    // An error box: "Помилка СОМ порту !!!", "Помилка контрольної суми!!!", "Помилка передачі!!!".
    virtual void failed(const QString &message) { (void)message; }
    // All four packets are in `Rep_Table`: the export runs now, before the link goes back.
    virtual void completed() {}
    // `Rep_Mode` is 0 again: the polling cycle restarts (`Timer_05`).
    virtual void linkReturned() {}
};

class ReportDownload : public ArchiveExchange {
public:
    static constexpr int DelayMs = pacing::report.delay;                 // `Zadergka_REPORT`
    static constexpr int ReceiveMs = pacing::report.receive;             // `Timer_Opros_REPORT`
    static constexpr int ProgressMs = pacing::report.progress;           // `Timer_ProgressBar_REPORT`
    static constexpr int ProgressLimit = pacing::report.progressLimit;   // the bar's value above this is the time-out
    static constexpr int ProgressMax = 61;
    // The longest wait for an answer, from its request: the answer's 1 334 ms on the wire at
    // 115 200 baud and 3.6 s more for a slow controller to start sending. Then the packet
    // counts as not transferred.
    static constexpr int AnswerLimitMs = pacing::report.answerLimit;

    static inline const QString &ComError = msg::PortFailed;
    static inline const QString &CrcError = msg::ChecksumFailed;
    static inline const QString &TransferError = msg::TransferFailed;

    ReportDownload(ReportStation station, Link &link, ReportEvents *events = nullptr);

    void setEvents(ReportEvents *events) { events_ = events ? events : &none_; }

    // The serial port number the report uses: the .rep's link number, else the link kind.
    int portNumber() const
    {
        return station_.report.Rep_LinkNo >= 1 && station_.report.Rep_LinkNo <= 9 ? station_.report.Rep_LinkNo
                                                                                  : station_.project.linkKind;
    }
    // The report port is open on that number.
    bool portOpen() const { return link_.serialOpenOn(portNumber()); }
    // Closes the report port if open and opens it again; the polling step becomes 0. False when
    // it cannot be opened.
    bool openPort();

    // `Load_Q7`: takes the link and requests packet `Rep_PacketNo` after the delay. Ignored
    // while a request is under way (delay or bar running); after the bar's end it asks again.
    void load();
    bool loadAccepted() const { return !Zadergka_REPORT.on && !Timer_ProgressBar_REPORT.on; }
    // The window goes: every timer stops and, if the download held the link, it goes back.
    void abandon();

    // Runs the timers due on the link's clock; the milliseconds until the next one, or Done.
    int tick();
    int nextInterval() const;
    qint64 now() const { return link_.now(); }
    bool running() const override { return Zadergka_REPORT.on || Timer_Opros_REPORT.on || Timer_ProgressBar_REPORT.on; }

    // The exchange: start() is load() (false when it is not accepted), cancel() is abandon().
    bool start() override;
    int firstInterval() const override { return nextInterval(); }
    int step() override { return tick(); }
    void cancel() override { abandon(); }
    ArchiveOutcome outcome() const override { return outcome_; }

    // Answer-paced: each packet after the first is asked for after pacing::AnswerPaced::start
    // instead of the delay, each taken as soon as all of it is in (see ArchiveExchange::answerIn), and a packet
    // that does not come whole is waited for only its time on the line plus a margin
    // (pacing::AnswerPaced), not AnswerLimitMs. The same frames, checks, messages and
    // hand-back. Set before start().
    void setAnswerPaced(bool on) { answerPaced_ = on; }
    bool answerPaced() const { return answerPaced_; }
    bool answerIn() const override;

    int progress() const { return progress_; }
    bool progressVisible() const { return progressVisible_; }

private:
    struct Timer {
        bool on = false;
        qint64 due = 0;
        int period = 0;
    };
    void start(Timer &t)
    {
        t.on = true;
        t.due = now() + t.period;
    }
    void takeLink();
    void Zadergka_REPORT_Timer();
    void Timer_Opros_REPORT_Timer();
    void Timer_ProgressBar_REPORT_Timer();
    void setProgress(int value, bool visible);
    // Stops every timer, hides the bar, enables `Load_Q7` and gives the link back.
    void end();
    void fail(const QString &message, bool beep);
    // `Rep_Mode` 0 and the polling cycle told, once.
    void handBack();
    // The common events of the end, from outcome_.
    void finish();

    ReportStation station_;
    Link &link_;
    ReportEvents *events_;
    ReportEvents none_;

    Timer Zadergka_REPORT{false, 0, DelayMs};
    Timer Timer_Opros_REPORT{false, 0, ReceiveMs};
    Timer Timer_ProgressBar_REPORT{false, 0, ProgressMs};
    // The longest wait for an answer from its request, in ms.
    int answerLimit() const;

    qint64 requestAt_ = 0;
    bool answerPaced_ = false;
    ArchiveOutcome outcome_;
    int progress_ = 0;
    bool progressVisible_ = false;
};
