#pragma once
// Showing a written file (a workbook, a CSV table) to the operator with the desktop's program
// for its type. xdg-open reports success even when no program takes the type, so the desktop
// entries are asked first: without one, nothing is started and the caller tells the operator
// where the file was saved.
#include <QString>
#include <QStringList>

namespace desktop {

// Whether a desktop entry in `applicationDirs` (searched with their subfolders) or an
// association in a mimeapps.list there or in `configDirs` takes `mimeType` or one of the
// types it is a kind of (text/csv is text/plain). Entries that are hidden do not count.
bool hasHandler(const QString &mimeType, const QStringList &applicationDirs, const QStringList &configDirs);

// The same in the places the desktop looks (XDG data and config folders).
bool hasHandler(const QString &mimeType);

// Opens `path` with the desktop's program for its type; false when there is none or it
// could not be started.
bool openForOperator(const QString &path);

}   // namespace desktop
