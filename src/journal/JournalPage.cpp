#include "journal/JournalPage.h"
#include "text/Numbers.h"

namespace journal {

Record record(const Buffer &buf, int r)
{
    Record rec;
    if (r < 0 || r >= Records)
        return rec;
    const int p = 3 + RecordSize * r;
    rec.second = buf[p];
    rec.minute = buf[p + 1];
    rec.hour = buf[p + 2];
    rec.day = buf[p + 3];
    rec.month = buf[p + 4];
    rec.year = buf[p + 5];
    rec.flags = std::uint32_t(buf[p + 6]) | std::uint32_t(buf[p + 7]) << 8 | std::uint32_t(buf[p + 8]) << 16
        | std::uint32_t(buf[p + 9]) << 24;
    return rec;
}

QString dateText(const Record &rec)
{
    return text::formatByte(rec.day) + u'/' + text::formatByte(rec.month) + u'/' + text::formatByte(rec.year);
}

QString timeText(const Record &rec)
{
    return text::formatByte(rec.hour) + u':' + text::formatByte(rec.minute) + u':' + text::formatByte(rec.second);
}

QString dateTimeText(const Record &rec) { return dateText(rec) + QStringLiteral("    ") + timeText(rec); }

std::vector<int> events(const Record &rec)
{
    std::vector<int> out;
    for (int n = 0; n < 32; ++n)
        if (rec.flags & (std::uint32_t(1) << n))
            out.push_back(n);
    return out;
}

int shownPage(int pageByte) { return pageByte >= 0 && pageByte < Pages ? pageByte : 0; }

int pageOnShow(const Buffer &buf) { return shownPage(buf[324]); }

bool written(int page, int r, std::uint16_t pointer) { return PageBytes * page + RecordSize * r < pointer; }

int eventCount(const Buffer &buf)
{
    int n = 0;
    for (int r = 0; r < Records; ++r)
        n += static_cast<int>(events(record(buf, r)).size());
    return n + 2;
}

QString eventName(ConstJournalStation station, int n)
{
    const auto &texts = station.project.blockTexts;
    const long long i = static_cast<long long>(station.project.Event_Base) + n;
    return i >= 0 && i < static_cast<long long>(texts.size()) ? texts[static_cast<std::size_t>(i)] : QString();
}

void takePage(JournalStation station, bool currentOrFind)
{
    const Buffer &buf = station.journal.Jurnal_Buf;
    station.journal.Jurnal_Cur_Rec = currentOrFind ? static_cast<std::int16_t>((buf[323] & 0x1F) + 1) : 1;
    station.journal.Jurnal_Page = static_cast<std::int16_t>(shownPage(buf[324]));
    station.journal.Jurnal_Pointer = static_cast<std::uint16_t>(buf[325] << 8 | buf[326]);
    station.journal.Jurnal_Find = 0;
}

std::vector<EventRow> eventRows(ConstJournalStation station)
{
    std::vector<EventRow> rows;
    const int page = pageOnShow(station.journal.Jurnal_Buf);
    for (int r = 0; r < Records; ++r) {
        const Record rec = record(station.journal.Jurnal_Buf, r);
        bool first = true;
        for (int n : events(rec)) {
            EventRow row;
            row.record = r;
            row.firstOfRecord = first;
            row.written = written(page, r, station.journal.Jurnal_Pointer);
            if (first)
                row.dateTime = dateTimeText(rec);
            row.event = n;
            row.name = eventName(station, n);
            rows.push_back(std::move(row));
            first = false;
        }
    }
    return rows;
}

}   // namespace journal
