#include "journal/JournalView.h"

#include <QtCore/qnamespace.h>
#include <algorithm>

namespace {

// Seconds since 2000 of a record with a plausible date and time; -1 otherwise.
long long stamp(const journal::Record &r)
{
    if (r.day < 1 || r.day > 31 || r.month < 1 || r.month > 12 || r.year > 99 || r.hour > 23 || r.minute > 59
        || r.second > 59)
        return -1;
    return ((((r.year * 12LL + r.month) * 31 + r.day) * 24 + r.hour) * 60 + r.minute) * 60 + r.second;
}

}   // namespace

void JournalView::prepareForRequest()
{
    pageShown_ = false;
    Jurnal_Sel_Row = 1;
    Jurnal_Lit_Row = 1;
}

JournalView::Page JournalView::showPage(ConstJournalStation st)
{
    Page out;
    const int page = journal::pageOnShow(st.journal.Jurnal_Buf);
    pageShown_ = true;
    out.pageNumber = QString::number(page + 1);
    Jurnal_Event_Count = journal::eventCount(st.journal.Jurnal_Buf);
    long long first = -1, last = -1;
    journal::Record firstRec, lastRec;
    for (int r = 0; r < journal::Records; ++r) {
        const journal::Record rec = journal::record(st.journal.Jurnal_Buf, r);
        Row &row = out.rows[static_cast<std::size_t>(r)];
        row.number = QString::number(32 * page + r + 1);
        row.date = journal::dateText(rec);
        row.time = journal::timeText(rec);
        row.written = journal::written(page, r, st.journal.Jurnal_Pointer);
        // The span runs from the earliest to the latest record, wherever the ring starts.
        const long long s = stamp(rec);
        if (s >= 0 && (first < 0 || s < first)) {
            first = s;
            firstRec = rec;
        }
        if (s >= 0 && s > last) {
            last = s;
            lastRec = rec;
        }
    }
    out.span = first < 0 ? QStringLiteral("Записи сторінки: немає дат")
                         : QStringLiteral("Записи сторінки: %1 — %2")
                               .arg(journal::dateTimeText(firstRec), journal::dateTimeText(lastRec));
    const int cur = std::clamp<int>(st.journal.Jurnal_Cur_Rec, 1, journal::Records);
    Jurnal_Lit_Row = cur;
    Jurnal_Sel_Row = cur;
    return out;
}

QStringList JournalView::events(ConstJournalStation station, int row)
{
    const int r = row >= 1 && row <= journal::Records ? row - 1 : 0;
    QStringList names;
    for (int n : journal::events(journal::record(station.journal.Jurnal_Buf, r)))
        names << journal::eventName(station, n);
    return names;
}

std::optional<int> JournalView::moveHighlight()
{
    std::optional<int> unlit;
    if (Jurnal_Lit_Row != Jurnal_Sel_Row)
        unlit = Jurnal_Lit_Row;
    Jurnal_Lit_Row = Jurnal_Sel_Row;
    return unlit;
}

void JournalView::requestPage(JournalStation station, int page)
{
    station.journal.requestPage(page);
    Jurnal_Sel_Row = 1;
}

int JournalView::stepBase(ConstJournalStation station) const
{
    // Once a request has ended without a page (failed), step from the page on show, not from
    // the one that never came; requests still waiting add up.
    return pageShown_ && station.journal.Jurnal_Request == 0 ? journal::pageOnShow(station.journal.Jurnal_Buf)
                                                             : station.journal.Jurnal_Page;
}

int JournalView::previousPage(ConstJournalStation station) const
{
    const int p = stepBase(station);
    return p >= 0 && p < journal::Pages ? std::max(p - 1, 0) : journal::CurrentPage;
}

int JournalView::nextPage(ConstJournalStation station) const
{
    const int p = stepBase(station);
    return p >= 0 && p < journal::Pages ? std::min(p + 1, journal::Pages - 1) : journal::CurrentPage;
}

bool JournalView::isArrow(int key)
{
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
}

void JournalView::keyPressed(int key)
{
    if (!isArrow(key))
        return;
    held_.insert(key);
    int &taps = tapped_[key];
    taps = std::min(taps + 1, journal::Records);
}

void JournalView::keyReleased(int key) { held_.erase(key); }

void JournalView::forgetKeys()
{
    held_.clear();
    tapped_.clear();
}

bool JournalView::take(int key)
{
    if (const auto t = tapped_.find(key); t != tapped_.end() && t->second > 0) {
        if (--t->second == 0)
            tapped_.erase(t);
        return true;
    }
    return held_.count(key) != 0;
}

JournalView::KeyTick JournalView::keyTick(bool pageOnItsWay)
{
    KeyTick tick;
    if (Jurnal_Sel_Row > 1 && take(Qt::Key_Up)) {
        --Jurnal_Sel_Row;
        tick.rowMoved = true;
    }
    if (Jurnal_Sel_Row < journal::Records && take(Qt::Key_Down)) {
        ++Jurnal_Sel_Row;
        tick.rowMoved = true;
    }
    // Page keys wait while a page is on its way; taps made meanwhile are kept for later.
    if (pageOnItsWay)
        return tick;
    if (take(Qt::Key_Left))
        tick.pageStep = -1;
    else if (take(Qt::Key_Right))
        tick.pageStep = +1;
    return tick;
}
