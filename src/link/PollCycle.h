#pragma once
// The polling cycle: 21 steps driven by `Timer_05` that send panel keys, read the values
// behind the elements of the page on show (or the inspected block's pins), read the alarm
// word, carry a pending set-point write, and at the end of each cycle hand the link to a
// waiting archive download.
//
// The window calls tick() from `Timer_05`; tick() returns the next interval in ms. When
// stopped() is true after a tick, the window stops `Timer_05`; when downloadTaken() is true as
// well, a download owns the link and the window disables itself until the download ends.
//
//     SerialTransport serial([&station](int n) { return station.poll.comDevice(n); });
//     TcpTransport tcp;
//     Link link(station, serial, tcp);
//     PollCycle poll(station, link, &listener, &downloads);
//     Timer_05.setTimerType(Qt::PreciseTimer);
//     connect(&Timer_05, &QTimer::timeout, [&] {
//         const int ms = poll.tick();
//         if (!poll.stopped())
//             Timer_05.setInterval(ms);
//         else {
//             Timer_05.stop();
//             if (poll.downloadTaken())
//                 setEnabled(false);
//         }
//     });
#include "link/LinkStation.h"
#include "link/DownloadStarter.h"
#include "link/Frame.h"
#include "link/Link.h"
#include "link/PollListener.h"
#include <QByteArray>
#include <optional>

class PollCycle {
public:
    static constexpr int LastStep = 20;
    static constexpr int StartInterval = 30;   // `Timer_05` before its first tick
    static constexpr int ValueWait = 40;       // after a value request, times the timing factor
    static constexpr int ShortWait = 10;       // after any other step, times the timing factor
    // Added after a receive step that took no good answer: the line falls quiet for one answer
    // time, and whatever comes late is dropped before the next request leaves, so it cannot
    // be taken for that request's answer. Times the timing factor.
    static constexpr int QuietWait = ValueWait;

    PollCycle(LinkStation station, Link &link, PollListener *listener = nullptr, DownloadStarter *downloads = nullptr);

    void setListener(PollListener *listener) { listener_ = listener; }
    void setDownloadStarter(DownloadStarter *downloads) { downloads_ = downloads; }

    // One step of the cycle; returns the interval until the next tick in ms.
    int tick();
    int interval() const { return interval_; }

    // The last tick asks for `Timer_05` to stop (`Rep_Mode` is 1 or a download took the link).
    bool stopped() const { return stopped_; }
    // The last tick handed the link to a download.
    bool downloadTaken() const { return downloadTaken_; }
    // That download is a background one: the operator's screen stays as it is.
    bool backgroundTaken() const { return backgroundTaken_; }

    // A good answer came within the last full cycle of ticks.
    bool answering() const { return answering_ == Answering::Yes; }

    // The step-1 tail for the pending write: write block, write pin and the encoded value,
    // or six zeros when no write is pending. Refreshes the write's value bytes.
    static frame::Tail writeTail(PendingWrite &write);

private:
    enum class Answering { Unknown, Yes, No };

    int factor() const;
    std::optional<QByteArray> request(int step, int page);
    bool takeAnswer(int step, int page);
    void applyValues(int step, int page, const QByteArray &answer);
    void applyBytes(int step, int page, const QByteArray &answer);
    void wrap();
    void handOver();
    void heard();
    void silentTick();

    LinkStation station_;
    Link &link_;
    PollListener *listener_;
    DownloadStarter *downloads_;

    int interval_ = StartInterval;
    bool stopped_ = false;
    bool downloadTaken_ = false;
    bool backgroundTaken_ = false;

    // What the last requests carried, so an acknowledgement clears only the key or write that
    // reached the controller, not one the operator set after the request left.
    std::optional<std::pair<std::uint8_t, std::uint8_t>> sentKey_;
    std::optional<PendingWrite> sentWrite_;

    Answering answering_ = Answering::Unknown;
    int silentTicks_ = 0;
};
