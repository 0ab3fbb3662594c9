#pragma once
// Trend state, shared by the trend download, chart, file and export.
#include "app/Pages.h"
#include <QString>
#include <array>
#include <cstdint>

struct TrendState {
    // Download requests, taken by the polling cycle's wrap
    std::int16_t Find_State = 0;       // 1: search the page of a date
    std::int16_t Graf_PageCount = 0;   // 1: download Graf_Page of Graf_Group
    std::int16_t Graf_Group = 0;

    std::int16_t Graf_Page = archive::CurrentPage;   // or 0..101 = archive page
    std::int16_t Graf_Ticks = 0;
    std::uint8_t Graf_CurrentPage = 0;
    std::int16_t Graf_SampleCount = 0;
    std::array<std::array<float, 481>, 4> Graf_Values{};   // channel by sample
    std::array<std::int16_t, 33> Graf_ParamNo{};
    std::array<std::int32_t, 7> Graf_Style{1, 0, 0, 0, 0, 0, 0};   // entry 0 = curve line width
    std::array<std::int32_t, 21> Graf_Palette{};
    QString Graf_TimeText;

    // The one way to ask for a trend page download (archive::CurrentPage: the page being
    // filled); the polling cycle starts it at the end of a cycle. The search by date is asked
    // for through the download's requestFind, as it waits on the controller.
    void requestPage(int group, int page)
    {
        Graf_Group = static_cast<std::int16_t>(group);
        Graf_Page = static_cast<std::int16_t>(page);
        Graf_PageCount = 1;
    }
    // A navigation label asks for the page being filled of a group's trend: false while a
    // trend page asked for before is still to come.
    bool requestCurrentPage(int group)
    {
        if (Graf_PageCount != 0)
            return false;
        requestPage(group, archive::CurrentPage);
        return true;
    }
};
