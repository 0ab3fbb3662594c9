#pragma once
// The trend page download: 32 packet exchanges (command 70, trend block 98), the decoding of
// the assembled image into the trend state, and the find-by-date request (command 76) that
// makes the controller select the page holding an hour.
//
// Both are archive exchanges (link/ArchiveExchange.h): the download is the engine itself, the
// find-by-date request is search(). The window runs each on an ArchiveDriver, the timers
// `Timer_Opros_GRAFIK` and `Timer1`; what the window shows leaves the engine through
// TrendListener.
//
//     TrendDownload engine(station, link, &window);
//     ArchiveDriver download(engine, &window), find(engine.search(), &window);
//     download.beforeStep = [&] { engine.setPollText(Text1.text()); };
//     // startDownloadTimer(ms) -> download.drive(ms), startFindTimer(ms) -> find.drive(ms)
//
// Listener calls that start or stop a timer come from inside the steps.
#include "trends/TrendStation.h"
#include "link/ArchiveExchange.h"
#include "link/Link.h"
#include "trends/TrendImage.h"
#include <QByteArray>
#include <QString>

class TrendListener : public ArchiveEvents {
public:
    // `DRAW_GRAFIK_1_4`: draw the chart from the trend state in the station.
    virtual void drawChart() {}
    // Clear the trend window's drawing surface (a completed download, before its labels).
    virtual void clearChart() {}
    // Draw time label k (see TimeLabel::texts for what goes where).
    virtual void drawTimeLabel(const trend::TimeLabel &label) { (void)label; }
    // A trend answer failed its CRC check.
    virtual void beep() {}
    // A modal message box with an OK button: "Помилка передачі!!!", "Помилка СОМ порту !!!".
    virtual void message(const QString &text) { (void)text; }
    // `ProgressBar_GRAFIK`: shown and set to `value` (0..34), or hidden.
    virtual void showProgress(int value) { (void)value; }
    virtual void hideProgress() {}
    // The monitor text box `tekst`: emptied, or `text` appended.
    virtual void clearMonitor() {}
    virtual void appendMonitor(const QString &text) { (void)text; }
    // `Frame1`, `Frame2`, `Frame3` enabled or disabled.
    virtual void setFramesEnabled(bool enabled) { (void)enabled; }
    // Mouse pointer: hourglass (true) or normal.
    virtual void setBusy(bool busy) { (void)busy; }
    // `Text1` was reset to "200" because it did not hold 100..500.
    virtual void pollTextReset(const QString &text) { (void)text; }
    // `Timer_Opros_GRAFIK`: started with the interval, or stopped.
    virtual void startDownloadTimer(int ms) { (void)ms; }
    virtual void stopDownloadTimer() {}
    // Arm `Timer_PUSK_Timer_05`: one second later the window hides the progress bar and
    // restarts the polling cycle (`Timer_05`) at step 0.
    virtual void armPollRestart() {}
    // A download starts: the main window is disabled (the polling cycle has stopped itself).
    virtual void disableMainWindow() {}
    // `Timer1` of the find window: started with the interval, or stopped.
    virtual void startFindTimer(int ms) { (void)ms; }
    virtual void stopFindTimer() {}
    // The find-by-date request is over: the trend window is enabled, the find window unloaded.
    virtual void findFinished() {}
};

class TrendDownload : public ArchiveExchange {
public:
    static constexpr int StartInterval = pacing::trend.start;               // first tick after the start
    static constexpr int FirstSendInterval = pacing::trend.firstSend;       // after the download's first send
    static constexpr int ResendFirstInterval = pacing::trend.resendFirst;   // after packet 1 is sent again
    static constexpr int DefaultPollInterval = pacing::trend.defaultPoll;   // `Text1` outside 100..500
    static constexpr int TickLimit = pacing::trend.tickLimit;
    static constexpr int FindStartInterval = pacing::trend.findStart;
    static constexpr int FindWaitInterval = pacing::trend.findWait;
    // Longest wait for the line to fall quiet after a packet that had to be asked again.
    static constexpr int MaxQuietInterval = pacing::trend.maxQuiet;

    TrendDownload(TrendStation station, Link &link, TrendListener *listener = nullptr);

    // The page image (trend::ImageBytes) a completed download left in `Graf_Image`: the
    // answers' bytes from index 1, the image after their two header bytes.
    static QByteArrayView image(ConstTrendStation station)
    {
        return {reinterpret_cast<const char *>(station.poll.Graf_Image.data()) + 3, trend::ImageBytes};
    }
    void setListener(TrendListener *listener) { listener_ = listener; }

    // Ask for a page of a group (0..7; page 200 = current, 0..101 = archive): sets `Graf_Group`,
    // `Graf_Page` and `Graf_PageCount` = 1 and shows the progress bar; the polling cycle starts
    // the download at the end of its sweep. Asking again before it starts replaces the page
    // asked for. False (nothing changed) while a download runs, or for a group or page out of
    // range.
    bool request(int group, int page);

    // Start the download asked for (`Graf_PageCount` 1): the polling cycle's hand-over. Resets
    // the tick count, empties the monitor, starts `Timer_Opros_GRAFIK` with 600 ms. False when
    // no download is asked for.
    bool start() override;
    int firstInterval() const override { return answerPaced_ ? pacing::answerPaced.start : StartInterval; }
    // tick(), Done once the download has ended.
    int step() override;
    ArchiveOutcome outcome() const override { return outcome_; }

    // One tick of `Timer_Opros_GRAFIK`; returns its next interval in ms. A packet that could
    // not be sent (the TCP connection down or being made again) is sent on the next tick. After
    // a packet that had to be asked more than once, the tick before the next send waits as long
    // as that answer took to come (at most MaxQuietInterval), so that late answers to the other
    // asks arrive before it and are dropped by the send. A completed image that cannot be the
    // page asked for (trend::imageFault) ends like the time-out: "Помилка передачі!!!", the
    // trend state and the receive image untouched.
    int tick();

    // The trend window unloads: a download asked for or running is dropped (`Graf_PageCount`
    // 0), as is a find-by-date request; the trend state stays as it was. The window itself stops
    // its timers and restarts the polling cycle.
    void cancel() override;

    // Answer-paced: each packet is asked for as soon as the last answer is in (see
    // ArchiveExchange::answerIn) and a bad or missing one is waited for only as long as its
    // bytes take on the line plus a margin (pacing::AnswerPaced), not the poll time. The same
    // frames, tick limit and retries. Set before start().
    void setAnswerPaced(bool on) { answerPaced_ = on; }
    bool answerPaced() const { return answerPaced_; }
    bool answerIn() const override;

    // `Text1`: the poll time in ms the window shows ("200"; "100" on a serial link).
    void setPollText(const QString &text) { pollText_ = text; }
    const QString &pollText() const { return pollText_; }

    // `Timer_Opros_GRAFIK` should be running.
    bool running() const override { return running_; }
    // The last download (or find request) ended with a message, which is kept here.
    const QString &failure() const { return failure_; }
    // Downloads completed since construction.
    int completed() const { return completed_; }

    // Find-by-date (`Find_GRAFIK_DATA` "Ok"): hour 0..23, day 1..31, month 1..12, two-digit
    // year. Only while `Find_State` is 0: sets it to 1 and starts `Timer1` with 600 ms.
    bool requestFind(int hour, int day, int month, int year);
    // The polling cycle's hand-over while `Find_State` is 1: starts `Timer1` with 600 ms.
    bool startSearch();
    // One tick of `Timer1`; returns its next interval in ms.
    int findTick();
    bool findRunning() const { return findRunning_; }
    // The find window closed before its frame went out: the request is dropped (`Find_State`
    // 0, `Timer1` stopped) and a polling cycle that stopped for it is restarted.
    void cancelFind();
    // The find-by-date request as an exchange: start() is startSearch(), its steps are
    // findTick(), Done once the find window's part is over (the download then starts itself).
    ArchiveExchange &search() { return search_; }

    // The colour table loaded into `Graf_Palette` (window load).
    void loadPalette();

private:
    class Search : public ArchiveExchange {
    public:
        explicit Search(TrendDownload &d) : d_(d) {}
        bool start() override { return d_.startSearch(); }
        int firstInterval() const override { return FindStartInterval; }
        int step() override
        {
            const int ms = d_.findTick();
            return d_.findRunning() ? ms : Done;
        }
        bool running() const override { return d_.findRunning(); }
        void cancel() override { d_.cancelFind(); }
        ArchiveOutcome outcome() const override { return d_.findOutcome_; }

    private:
        TrendDownload &d_;
    };

    void sendPhase();
    void receivePhase();
    void complete();
    void endDownload();
    void timeOut();
    void packetInterval();
    void finish(const ArchiveOutcome &outcome);

    TrendStation station_;
    Link &link_;
    TrendListener *listener_;
    QString pollText_ = QStringLiteral("200");
    QByteArray buffer_;
    int interval_ = StartInterval;
    int asks_ = 0;            // sends of the packet now asked for
    qint64 firstAskAt_ = 0;   // link clock at its first send
    bool running_ = false;
    bool answerPaced_ = false;
    bool findRunning_ = false;
    bool searchTaken_ = false;   // the polling cycle stopped for the find request
    QString failure_;
    int completed_ = 0;
    std::array<int, 4> find_{};   // hour, day, month, year of the last find request
    ArchiveOutcome outcome_;
    ArchiveOutcome findOutcome_;
    Search search_{*this};
};
