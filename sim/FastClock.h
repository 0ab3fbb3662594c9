#pragma once
// A plant clock that runs faster than real time (tablo-sim --speed N): it reads its start
// time plus N times what a wall clock has moved since. The archives fill and the journal is
// stamped on this clock; the wire keeps real time.
#include "Clock.h"

#include <QElapsedTimer>
#include <memory>

namespace sim {

// The computer's local time when it is made, then moving steadily: a clock change of the
// computer is not multiplied into the plant's time.
class SteadyClock : public Clock {
public:
    SteadyClock();
    qint64 nowMs() const override { return start_ + elapsed_.elapsed(); }

private:
    qint64 start_;
    QElapsedTimer elapsed_;
};

class FastClock : public Clock {
public:
    static constexpr int MaxSpeed = 1000;

    // Starts at the wall clock's reading; speed is limited to 1..MaxSpeed.
    FastClock(std::unique_ptr<Clock> wall, int speed);
    qint64 nowMs() const override;
    // From now on the clock reads controllerMs plus speed times the wall time since.
    void setNow(qint64 controllerMs);
    int speed() const { return speed_; }

private:
    std::unique_ptr<Clock> wall_;
    int speed_;
    qint64 wallStart_;
    qint64 start_;
};

}   // namespace sim
