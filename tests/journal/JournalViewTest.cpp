#include "journal/JournalView.h"
#include "station/Station.h"

#include <QtCore/qnamespace.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// Record r of the buffer: second, minute, hour, day, month, year, four flag bytes.
void setRecord(Station &st, int r, std::array<int, 6> when, std::array<std::uint8_t, 4> flags = {})
{
    const int at = 3 + 10 * r;
    for (int i = 0; i < 6; ++i)
        st.journal.Jurnal_Buf[static_cast<std::size_t>(at + i)] =
            static_cast<std::uint8_t>(when[static_cast<std::size_t>(i)]);
    for (int j = 0; j < 4; ++j)
        st.journal.Jurnal_Buf[static_cast<std::size_t>(at + 6 + j)] = flags[static_cast<std::size_t>(j)];
}

}   // namespace

// The ring wraps inside a page: the span runs from the earliest record to the latest, rows and
// numbers follow the page, records below the write position count as written.
TEST(JournalView, APageShowsItsRowsSpanAndSelectedRecord)
{
    Station st;
    for (int r = 0; r < journal::Records; ++r)
        setRecord(st, r, {0, 0, 0, 0, 0, 0});                      // no date
    setRecord(st, 0, {0, 30, 22, 8, 3, 23}, {0x05, 0, 0, 0x80});   // the latest
    setRecord(st, 1, {2, 3, 4, 5, 6, 7});                          // the earliest
    setRecord(st, 2, {59, 59, 23, 31, 12, 22});
    setRecord(st, 3, {0, 0, 24, 1, 1, 23});                    // hour 24: no date
    st.journal.Jurnal_Buf[324] = 2;                            // page 3
    st.journal.Jurnal_Pointer = 2 * journal::PageBytes + 20;   // records 0 and 1 written
    st.project.Event_Base = 1;
    st.project.blockTexts = {QStringLiteral("x"), QStringLiteral("Подія 0"), QStringLiteral("Подія 1"),
                             QStringLiteral("Подія 2")};

    struct Case {
        int curRec;
        int selected;
    };
    for (const Case c : {Case{1, 1}, Case{7, 7}, Case{0, 1}, Case{-3, 1}, Case{32, 32}, Case{40, 32}}) {
        SCOPED_TRACE(c.curRec);
        JournalView v;
        v.Jurnal_Sel_Row = 9;
        st.journal.Jurnal_Cur_Rec = static_cast<std::int16_t>(c.curRec);
        const JournalView::Page page = v.showPage(st);
        EXPECT_TRUE(v.pageOnShow());
        EXPECT_EQ(v.Jurnal_Sel_Row, c.selected);
        EXPECT_EQ(v.Jurnal_Lit_Row, c.selected);
        EXPECT_EQ(v.Jurnal_Event_Count, 3 + 2);
        EXPECT_EQ(page.pageNumber, QStringLiteral("3"));
        EXPECT_EQ(page.span, QStringLiteral("Записи сторінки: 05/06/07    04:03:02 — 08/03/23    22:30:00"));
        EXPECT_EQ(page.rows[0].number, QStringLiteral("65"));
        EXPECT_EQ(page.rows[31].number, QStringLiteral("96"));
        EXPECT_EQ(page.rows[2].date, QStringLiteral("31/12/22"));
        EXPECT_EQ(page.rows[2].time, QStringLiteral("23:59:59"));
        EXPECT_TRUE(page.rows[0].written);
        EXPECT_TRUE(page.rows[1].written);
        EXPECT_FALSE(page.rows[2].written);
    }
    // Events of a row; a row outside the page lists record 0's.
    EXPECT_EQ(JournalView::events(st, 1),
              (QStringList{QStringLiteral("Подія 0"), QStringLiteral("Подія 2"), QString()}));
    EXPECT_EQ(JournalView::events(st, 2), QStringList());
    EXPECT_EQ(JournalView::events(st, 33), JournalView::events(st, 1));

    for (int r = 0; r < journal::Records; ++r)
        setRecord(st, r, {0, 0, 0, 0, 0, 0});
    JournalView v;
    EXPECT_EQ(v.showPage(st).span, QStringLiteral("Записи сторінки: немає дат"));
    v.prepareForRequest();
    EXPECT_FALSE(v.pageOnShow());
}

TEST(JournalView, PageStepsStartFromThePageAskedForOrTheOneOnShowAfterAFailure)
{
    struct Case {
        const char *what;
        bool shown;
        std::int16_t request, asked;
        int onShow;
        int previous, next;
    };
    const Case cases[] = {
        {"nothing shown, current page asked", false, 1, journal::CurrentPage, 0, journal::CurrentPage,
         journal::CurrentPage},
        {"nothing shown, page 5 asked", false, 1, 5, 0, 4, 6},
        {"page 7 on show, its request done", true, 0, 7, 7, 6, 8},
        {"page 7 on show, page 9 on its way", true, 1, 9, 7, 8, 10},
        {"page 7 on show, a request for 12 failed", true, 0, 12, 7, 6, 8},
        {"first page", true, 0, 0, 0, 0, 1},
        {"last page", true, 0, 31, 31, 30, 31},
        {"page on show after asking for the current one", true, 0, journal::CurrentPage, 4, 3, 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Station st;
        JournalView v;
        st.journal.Jurnal_Buf[324] = static_cast<std::uint8_t>(c.onShow);
        if (c.shown)
            v.showPage(st);
        st.journal.Jurnal_Request = c.request;
        st.journal.Jurnal_Page = c.asked;
        EXPECT_EQ(v.previousPage(st), c.previous);
        EXPECT_EQ(v.nextPage(st), c.next);
    }
    Station st;
    st.journal.Jurnal_Find = 1;
    JournalView v;
    v.Jurnal_Sel_Row = 12;
    v.requestPage(st, 6);
    EXPECT_EQ(st.journal.Jurnal_Page, 6);
    EXPECT_EQ(st.journal.Jurnal_Request, 1);
    EXPECT_EQ(st.journal.Jurnal_Find, 0);
    EXPECT_EQ(v.Jurnal_Sel_Row, 1);
}

// A script of key events and keyboard ticks, and where the selection and the page go.
TEST(JournalView, HeldAndTappedArrowsMoveTheSelectionAndStepPages)
{
    enum Op { Press, Release, Tick, TickWaiting, LoseFocus, Hide };
    struct Step {
        Op op;
        int key;
        int row;        // Jurnal_Sel_Row after the step
        int pageStep;   // of a tick
        bool moved;     // a tick asked for the highlight to move
    };
    const int Up = Qt::Key_Up, Down = Qt::Key_Down, Left = Qt::Key_Left, Right = Qt::Key_Right;
    const Step steps[] = {
        {Tick, 0, 5, 0, false},        {Press, Down, 5, 0, false},   // a press alone moves nothing until the tick
        {Tick, 0, 6, 0, true},         {Tick, 0, 7, 0, true},        // held: every tick
        {Release, Down, 7, 0, false},  {Tick, 0, 7, 0, false},
        {Press, Up, 7, 0, false},   // a tap shorter than a tick
        {Release, Up, 7, 0, false},    {Press, Up, 7, 0, false},
        {Release, Up, 7, 0, false},    {Tick, 0, 6, 0, true},   // two taps, two ticks
        {Tick, 0, 5, 0, true},         {Tick, 0, 5, 0, false},
        {Press, Up, 5, 0, false},      {Press, Down, 5, 0, false},   // both in one tick: up, then down
        {Tick, 0, 5, 0, true},         {Release, Up, 5, 0, false},
        {Release, Down, 5, 0, false},  {Tick, 0, 5, 0, false},
        {Press, Right, 5, 0, false},   {Release, Right, 5, 0, false},
        {TickWaiting, 0, 5, 0, false},   // a page on its way: the tap waits
        {Tick, 0, 5, +1, false},       {Tick, 0, 5, 0, false},
        {Press, Left, 5, 0, false},    {Press, Right, 5, 0, false},
        {Tick, 0, 5, -1, false},   // left first; right waits while left is held
        {Tick, 0, 5, -1, false},   // left is still held
        {Release, Left, 5, 0, false},  {Tick, 0, 5, +1, false},
        {Tick, 0, 5, +1, false},       // right held
        {LoseFocus, 0, 5, 0, false},   // its release goes elsewhere
        {Tick, 0, 5, 0, false},        {Press, Down, 5, 0, false},
        {Hide, 0, 5, 0, false},                                     // hiding forgets taps too
        {Tick, 0, 5, 0, false},        {Press, 'A', 5, 0, false},   // not an arrow
        {Tick, 0, 5, 0, false},
    };
    JournalView v;
    v.Jurnal_Sel_Row = 5;
    int i = 0;
    for (const Step &s : steps) {
        SCOPED_TRACE("step " + std::to_string(i++));
        JournalView::KeyTick t;
        switch (s.op) {
        case Press: v.keyPressed(s.key); break;
        case Release: v.keyReleased(s.key); break;
        case Tick: t = v.keyTick(false); break;
        case TickWaiting: t = v.keyTick(true); break;
        case LoseFocus: v.releaseAll(); break;
        case Hide: v.forgetKeys(); break;
        }
        EXPECT_EQ(v.Jurnal_Sel_Row, s.row);
        EXPECT_EQ(t.pageStep, s.pageStep);
        EXPECT_EQ(t.rowMoved, s.moved);
    }

    // The selection stays within rows 1..32, and the highlight follows it.
    v.Jurnal_Sel_Row = 32;
    v.Jurnal_Lit_Row = 32;
    v.keyPressed(Down);
    EXPECT_FALSE(v.keyTick(false).rowMoved);
    EXPECT_EQ(v.Jurnal_Sel_Row, 32);
    v.forgetKeys();
    v.Jurnal_Sel_Row = 1;
    v.keyPressed(Up);
    EXPECT_FALSE(v.keyTick(false).rowMoved);
    EXPECT_EQ(v.Jurnal_Sel_Row, 1);
    EXPECT_EQ(v.moveHighlight(), std::optional<int>(32));
    EXPECT_EQ(v.Jurnal_Lit_Row, 1);
    EXPECT_EQ(v.moveHighlight(), std::nullopt);
}
