#pragma once
// The journal page held in `Jurnal_Buf`: 32 records of 10 bytes at positions 3 + 10r .. 12 + 10r
// (second, minute, hour, day, month, two-digit year, four flag bytes; flag byte j bit b is event
// 8j + b), the highlighted row byte at 323, the page number at 324 and the controller's write
// position at 325/326 (high byte first). Pure functions shared by the window, the file, the
// exports and printing.
#include "journal/JournalStation.h"
#include "app/Pages.h"
#include <QString>
#include <cstdint>
#include <vector>

namespace journal {

constexpr int Pages = archive::JournalPages;
constexpr int Records = 32;
constexpr int RecordSize = 10;
constexpr int PageBytes = Records * RecordSize;
constexpr int CurrentPage = archive::CurrentPage;   // `Jurnal_Page` asking for the page being written

using Buffer = std::array<std::uint8_t, 331>;   // positions 0..330, answer byte k at k

struct Record {
    std::uint8_t second = 0, minute = 0, hour = 0, day = 0, month = 0, year = 0;
    std::uint32_t flags = 0;   // bit n = event n
};

// Record r (0..31) of the page.
Record record(const Buffer &buf, int r);
// "dd/mm/yy" and "hh:mm:ss", every part through Format_Byte.
QString dateText(const Record &rec);
QString timeText(const Record &rec);
// Date, four blanks, time: the text of a record on the printed page and in the exports.
QString dateTimeText(const Record &rec);
// Events flagged in the record, ascending.
std::vector<int> events(const Record &rec);

// The page number a returned page byte stands for: 0..31 as it is, anything else page 0.
int shownPage(int pageByte);
// The page the buffer holds (its byte 324), whatever page has been asked for since.
int pageOnShow(const Buffer &buf);
// A record counts as written (since the write position last passed it) when its byte offset
// in the journal lies below the pointer.
bool written(int page, int r, std::uint16_t pointer);
// Flags set in all 32 records, plus 2: the last row of the spreadsheet table.
int eventCount(const Buffer &buf);
// `blockTexts`[`Event_Base` + n], empty outside the table.
QString eventName(ConstJournalStation station, int n);

// After a good answer: `Jurnal_Cur_Rec` (the row byte + 1 after a current-page or find
// request, else 1), `Jurnal_Page`, `Jurnal_Pointer`; `Jurnal_Find` is cleared.
void takePage(JournalStation station, bool currentOrFind);

// One line per flagged event, records in order and events ascending within a record; the
// first line of a record carries its date and time. Shared by printing and the exports.
struct EventRow {
    int record = 0;
    bool firstOfRecord = false;
    bool written = false;
    QString dateTime;   // set on the first line of a record only
    int event = 0;
    QString name;
};
std::vector<EventRow> eventRows(ConstJournalStation station);

}   // namespace journal
