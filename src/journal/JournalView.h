#pragma once
// What the journal window shows of the page held in the station, and how the operator moves
// through it, without the widgets: the rows of the grid, the page's time span, the record
// selected and the one highlighted, the events of the selected record, the page to ask for
// next, and the arrow keys (held or tapped) taken on each keyboard tick.
#include "journal/JournalPage.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <map>
#include <set>

class JournalView {
public:
    // One row of the grid (rows 1..32 = records 0..31).
    struct Row {
        QString number;   // 32 x page + record + 1
        QString date;
        QString time;
        bool written = false;   // since the write position last passed it
    };
    struct Page {
        QString pageNumber;   // page + 1
        std::array<Row, journal::Records> rows;
        QString span;   // "Записи сторінки: ... — ..."
    };

    // Rows 1..32; `Jurnal_Sel_Row` is the record the operator selected, `Jurnal_Lit_Row` the
    // one highlighted on the grid.
    int Jurnal_Sel_Row = 1;
    int Jurnal_Lit_Row = 1;
    // Flags set in all 32 records, plus 2.
    int Jurnal_Event_Count = 2;

    // A page is on the grid (downloaded or read from a file since the window was opened).
    bool pageOnShow() const { return pageShown_; }

    // The page was requested afresh: none on show, the first row selected.
    void prepareForRequest();
    // The page held in the station goes on the grid: its rows and span; `Jurnal_Cur_Rec`
    // (limited to 1..32) becomes selected and highlighted.
    Page showPage(ConstJournalStation station);
    // The names of the events flagged in the record of `row` (row 1 for one outside 1..32).
    static QStringList events(ConstJournalStation station, int row);

    // The highlight moves to the selected row: the row to unlight, if another.
    std::optional<int> moveHighlight();

    // Page requests. `requestPage` raises the station's request for `page` and selects row 1;
    // the steps give the page one before or after the page to step from (the page on show
    // once a request ended without one, else the page asked for), or the current page when
    // there is nothing to step from.
    void requestPage(JournalStation station, int page);
    int previousPage(ConstJournalStation station) const;
    int nextPage(ConstJournalStation station) const;

    // Arrow keys (Qt::Key_Up, Key_Down, Key_Left, Key_Right). A key counts while held, and
    // once for each press not yet taken, so a tap shorter than a tick still moves.
    static bool isArrow(int key);
    void keyPressed(int key);
    void keyReleased(int key);
    void releaseAll() { held_.clear(); }   // the window lost the keyboard; taps still count
    void forgetKeys();                     // the window was hidden
    // One keyboard tick: up and down move the selection within 1..32; left and right step a
    // page unless one is on its way (their taps wait for it). `rowMoved` asks for
    // moveHighlight(); `pageStep` is -1, 0 or +1.
    struct KeyTick {
        bool rowMoved = false;
        int pageStep = 0;
    };
    KeyTick keyTick(bool pageOnItsWay);

private:
    int stepBase(ConstJournalStation station) const;
    bool take(int key);

    bool pageShown_ = false;
    std::set<int> held_;
    std::map<int, int> tapped_;
};
