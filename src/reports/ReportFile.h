#pragma once
// The report settings file (*.rep): Windows-1251 text, CR LF, one item a line, read in a fixed
// order without keys:
//
//   1      "*************** REPORT Ж7 40/301 ****************"   (skipped on loading)
//   2      link number (1..8 COM port, 9 network)                 -> `Rep_LinkNo`, the report's port
//   3      controller address                                    (read and ignored)
//   4      precision 0..3                                         -> `Rep_Precision`
//   5      trigger element (state text number - 1)                -> `Rep_TriggerElement`
//   6..22  `Rep_Names` 0..16 (title, then parameter names 1..16)
//
// Numbers are written in the numeric output form (" 2 ") and read by their leading number.
// After loading, the title becomes the file's name without folder and extension.
#include "reports/ReportStation.h"
#include <QString>

namespace report {

inline const QString FileHeader = QStringLiteral("*************** REPORT Ж7 40/301 ****************");

// Line 2 is the report's port (`Rep_LinkNo`, else the link kind). Writes through a temporary
// file: a failed save leaves an earlier file intact. False with `error` set when the file
// could not be written.
bool saveSettings(const QString &path, ConstReportStation station, QString *error = nullptr);

// False (nothing changed) when the file cannot be read. A file that ends early keeps what
// it held; numbers out of range are brought into it (precision 0..3, trigger 0..31) and a
// link number outside 1..9 leaves the report's port as it was. The project's link kind is
// never changed: a .rep from a station on another link moves the report's port, not polling.
bool loadSettings(const QString &path, ReportStation station, QString *error = nullptr);

// The report title a file gives: its name without folder and without its 4-character
// extension ("boiler.rep" -> "boiler").
QString titleOf(const QString &path);

}   // namespace report
