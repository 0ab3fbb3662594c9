#include "FastClock.h"

#include <algorithm>

namespace sim {

SteadyClock::SteadyClock() : start_(SystemClock().nowMs()) { elapsed_.start(); }

FastClock::FastClock(std::unique_ptr<Clock> wall, int speed)
    : wall_(std::move(wall)), speed_(std::clamp(speed, 1, MaxSpeed)), wallStart_(wall_->nowMs()), start_(wallStart_)
{
}

qint64 FastClock::nowMs() const { return start_ + (wall_->nowMs() - wallStart_) * speed_; }

void FastClock::setNow(qint64 controllerMs)
{
    wallStart_ = wall_->nowMs();
    start_ = controllerMs;
}

}   // namespace sim
