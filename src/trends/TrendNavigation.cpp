#include "trends/TrendNavigation.h"
#include "text/Numbers.h"

#include <algorithm>
#include <cmath>

namespace trendnav {

void requestDownload(TrendStation s) { s.trend.requestPage(s.trend.Graf_Group, s.trend.Graf_Page); }

void Command_Tekus(TrendStation s)
{
    s.trend.Find_State = 0;
    s.trend.Graf_Page = CurrentPage;
    requestDownload(s);
}

namespace {

// One page back or forward from the page on show; the page the controller is filling is asked
// for as the current page.
void step(TrendStation s, int delta)
{
    s.trend.Find_State = 0;
    int page = s.trend.Graf_Page == CurrentPage ? s.trend.Graf_CurrentPage : s.trend.Graf_Page;
    page = std::clamp(page + delta, 0, int(LastArchivePage));
    s.trend.Graf_Page = static_cast<std::int16_t>(page == s.trend.Graf_CurrentPage ? CurrentPage : page);
    requestDownload(s);
}

}   // namespace

void Grafik_INC(TrendStation s) { step(s, +1); }
void Grafik_DEC(TrendStation s) { step(s, -1); }

void Image2(TrendStation s)
{
    s.trend.Find_State = 0;
    s.trend.Graf_Page = CurrentPage;
    if (s.trend.Graf_Group > 0)
        s.trend.Graf_Group = static_cast<std::int16_t>(s.trend.Graf_Group - 1);
    requestDownload(s);
}

void Image3(TrendStation s)
{
    s.trend.Find_State = 0;
    s.trend.Graf_Page = CurrentPage;
    if (s.trend.Graf_Group < 7)
        s.trend.Graf_Group = static_cast<std::int16_t>(s.trend.Graf_Group + 1);
    requestDownload(s);
}

bool GO(TrendStation s, const QString &groupText, const QString &pageText)
{
    s.trend.Find_State = 0;
    const double group = text::val(groupText);
    if (!(group > 0 && group <= 8))
        return false;
    // Fractions go to the nearest whole number, as the fields are integers.
    s.trend.Graf_Group = static_cast<std::int16_t>(std::clamp(std::nearbyint(group - 1), 0.0, 7.0));
    const double page = std::clamp(std::fabs(text::val(pageText)) - 1, 0.0, double(LastArchivePage));
    const auto p = static_cast<std::int16_t>(std::nearbyint(page));
    s.trend.Graf_Page = p == s.trend.Graf_CurrentPage ? CurrentPage : p;
    requestDownload(s);
    return true;
}

}   // namespace trendnav
