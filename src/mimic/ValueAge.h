#pragma once
// How old the value behind a page element is: whether it still counts as current and the line
// its tooltip gives. Times are milliseconds since the epoch, from the pages' clock.
#include <QString>
#include <cstdint>
#include <limits>

namespace mimic {

// An element whose value has not arrived since its page was shown or its project loaded.
inline constexpr std::int64_t NoValue = std::numeric_limits<std::int64_t>::min();

// One polling cycle on a serial link; a TCP link waits its timing factor times longer.
inline constexpr int SerialCycleMs = 420;

// A value older than three polling cycles of the link is no longer current.
constexpr int staleAfterForLink(int timingFactor)
{
    return 3 * SerialCycleMs * (timingFactor < 1 ? 1 : timingFactor > 100 ? 100 : timingFactor);
}

// True when a value that arrived at `last` is too old at `now`. A clock set back by more than
// the limit also ends it: its age cannot be told until the next value.
constexpr bool outdated(std::int64_t last, std::int64_t now, int staleAfterMs)
{
    if (last == NoValue)
        return true;
    const std::int64_t age = now - last;
    return age > staleAfterMs || age < -static_cast<std::int64_t>(staleAfterMs);
}

// "Значення отримано 08.12.26 о 21:43:05 (12 с тому)", or "Значення ще не надходило".
QString valueAgeText(std::int64_t last, std::int64_t now);

}   // namespace mimic
