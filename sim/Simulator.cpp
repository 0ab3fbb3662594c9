#include "Simulator.h"

#include "Clock.h"
#include "PtyEndpoint.h"
#include "TcpEndpoint.h"

#include "app/BlockCatalogue.h"
#include "project/ProjectModel.h"

#include <algorithm>

namespace sim {

Simulator::Simulator(const ProjectModel &model, const SimulatorOptions &options, QObject *parent)
    : Simulator(model, options, std::make_unique<SystemClock>(), parent)
{
}

Simulator::Simulator(const ProjectModel &model, const SimulatorOptions &options, std::unique_ptr<Clock> clock,
                     QObject *parent)
    : QObject(parent), options_(options), clock_(std::move(clock))
{
    elapsed_.start();
    if (options_.clockStartMs) {
        if (auto *system = dynamic_cast<SystemClock *>(clock_.get()))
            system->setNow(*options_.clockStartMs);
        else if (auto *manual = dynamic_cast<ManualClock *>(clock_.get()))
            manual->setNow(*options_.clockStartMs);
    }
    ControllerOptions c = options_.controller;
    c.address = options_.address >= 0 ? options_.address : model.controllerAddress;
    const BlockCatalogue catalogue;
    controller_ = std::make_unique<Controller>(model, catalogue, *clock_, c);

    plantTimer_.setTimerType(Qt::CoarseTimer);
    connect(&plantTimer_, &QTimer::timeout, this, &Simulator::tick);
    plantTimer_.start(std::max(10, options_.tickMs));
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

quint16 Simulator::tcpPort() const
{
    return tcp_ ? tcp_->port() : 0;
}

QHostAddress Simulator::tcpAddress() const
{
    return tcp_ ? tcp_->address() : QHostAddress();
}

bool Simulator::openPty(const QString &linkPath, QString *error)
{
    auto pty = std::make_unique<PtyEndpoint>(*this);
    if (!pty->open(linkPath, error))
        return false;
    pty_ = std::move(pty);
    return true;
}

QString Simulator::ptyPath() const
{
    return pty_ ? pty_->devicePath() : QString();
}

QString Simulator::ptyLinkPath() const
{
    return pty_ ? pty_->linkPath() : QString();
}

void Simulator::setFaults(const FaultPlan &plan)
{
    options_.faults = plan;
    if (tcp_)
        tcp_->setFaults(plan);
    if (pty_)
        pty_->setFaults(plan);
}

void Simulator::tick()
{
    controller_->tick();
}

void Simulator::at(qint64 msFromStart, std::function<void(Controller &)> action, const QString &text)
{
    script_.push_back({msFromStart, std::move(action), text});
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

} // namespace sim
