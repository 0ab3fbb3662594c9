#pragma once
// What every way of reaching the simulator shares: received bytes are cut into frames, handed
// to the controller, and the answers go back through the fault injector, in request order,
// each no earlier than its delay allows.
//
// With a line speed set (SimulatorOptions::baud) the answers leave as a serial line would
// carry them: 10 bits a byte, one answer after the other, in chunks every PaceStepMs as
// many bytes as the line has carried since the answer started (so timer lateness costs no
// speed).
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
    // Paced answers go out in chunks this far apart.
    static constexpr int PaceStepMs = 10;

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
    // Paced: the bytes of the front answer the line has carried by `now`, sent; true when
    // the whole answer has gone.
    bool sendPaced(qint64 now, int baud);
    void finishIfClosing();

    QString name_;
    FrameExtractor extractor_;
    FaultInjector faults_;
    QTimer staleTimer_;
    QTimer sendTimer_;
    struct Pending {
        qint64 dueMs;
        QByteArray bytes;
        qint64 startMs = -1;   // paced: when its first byte went on the line
        qsizetype sent = 0;    // paced: bytes sent so far
    };
    std::deque<Pending> queue_;
    qint64 lineFreeMs_ = 0;   // paced: when the last answer's last byte has left
    bool closing_ = false;
};

}   // namespace sim
