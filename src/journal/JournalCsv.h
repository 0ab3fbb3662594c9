#pragma once
// The page's flagged events as CSV (UTF-8 with a byte-order mark, CR LF, RFC 4180 quoting):
// a heading line, then one line per event: date, time, event number, name.
#include "app/Station.h"
#include <QByteArray>
#include <QString>

namespace journal {

QByteArray csvText(const Station &station);
// Through a temporary file: false, the previous file intact, on any error.
bool saveCsv(const QString &path, const Station &station, QString *error = nullptr);

} // namespace journal
