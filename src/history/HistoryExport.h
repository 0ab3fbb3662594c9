#pragma once
// Exports of what the history window shows: the samples of the range on show as CSV or as an
// .xlsx sheet, the chart as a PDF page, and the journal and operator-action tables as CSV.
// CSV is UTF-8 with a byte order mark (so spreadsheet programs read the Cyrillic names), comma
// separated, CR LF line ends, the same columns as `tablo-fetch history`. Every file is written
// whole or not at all.
#include "history/HistoryChart.h"
#include "history/HistoryStore.h"

#include <QString>
#include <vector>

namespace history {

struct ExportResult {
    bool ok = false;
    QString error;   // for the notice when !ok
};

// "Дата і час" and the channel names, then one row per sample in the chart's range.
ExportResult writeSamplesCsv(const HistoryStore &store, const HistoryChart &chart, const QString &path);
ExportResult writeSamplesXlsx(const HistoryStore &store, const HistoryChart &chart, const QString &path);
// The chart as drawn, on an A4 landscape page.
ExportResult writeChartPdf(const HistoryChart &chart, const QString &path);
ExportResult writeJournalCsv(const std::vector<JournalEvent> &events, const QString &path);
ExportResult writeActionsCsv(const std::vector<Action> &actions, const QString &path);

// One CSV field, quoted when it holds a comma, a quote or a line break.
QString csvField(const QString &s);

}   // namespace history
