#pragma once
// The embeddable simulator: one controller served on a TCP port and/or a pseudo-terminal,
// driven by the Qt event loop (a timer moves the plant; sockets and the terminal are watched
// by notifiers, nothing polls).
//
//     sim::Simulator simulator(projectModel);
//     simulator.openPty();                       // or listenTcp(QHostAddress::LocalHost, 0)
//     QString device = simulator.ptyPath();      // e.g. /dev/pts/7, for the serial link
#include "Controller.h"
#include "FaultInjector.h"
#include "SimLog.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ProjectModel;
class BlockCatalogue;
class Clock;

namespace sim {

using Clock = ::Clock;
class TcpEndpoint;
class PtyEndpoint;

struct SimulatorOptions {
    ControllerOptions controller;
    int address = -1;                     // -1: the project's controller address
    std::optional<qint64> clockStartMs;   // set the controller's clock (controller ms)
    FaultPlan faults;
    // The plant is brought up to date before every answer anyway; the timer keeps the archives
    // and the journal on time while nobody asks.
    int tickMs = 500;
    int staleMs = 100;   // a partial frame is given up after this silence
    // Line speed of every answer on every endpoint, 10 bits a byte (e.g. 115200); 0: each
    // answer is written at once, as fast as the connection takes it.
    int baud = 0;
    // The plant's clock runs this many times faster than real time (1..1000): the archives
    // fill and the alarms come and go at that pace, scripted times are plant times; the wire
    // (pacing, delays, the station's pauses) keeps real time.
    int speed = 1;
};

class Simulator : public QObject {
    Q_OBJECT
public:
    explicit Simulator(const ProjectModel &model, const SimulatorOptions &options = {}, QObject *parent = nullptr);
    // With a clock of the caller's (tests drive a ManualClock); with a speed above 1 it is the
    // wall clock that the plant's faster clock is made from.
    Simulator(const ProjectModel &model, const SimulatorOptions &options, std::unique_ptr<Clock> clock,
              QObject *parent = nullptr);
    ~Simulator() override;

    // TCP on host:port; port 0 picks a free one (see tcpPort()). One client is served at a time.
    bool listenTcp(const QHostAddress &host = QHostAddress(QHostAddress::LocalHost), quint16 port = 0,
                   QString *error = nullptr);
    quint16 tcpPort() const;
    QHostAddress tcpAddress() const;
    // A pseudo-terminal in raw mode; linkPath, when given, becomes a symlink to its device.
    bool openPty(const QString &linkPath = {}, QString *error = nullptr);
    QString ptyPath() const;
    QString ptyLinkPath() const;

    bool openLog(const QString &path, QString *error = nullptr) { return log_.open(path, error); }
    void setLogDevice(QIODevice *device) { log_.setDevice(device); }
    SimLog &log() { return log_; }

    void setFaults(const FaultPlan &plan);
    const FaultPlan &faults() const { return options_.faults; }
    int staleMs() const { return options_.staleMs; }
    int baud() const { return options_.baud; }
    void setBaud(int baud) { options_.baud = std::max(0, baud); }
    int speed() const { return options_.speed; }

    Controller &controller() { return *controller_; }
    Clock &clock() { return *clock_; }   // the plant's
    // Milliseconds since the simulator was made (log times, scripted actions).
    qint64 elapsedMs() const { return elapsed_.elapsed(); }
    // Runs an action at a plant time after start (now when that time has passed); a text,
    // when given, goes to the log as it runs.
    void at(qint64 msFromStart, std::function<void(Controller &)> action, const QString &text = {});
    // One plant step now (the timer calls it; tests may too).
    void tick();

    // Counts requests addressed to this controller, over all endpoints.
    int requestsHandled() const { return requests_; }

Q_SIGNALS:
    void message(const QString &text);
    void ptyPathChanged(const QString &path);
    void requestHandled();

private:
    friend class Endpoint;
    void runDue();
    void noteRequest();

    SimulatorOptions options_;
    std::unique_ptr<Clock> clock_;
    std::unique_ptr<Controller> controller_;
    SimLog log_;
    QElapsedTimer elapsed_;
    QTimer plantTimer_;
    QTimer scriptTimer_;
    struct Scheduled {
        qint64 atMs;
        std::function<void(Controller &)> action;
        QString text;
    };
    std::vector<Scheduled> script_;
    std::unique_ptr<TcpEndpoint> tcp_;
    std::unique_ptr<PtyEndpoint> pty_;
    int requests_ = 0;
};

}   // namespace sim
