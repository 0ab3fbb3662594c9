#pragma once
// Exports of the trend page on show: a spreadsheet laid out for printing (the "Excel" button)
// and a plain CSV table.
//
// Both read the trend state of the station (`Graf_Values`, `Graf_TimeText`, `Graf_Style`,
// `Graf_ParamNo`, `Graf_Group`, `Graf_Page`, `Graf_SampleCount`) and the trend block's texts
// of the project (block 98: title at text 33, channel n's name at text 1 + n). They neither
// change the station nor block on anything but the file write.
#include "app/Spreadsheet.h"

#include <QString>
#include <QStringList>
#include <array>

#include "trends/TrendStation.h"

struct TrendExportResult {
    bool ok = false;
    QString error;   // for a message box when !ok
};

// The sheet prints on Spreadsheet::PageSetup::archivePage(), as the report workbook.
// The sheet: title, headings, channel names in channel colours, time labels and the 480
// samples of the 4 channels rounded to thousandths (halves up, on the stored single-precision
// value). Samples past `Graf_SampleCount` of the current page are 0.
Spreadsheet buildTrendSheet(ConstTrendStation station);
TrendExportResult writeTrendXlsx(ConstTrendStation station, const QString &path);

// UTF-8 CSV (with a byte order mark, so spreadsheet programs read the Cyrillic names): a header
// "time" and the 4 channel names, then one row per sample on the page (480 on an archive page,
// `Graf_SampleCount` on the current page): "dd/mm/yy hh:mm:ss" interpolated between the 8 time
// stamps 60 samples apart, and the 4 rounded values. CR LF line ends.
TrendExportResult writeTrendCsv(ConstTrendStation station, const QString &path);

// The trend block's title and the names of the 4 channels of `Graf_Group`; empty where the
// project has none.
QString trendTitle(ConstTrendStation station);
std::array<QString, 4> trendChannelNames(ConstTrendStation station);
// A value as the exports write it: Int(v × 1000 + 0.5) / 1000 on the stored value.
double roundTrendValue(float value);
