#pragma once
// The page's flagged events as a spreadsheet (through the shared spreadsheet layer) and as a
// printout (through the twips printer). Both read the raw page in the station, not the grid.
#include "app/Spreadsheet.h"
#include "journal/JournalStation.h"
#include <QString>
#include <vector>

class QPagedPaintDevice;

namespace journal {

// The sheet as the export lays it out: title, headings, one row per flagged event.
Spreadsheet journalSheet(ConstJournalStation station);
// Builds the sheet and writes it; false (and the reason) when the file could not be written.
bool exportXlsx(const QString &path, ConstJournalStation station, QString *error = nullptr);

// One text of the printout: page (0-based), position in twips from the top left of the
// printable area, and whether it is printed grey (the date of a record not written).
struct PrintText {
    int page = 0;
    double x = 0, y = 0;
    QString text;
    bool grey = false;
};
// The printout of the page as texts: title and page number on the first page, then one line
// per flagged event (date and time on a record's first line); a new page before a record once
// more than 60 lines are on the page, and before any line that would not fit on a page of
// `pageHeight` twips. A record carried over to a new page repeats its date and time there.
std::vector<PrintText> printLayout(ConstJournalStation station, double pageHeight);
// Prints printLayout() on the device. False when the device cannot print.
bool printJournal(QPagedPaintDevice &device, ConstJournalStation station);
// The printout as a PDF file (A4, 5 mm margins), written whole or not at all: false (and why)
// when it could not be, the earlier file then left as it was.
bool printJournalPdf(const QString &path, ConstJournalStation station, QString *error = nullptr);

}   // namespace journal
