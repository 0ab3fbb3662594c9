#include "Simulator.h"

#include "Clock.h"
#include "FastClock.h"
#include "PtyEndpoint.h"
#include "TcpEndpoint.h"

#include "app/BlockCatalogue.h"
#include "project/ProjectModel.h"

#include <algorithm>

namespace sim {

Simulator::Simulator(const ProjectModel &model, const SimulatorOptions &options, QObject *parent)
    : Simulator(model, options,
                options.speed > 1 ? std::unique_ptr<Clock>(std::make_unique<SteadyClock>())
                                  : std::unique_ptr<Clock>(std::make_unique<SystemClock>()),
                parent)
{
}

Simulator::Simulator(const ProjectModel &model, const SimulatorOptions &options, std::unique_ptr<Clock> clock,
                     QObject *parent)
    : QObject(parent), options_(options)
{
    elapsed_.start();
    options_.speed = std::clamp(options_.speed, 1, FastClock::MaxSpeed);
    if (options_.speed > 1)
        clock_ = std::make_unique<FastClock>(std::move(clock), options_.speed);
    else
        clock_ = std::move(clock);
    if (options_.clockStartMs) {
        if (auto *system = dynamic_cast<SystemClock *>(clock_.get()))
            system->setNow(*options_.clockStartMs);
        else if (auto *manual = dynamic_cast<ManualClock *>(clock_.get()))
            manual->setNow(*options_.clockStartMs);
        else if (auto *fast = dynamic_cast<FastClock *>(clock_.get()))
            fast->setNow(*options_.clockStartMs);
    }
    ControllerOptions c = options_.controller;
    c.address = options_.address >= 0 ? options_.address : model.controllerAddress;
    c.speed = options_.speed;
    const BlockCatalogue catalogue;
    controller_ = std::make_unique<Controller>(model, catalogue, *clock_, c);
    controller_->setPageBuildMs(options_.faults.pageBuildMs);

    // A faster plant ticks more often, so that one tick never has much plant time to catch up.
    plantTimer_.setTimerType(Qt::CoarseTimer);
    connect(&plantTimer_, &QTimer::timeout, this, &Simulator::tick);
    plantTimer_.start(options_.speed > 1 ? std::max(20, options_.tickMs / options_.speed)
                                         : std::max(10, options_.tickMs));
    scriptTimer_.setSingleShot(true);
    scriptTimer_.setTimerType(Qt::PreciseTimer);   // scripted faults at their milliseconds
    connect(&scriptTimer_, &QTimer::timeout, this, &Simulator::runDue);
}

Simulator::~Simulator()
{
    // Endpoints first: they reach back into the controller and the log while closing.
    pty_.reset();
    tcp_.reset();
}

bool Simulator::listenTcp(const QHostAddress &host, quint16 port, QString *error)
{
    auto tcp = std::make_unique<TcpEndpoint>(*this);
    if (!tcp->listen(host, port, error))
        return false;
    tcp_ = std::move(tcp);
    log_.note(elapsedMs(), QStringLiteral("tcp"),
              QStringLiteral("listening on %1:%2").arg(tcp_->address().toString()).arg(tcp_->port()));
    return true;
}

quint16 Simulator::tcpPort() const { return tcp_ ? tcp_->port() : 0; }

QHostAddress Simulator::tcpAddress() const { return tcp_ ? tcp_->address() : QHostAddress(); }

bool Simulator::openPty(const QString &linkPath, QString *error)
{
    auto pty = std::make_unique<PtyEndpoint>(*this);
    if (!pty->open(linkPath, error))
        return false;
    pty_ = std::move(pty);
    return true;
}

QString Simulator::ptyPath() const { return pty_ ? pty_->devicePath() : QString(); }

QString Simulator::ptyLinkPath() const { return pty_ ? pty_->linkPath() : QString(); }

void Simulator::setFaults(const FaultPlan &plan)
{
    options_.faults = plan;
    controller_->setPageBuildMs(plan.pageBuildMs);
    if (tcp_)
        tcp_->setFaults(plan);
    if (pty_)
        pty_->setFaults(plan);
}

void Simulator::tick() { controller_->tick(); }

void Simulator::at(qint64 msFromStart, std::function<void(Controller &)> action, const QString &text)
{
    // Scripted times are plant times; the script timer runs on real time.
    script_.push_back({msFromStart / options_.speed, std::move(action), text});
    std::stable_sort(script_.begin(), script_.end(),
                     [](const Scheduled &a, const Scheduled &b) { return a.atMs < b.atMs; });
    runDue();
}

void Simulator::runDue()
{
    const qint64 now = elapsedMs();
    bool ran = false;
    while (!script_.empty() && script_.front().atMs <= now) {
        Scheduled s = std::move(script_.front());
        script_.erase(script_.begin());
        controller_->tick();
        if (!s.text.isEmpty())
            log_.note(now, QStringLiteral("sim"), s.text);
        s.action(*controller_);
        ran = true;
    }
    if (ran)
        controller_->syncJournal();
    if (!script_.empty())
        scriptTimer_.start(int(std::min<qint64>(script_.front().atMs - now, 24 * 3600 * 1000)));
}

void Simulator::noteRequest()
{
    ++requests_;
    Q_EMIT requestHandled();
}

}   // namespace sim
