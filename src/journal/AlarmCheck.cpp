#include "journal/AlarmCheck.h"

namespace journal {

AlarmNews alarmCheck(JournalStation station, const std::array<std::uint8_t, 4> &bytes)
{
    AlarmNews news;
    station.alarm.Alarm_Bits = bytes;
    news.show = bytes[0] | bytes[1] | bytes[2] | bytes[3];
    if (!news.show) {
        station.alarm.Alarm_Lines = 0;
        station.alarm.Alarm_Shown = {};
    }
    for (int k = 3; k >= 0; --k) {
        for (int b = 0; b < 8; ++b) {
            const auto bit = static_cast<std::uint8_t>(1u << b);
            if ((station.alarm.Alarm_Bits[k] & bit) && !(station.alarm.Alarm_Shown[k] & bit)) {
                station.alarm.Alarm_Shown[k] |= bit;
                news.events.push_back(8 * (3 - k) + b);
                ++station.alarm.Alarm_Lines;
            }
        }
    }
    return news;
}

void alarmAcknowledged(JournalStation station)
{
    station.alarm.Alarm_Lines = 0;
    station.alarm.Alarm_Shown = {};
}

}   // namespace journal
