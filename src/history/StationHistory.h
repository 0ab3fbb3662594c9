#pragma once
// What the station hands the history store, taken from its state as a download leaves it:
// the names a trend page's channels and a journal page's events have in the project now, the
// report table's rows, and the texts of the operator's actions.
#include "station/Station.h"
#include "history/HistoryStore.h"

#include <QByteArrayView>
#include <optional>

namespace history {

// The parameter numbers of `group` (0..7) in the image and their names in the project
// (`blockTexts`[tbase + 1 + number] of the trend block).
Channels trendChannels(const Station &station, int group, QByteArrayView image);
// `blockTexts`[`Event_Base` + n] for n = 0..31.
std::array<QString, 32> journalEventNames(const Station &station);
// Rows 0..374 of `Rep_Table` that carry a date and a time.
std::vector<ReportRow> reportRows(const Station &station);
// "block 5 pin 2: 1.5 -> 2, acknowledged" (or "not acknowledged"), the values in their
// shortest float32 form; "?" for an old value that was not known.
QString setPointText(int block, int pin, std::optional<float> oldValue, float newValue, bool acknowledged);

}   // namespace history
