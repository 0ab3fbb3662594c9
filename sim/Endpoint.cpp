#include "Endpoint.h"

#include "Simulator.h"

#include <algorithm>

namespace sim {

Endpoint::Endpoint(Simulator &simulator, const QString &name)
    : sim_(simulator), name_(name), extractor_(simulator.staleMs()), faults_(simulator.faults())
{
    staleTimer_.setSingleShot(true);
    sendTimer_.setSingleShot(true);
    // They pace the answers as a controller on the line would.
    staleTimer_.setTimerType(Qt::PreciseTimer);
    sendTimer_.setTimerType(Qt::PreciseTimer);
    connect(&staleTimer_, &QTimer::timeout, this, &Endpoint::process);
    connect(&sendTimer_, &QTimer::timeout, this, &Endpoint::flush);
}

void Endpoint::resetSession(const QString &name)
{
    name_ = name;
    extractor_.clear();
    faults_.reset();
    faults_.setPlan(sim_.faults());
    queue_.clear();
    lineFreeMs_ = 0;
    closing_ = false;
    staleTimer_.stop();
    sendTimer_.stop();
}

void Endpoint::received(const QByteArray &bytes)
{
    if (closing_)
        return;
    extractor_.push(bytes, sim_.elapsedMs());
    process();
}

void Endpoint::process()
{
    const qint64 now = sim_.elapsedMs();
    Controller &controller = sim_.controller();
    SimLog &log = sim_.log();
    auto noteSkipped = [&] {
        if (const int skipped = extractor_.takeSkipped())
            log.note(now, name_, QStringLiteral("skipped %1 byte(s) that start no frame").arg(skipped));
    };
    while (!closing_) {
        const std::optional<QByteArray> frame = extractor_.next(now);
        noteSkipped();
        if (!frame)
            break;
        controller.tick();
        const Exchange x = controller.handle(*frame, log.enabled());
        log.frame(now, name_, "RX", *frame, x.request);
        if (!x.ours)
            continue;
        closing_ = faults_.countRequest();
        if (!x.answer.isEmpty()) {
            const FaultOutcome out = faults_.apply(x.answer, x.crcAt);
            QString text = x.reply;
            if (!out.notes.isEmpty())
                text += QStringLiteral(" [%1]").arg(out.notes.join(QStringLiteral(", ")));
            log.frame(now, name_, "TX", out.bytes.isEmpty() ? x.answer : out.bytes, text);
            if (!out.bytes.isEmpty())
                enqueue(out.bytes, out.delayMs);
        }
        sim_.noteRequest();
    }
    if (closing_) {
        extractor_.clear();
        staleTimer_.stop();
        finishIfClosing();
        return;
    }
    const qint64 deadline = extractor_.deadline();
    if (deadline >= 0)
        staleTimer_.start(int(std::max<qint64>(1, deadline - now + 1)));
}

void Endpoint::enqueue(const QByteArray &bytes, qint64 delayMs)
{
    const qint64 now = sim_.elapsedMs();
    qint64 due = now + delayMs;
    if (!queue_.empty())
        due = std::max(due, queue_.back().dueMs);
    if (queue_.empty() && due <= now && sim_.baud() <= 0) {
        send(bytes);
        return;
    }
    queue_.push_back({due, bytes});
    if (!sendTimer_.isActive())
        flush();
}

namespace {

// Milliseconds a line at `baud` takes for n bytes of 10 bits, rounded up.
qint64 lineMs(qint64 n, int baud) { return (n * 10000 + baud - 1) / baud; }

}   // namespace

bool Endpoint::sendPaced(qint64 now, int baud)
{
    Pending &p = queue_.front();
    if (p.startMs < 0)
        p.startMs = std::max(p.dueMs, lineFreeMs_);
    if (p.startMs > now)
        return false;
    const qsizetype carried = qsizetype(std::min<qint64>(p.bytes.size(), (now - p.startMs) * baud / 10000));
    if (carried > p.sent) {
        send(p.bytes.mid(p.sent, carried - p.sent));
        p.sent = carried;
    }
    if (p.sent < p.bytes.size())
        return false;
    lineFreeMs_ = p.startMs + lineMs(p.bytes.size(), baud);
    return true;
}

void Endpoint::flush()
{
    const qint64 now = sim_.elapsedMs();
    const int baud = sim_.baud();
    while (!queue_.empty() && queue_.front().dueMs <= now) {
        if (baud > 0) {
            if (!sendPaced(now, baud))
                break;
        } else {
            send(queue_.front().bytes);
        }
        queue_.pop_front();
    }
    if (!queue_.empty()) {
        const Pending &p = queue_.front();
        qint64 next = p.dueMs;
        if (baud > 0 && p.startMs >= 0 && p.startMs <= now)   // on the line: the next chunk
            next = std::min(now + PaceStepMs, p.startMs + lineMs(p.bytes.size(), baud));
        else if (baud > 0)
            next = std::max(next, lineFreeMs_);
        sendTimer_.start(int(std::max<qint64>(1, next - now)));
    }
    finishIfClosing();
}

void Endpoint::finishIfClosing()
{
    if (!closing_ || !queue_.empty())
        return;
    sim_.log().note(sim_.elapsedMs(), name_,
                    QStringLiteral("closing the connection after %1 requests").arg(sim_.faults().closeAfter));
    closeConnection();
}

}   // namespace sim
