#pragma once
// Journal state, shared by the journal download, window, file, export and printing, and the
// live alarms the polling cycle's answers raise.
#include "app/Pages.h"
#include <array>
#include <cstdint>

struct JournalState {
    // Download requests, taken by the polling cycle's wrap
    std::int16_t Jurnal_Request = 0;
    std::int16_t Jurnal_Find = 0;                      // 1: by date (Find_*), else by Jurnal_Page
    std::int16_t Jurnal_Page = archive::CurrentPage;   // or 0..31 = that page

    std::uint8_t Jurnal_State = 0;                // 0 send, 1 wait, 2 read
    std::array<std::uint8_t, 331> Jurnal_Buf{};   // answer byte k at position k (1..330)
    std::uint16_t Jurnal_Pointer = 0;             // the controller's write position, in bytes
    std::int16_t Jurnal_Cur_Rec = 1;              // grid row to highlight, 1..32
    std::int16_t Find_Hour = 0, Find_Day = 1, Find_Month = 1, Find_Year = 19;

    // The one way to ask for a journal download; the polling cycle starts it at the end of a
    // cycle. A page by number (archive::CurrentPage: the page being written)...
    void requestPage(int page)
    {
        Jurnal_Find = 0;
        Jurnal_Page = static_cast<std::int16_t>(page);
        Jurnal_Request = 1;
    }
    // ... or the page holding an hour (year 19 = 2019).
    void requestFind(int hour, int day, int month, int year)
    {
        Find_Hour = static_cast<std::int16_t>(hour);
        Find_Day = static_cast<std::int16_t>(day);
        Find_Month = static_cast<std::int16_t>(month);
        Find_Year = static_cast<std::int16_t>(year);
        Jurnal_Find = 1;
        Jurnal_Request = 1;
    }
};

struct AlarmState {
    std::uint8_t Sound_On = 1;
    // Flags of the last poll (byte 0 = events 24..31) and those already announced
    std::array<std::uint8_t, 4> Alarm_Bits{};
    std::array<std::uint8_t, 4> Alarm_Shown{};
    std::int16_t Alarm_Lines = 0;
};
