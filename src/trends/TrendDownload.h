#pragma once
// The trend page download: 32 packet exchanges (command 70, trend block 98) driven by the
// trend window's timer `Timer_Opros_GRAFIK`, the decoding of the assembled image into the trend
// state, and the find-by-date request (command 76) driven by the find window's `Timer1`.
//
// The engine owns no timer and no widget. The window calls tick() from `Timer_Opros_GRAFIK`
// and findTick() from `Timer1`; each returns the timer's next interval in ms. What the window
// shows leaves the engine through TrendListener.
//
//     TrendDownload engine(station, link, &window);
//     downloads.trendDownload = [&] { return engine.start(); };   // ArchiveDownloads
//     downloads.trendSearch = [&] { return engine.startSearch(); };
//     connect(&Timer_Opros_GRAFIK, &QTimer::timeout, [&] {
//         engine.setPollText(Text1.text());
//         Timer_Opros_GRAFIK.setInterval(engine.tick());
//     });
//     connect(&Timer1, &QTimer::timeout, [&] { Timer1.setInterval(engine.findTick()); });
//
// Listener calls that start or stop a timer come from inside tick(): a window that stops
// `Timer_Opros_GRAFIK` there keeps it stopped even though tick() then returns an interval.
#include "app/Station.h"
#include "link/Link.h"
#include "trends/TrendImage.h"
#include <QByteArray>
#include <QString>

class TrendListener {
public:
    virtual ~TrendListener() = default;

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

class TrendDownload {
public:
    static constexpr int StartInterval = 600;        // first tick after the start
    static constexpr int FirstSendInterval = 1500;   // after the download's first send
    static constexpr int ResendFirstInterval = 100;  // after packet 1 is sent again
    static constexpr int DefaultPollInterval = 200;  // `Text1` outside 100..500
    static constexpr int TickLimit = 128;
    static constexpr int FindStartInterval = 600;
    static constexpr int FindWaitInterval = 1000;
    // Longest wait for the line to fall quiet after a packet that had to be asked again.
    static constexpr int MaxQuietInterval = 3000;

    TrendDownload(Station &station, Link &link, TrendListener *listener = nullptr);
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
    bool start();

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
    void cancel();

    // `Text1`: the poll time in ms the window shows ("200"; "100" on a serial link).
    void setPollText(const QString &text) { pollText_ = text; }
    const QString &pollText() const { return pollText_; }

    // `Timer_Opros_GRAFIK` should be running.
    bool running() const { return running_; }
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

    // The colour table loaded into `Graf_Palette` (window load).
    void loadPalette();

private:
    void sendPhase();
    void receivePhase();
    void complete();
    void endDownload();
    void timeOut();
    void packetInterval();

    Station &station_;
    Link &link_;
    TrendListener *listener_;
    QString pollText_ = QStringLiteral("200");
    QByteArray buffer_;
    int interval_ = StartInterval;
    int asks_ = 0;              // sends of the packet now asked for
    qint64 firstAskAt_ = 0;     // link clock at its first send
    bool running_ = false;
    bool findRunning_ = false;
    bool searchTaken_ = false;   // the polling cycle stopped for the find request
    QString failure_;
    int completed_ = 0;
    std::array<int, 4> find_{};    // hour, day, month, year of the last find request
};
