#pragma once
// The controller's clock. Times are the controller's local calendar time counted in
// milliseconds as if it were UTC, so that dates and hours come out of it without time-zone
// arithmetic (the controller's real-time clock knows no zones either).
#include <QDateTime>
#include <QtGlobal>

namespace sim {

class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowMs() const = 0;
};

// The computer's local time, moved by an offset (a scenario may set the controller's clock).
class SystemClock : public Clock {
public:
    qint64 nowMs() const override;
    void setNow(qint64 controllerMs);   // from now on the clock reads controllerMs + elapsed
private:
    qint64 offsetMs_ = 0;
};

// A clock that moves only when told to; for tests and benchmarks.
class ManualClock : public Clock {
public:
    explicit ManualClock(qint64 startMs = 0) : now_(startMs) {}
    qint64 nowMs() const override { return now_; }
    void setNow(qint64 ms) { now_ = ms; }
    void advance(qint64 ms) { now_ += ms; }
private:
    qint64 now_;
};

// Calendar helpers over controller milliseconds.
qint64 controllerMs(const QDate &date, const QTime &time);
QDateTime controllerDateTime(qint64 ms);

} // namespace sim
