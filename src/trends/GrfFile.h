#pragma once
// The trend file (*.grf): one decoded trend page with its names, colours and scale, as
// Windows-1251 text with CR LF line ends, one item per line, 1982 lines in a fixed order:
//
//   1 group, 2 page (the archive index of the current page when the page is 200), 3 sample
//   count, 4 zero line Y, 5 time text, 6 trend block title, 7..38 parameter numbers 0..31,
//   39..42 names of the group's 4 channels, 43..48 style entries 0..5 (line width, 4 colours,
//   entry 5), 49..58 lower then upper scale limit of channels 0..4, 59..1982 the values:
//   channel 0 samples 0..480, then channels 1, 2, 3.
//
// Numbers are written as numeric output (" 12 ", "-3 "); reals in the shortest text that reads
// back as the same float32.
#include "trends/TrendStation.h"
#include <QString>
#include <array>
#include <cstdint>

namespace grf {

constexpr int Lines = 1982;

// The chart's zero line and scale limits (channels 0..3 and the percentage column 4).
struct ChartScale {
    std::int16_t zeroY = 420;
    std::array<float, 5> lo{};
    std::array<float, 5> hi{};
};

// Title of the trend block 98 and the name of channel c of `Graf_Group`, from the project's
// text table; empty where the table has no such entry.
QString trendTitle(ConstTrendStation station);
QString channelName(ConstTrendStation station, int channel);

// The chart's scale as the project gives it for `Graf_Group`: limits of the channel's
// parameter (lower at block setting n + 34, upper at n + 67 of block 98), zero line 220 when
// any lower limit is below 0, else 420. Entry 4 stays 0.
ChartScale scaleFromProject(ConstTrendStation station);

// "Графік " + title + " dd_mm_yy , hh-mm-ss" from `Graf_TimeText` (its date and first time).
QString defaultFileName(ConstTrendStation station);

// "Файл заблоковано!!!": what the window shows when a save fails.
QString saveFailedMessage();

// Writes the file through a temporary that replaces `path` only when everything was written:
// a failed save leaves an earlier file as it was. False on failure (error, when given, says why).
bool save(const QString &path, ConstTrendStation station, const ChartScale &scale, QString *error = nullptr);

struct LoadResult {
    bool opened = false;   // the file could be read at all
    int linesRead = 0;     // lines taken, up to Lines; reading stops at the first bad line
    bool complete() const { return linesRead == Lines; }
};

// Reads the file into the trend state, the scale and the project's names (title and the
// channel names at the places the file's parameter numbers give). A missing or unconvertible
// line ends the reading there; what was read before stays. A group above 7 is a bad line,
// as is a parameter number outside 0..31. A real may have a decimal comma instead of a point.
LoadResult load(const QString &path, TrendStation station, ChartScale &scale);

}   // namespace grf
