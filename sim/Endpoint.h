#pragma once
// What every way of reaching the simulator shares: received bytes are cut into frames, handed
// to the controller, and the answers go back through the fault injector, in request order,
// each no earlier than its delay allows.
#include "FaultInjector.h"
#include "FrameExtractor.h"

#include <QObject>
#include <QTimer>
#include <deque>

namespace sim {

class Simulator;

class Endpoint : public QObject {
    Q_OBJECT
public:
    Endpoint(Simulator &simulator, const QString &name);
    QString name() const { return name_; }
    void setFaults(const FaultPlan &plan) { faults_.setPlan(plan); }

protected:
    void received(const QByteArray &bytes);
    // A new connection: nothing of the previous one is carried over.
    void resetSession(const QString &name);
    virtual void send(const QByteArray &bytes) = 0;
    virtual void closeConnection() = 0;
    Simulator &sim_;

private:
    void process();
    void enqueue(const QByteArray &bytes, qint64 delayMs);
    void flush();
    void finishIfClosing();

    QString name_;
    FrameExtractor extractor_;
    FaultInjector faults_;
    QTimer staleTimer_;
    QTimer sendTimer_;
    struct Pending {
        qint64 dueMs;
        QByteArray bytes;
    };
    std::deque<Pending> queue_;
    bool closing_ = false;
};

} // namespace sim
