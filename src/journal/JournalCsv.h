#pragma once
// The page's flagged events as CSV (UTF-8 with a byte-order mark, CR LF, RFC 4180 quoting):
// a heading line, then one line per event: date, time, event number, name.
#include "journal/JournalStation.h"
#include <QByteArray>
#include <QString>

namespace journal {

QByteArray csvText(ConstJournalStation station);
// Through a temporary file: false, the previous file intact, on any error.
bool saveCsv(const QString &path, ConstJournalStation station, QString *error = nullptr);

}   // namespace journal
