#include "app/Clock.h"

#include <chrono>

qint64 SteadyClock::nowMs() const
{
    using namespace std::chrono;
    return qint64(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

const Clock &SteadyClock::instance()
{
    static const SteadyClock clock;
    return clock;
}

qint64 WallClock::nowMs() const { return QDateTime::currentMSecsSinceEpoch(); }

const Clock &WallClock::instance()
{
    static const WallClock clock;
    return clock;
}
