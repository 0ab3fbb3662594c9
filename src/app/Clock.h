#pragma once
// Time as the station reads it, in milliseconds. The composition hands every part that keeps
// time one clock; tests hand them a ManualClock and move it themselves.
//
// SteadyClock paces protocols and measures silences: it never jumps. WallClock is the
// computer's time of day (milliseconds since the epoch), for what the operator reads as a time.
#include <QDateTime>
#include <QtGlobal>

class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowMs() const = 0;
};

class SteadyClock : public Clock {
public:
    qint64 nowMs() const override;
    // The one the parts use when nobody gave them another.
    static const Clock &instance();
};

class WallClock : public Clock {
public:
    qint64 nowMs() const override;
    static const Clock &instance();
    // The local time a reading of such a clock stands for.
    static QDateTime dateTime(qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms); }
};

// A clock that moves only when told to.
class ManualClock : public Clock {
public:
    explicit ManualClock(qint64 startMs = 0) : now_(startMs) {}
    qint64 nowMs() const override { return now_; }
    void setNow(qint64 ms) { now_ = ms; }
    void advance(qint64 ms) { now_ += ms; }

private:
    qint64 now_;
};
