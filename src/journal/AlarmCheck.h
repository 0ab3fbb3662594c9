#pragma once
// The live alarm check, run with every alarm word the polling cycle reads. The word's bytes
// come most significant first (byte 0 = events 24..31, byte 3 = events 0..7). A flag is
// announced once, until the alarm window is acknowledged or all flags have been clear.
#include "journal/JournalStation.h"
#include <array>
#include <cstdint>
#include <vector>

namespace journal {

struct AlarmNews {
    bool show = false;         // some flag is set: the alarm window is to be shown
    std::vector<int> events;   // newly announced events, ascending
};

AlarmNews alarmCheck(JournalStation station, const std::array<std::uint8_t, 4> &bytes);

// Ok or closing the alarm window: every flag still set is announced again at the next poll.
void alarmAcknowledged(JournalStation station);

}   // namespace journal
