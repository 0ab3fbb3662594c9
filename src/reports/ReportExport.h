#pragma once
// The report table written out: the workbook (title, headings, names, 374 rows, number formats
// by precision, the trend export's page set-up) and a CSV file of the same table.
#include "reports/ReportStation.h"
#include <QDate>
#include <QLocale>
#include <QString>

class Spreadsheet;

namespace report {

constexpr int ExportRows = 374;   // the 375th entry of each parameter is not written
constexpr int CsvRows = 375;

// Number format of the value columns for precision 0..3 ("#", "#.0", "#.00", "#.000"); any
// other precision keeps the text format "@".
QString numberFormat(int precision);

// The locale's date separator, as its short date format shows it. A separator that cannot
// stand in a file name ('/' or '\') becomes '-'.
QChar dateSeparator(const QLocale &locale);

// title + " " + dd<sep>MM<sep>yyyy + ".xlsx"; characters that cannot stand in a file name
// are replaced by '_'.
QString workbookName(const QString &title, const QDate &date, const QLocale &locale);

struct ExportResult {
    bool ok = false;
    int errorNumber = 0;   // the spreadsheet layer's error number when not ok
    QString description;
    QString path;
};

// The sheet as it will be written.
Spreadsheet buildWorkbook(ConstReportStation station);

// Writes the workbook to `path` (replacing a file of that name only when complete).
ExportResult exportWorkbook(ConstReportStation station, const QString &path);

// UTF-8 CSV: a heading line (date, time and the 16 parameter names), then 375 rows of
// date, time and 16 values with the report's precision. False with `error` set on failure.
bool exportCsv(ConstReportStation station, const QString &path, QString *error = nullptr);

}   // namespace report
