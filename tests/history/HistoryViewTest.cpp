// What the history window's controls do without the window: the mouse's zoom and pan in
// chart columns with the span's name, and the journal and action filters over a store.
#include "history/HistoryChart.h"
#include "history/HistoryView.h"
#include "HistoryContents.h"
#include "support/QtTestApp.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>

namespace {

using history::HistoryChart;
using namespace historytest;

const qint64 S = March5 + 7 * Hour;   // 2024-03-05 07:00:00

struct Store {
    Store()
    {
        coreApp();
        QString error;
        store = history::HistoryStore::open(dir.filePath(QStringLiteral("h.sqlite")), &error);
        EXPECT_TRUE(store) << error.toStdString();
    }
    QTemporaryDir dir;
    std::unique_ptr<history::HistoryStore> store;
};

TEST(HistoryView, WheelDragAndPanMoveTheRangeByColumnsAndTheSpanIsNamed)
{
    Store s;
    ASSERT_TRUE(s.store);
    struct Case {
        const char *what;
        std::function<void(HistoryChart &)> op;
        qint64 from, to;
        const char *span;
    };
    // Every case starts from 07:00..07:59:59.999 in 100 columns of 36 s.
    const Case cases[] = {
        {"nothing", [](HistoryChart &) {}, S, S + Hour - 1, "1 год"},
        // One notch closer about column 50 (07:30): 0.8 of the hour, 07:30 stays mid-chart.
        {"a notch closer", [](HistoryChart &c) { c.wheel(120, 50); }, S + 360000, S + 360000 + 2880000 - 1, "48 хв"},
        {"a notch wider about the first column", [](HistoryChart &c) { c.wheel(-120, 0); }, S, S + 4500000 - 1,
         "1 год 15 хв"},
        // Two notches about the last column (07:59:24): 0.64 of the hour, 99 % of it before.
        {"two notches closer at the right edge", [](HistoryChart &c) { c.wheel(240, 99); }, S + 1283040,
         S + 1283040 + 2304000 - 1, "38 хв 24 с"},
        {"a column past the edge is the edge", [](HistoryChart &c) { c.wheel(240, 100); }, S + 1283040,
         S + 1283040 + 2304000 - 1, "38 хв 24 с"},
        {"no turn", [](HistoryChart &c) { c.wheel(0, 10); }, S, S + Hour - 1, "1 год"},
        {"dragged over columns 10..19", [](HistoryChart &c) { c.zoomToColumns(10, 19); }, S + 360000, S + 720000 - 1,
         "6 хв"},
        {"dragged backwards", [](HistoryChart &c) { c.zoomToColumns(19, 10); }, S + 360000, S + 720000 - 1, "6 хв"},
        {"dragged past the right edge", [](HistoryChart &c) { c.zoomToColumns(95, 120); }, S + 3420000, S + Hour - 1,
         "3 хв"},
        {"dragged over everything", [](HistoryChart &c) { c.zoomToColumns(0, 99); }, S, S + Hour - 1, "1 год"},
        // One column is 36 s, less than the narrowest minute: a minute about its middle.
        {"a one-column drag shows a minute", [](HistoryChart &c) { c.zoomToColumns(50, 50); }, S + 1787999, S + 1847998,
         "1 хв"},
        {"curves dragged right show earlier times", [](HistoryChart &c) { c.panColumns(10); }, S - 360000,
         S + Hour - 1 - 360000, "1 год"},
        {"curves dragged left show later times", [](HistoryChart &c) { c.panColumns(-25); }, S + 900000,
         S + Hour - 1 + 900000, "1 год"},
        // 7 columns of 514 285.71 ms: a column's pan rounds to the millisecond.
        {"a column of seven",
         [](HistoryChart &c) {
             c.setColumnCount(7);
             c.panColumns(1);
         },
         S - 514286, S + Hour - 1 - 514286, "1 год"},
        {"panned before 2000 stops there", [](HistoryChart &c) { c.panColumns(200000000); }, HistoryChart::EarliestMs,
         HistoryChart::EarliestMs + Hour - 1, "1 год"},
        {"a day and a bit", [](HistoryChart &c) { c.setRange(S, S + Day + Hour + 30 * Minute - 1); }, S,
         S + Day + Hour + 30 * Minute - 1, "1 доба 1 год"},
        {"two days five hours", [](HistoryChart &c) { c.setRange(S, S + 2 * Day + 5 * Hour - 1); }, S,
         S + 2 * Day + 5 * Hour - 1, "2 доби 5 год"},
        {"eleven days", [](HistoryChart &c) { c.setRange(S, S + 11 * Day - 1); }, S, S + 11 * Day - 1, "11 діб"},
        {"twenty-one days", [](HistoryChart &c) { c.setRange(S, S + 21 * Day - 1); }, S, S + 21 * Day - 1, "21 доба"},
        {"the widest", [](HistoryChart &c) { c.setRange(S, S + 400 * Day - 1); }, S, S + 400 * Day - 1, "400 діб"},
        {"a minute and a half", [](HistoryChart &c) { c.setRange(S, S + 90000 - 1); }, S, S + 90000 - 1, "1 хв 30 с"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        HistoryChart chart(*s.store);
        chart.setColumnCount(100);
        chart.setRange(S, S + Hour - 1);
        c.op(chart);
        EXPECT_EQ(chart.from(), c.from);
        EXPECT_EQ(chart.to(), c.to);
        EXPECT_EQ(history::spanText(chart.span()), QString::fromUtf8(c.span));
    }
    EXPECT_EQ(history::spanText(0), QStringLiteral("0 с"));
    EXPECT_EQ(history::spanText(-5), QStringLiteral("0 с"));
}

TEST(HistoryView, JournalAndActionFiltersKeepWhatTheyNameAndSearchIgnoresCase)
{
    Store s;
    ASSERT_TRUE(s.store);
    ASSERT_TRUE(storeJournal(*s.store));
    ASSERT_TRUE(storeActions(*s.store));
    const qint64 r0 = S + 5 * Minute + 9000, r1 = S + 6 * Minute, r2 = S + 2 * Hour + 30 * Minute,
                 r3 = March5 + Day + 10 * Hour;
    const qint64 all0 = std::numeric_limits<qint64>::min(), all1 = std::numeric_limits<qint64>::max();
    struct JCase {
        const char *what;
        history::JournalQuery q;
        std::vector<std::pair<qint64, int>> rows;   // time, event (0-based)
    };
    const JCase jcases[] = {
        {"everything", {all0, all1, -1, {}}, {{r0, 0}, {r0, 9}, {r1, 31}, {r2, 0}, {r3, 9}}},
        {"one event", {all0, all1, 0, {}}, {{r0, 0}, {r2, 0}}},
        {"an event beyond 31 is every event", {all0, all1, 40, {}}, {{r0, 0}, {r0, 9}, {r1, 31}, {r2, 0}, {r3, 9}}},
        {"a word of the name", {all0, all1, -1, QStringLiteral("тиск")}, {{r0, 9}, {r3, 9}}},
        {"in capitals", {all0, all1, -1, QStringLiteral("ТИСК")}, {{r0, 9}, {r3, 9}}},
        {"two words, either case", {all0, all1, -1, QStringLiteral("  аварія   ДИМ ")}, {{r0, 0}, {r2, 0}}},
        {"words that no name holds together", {all0, all1, -1, QStringLiteral("аварія пари")}, {}},
        {"a name nowhere", {all0, all1, -1, QStringLiteral("насос")}, {}},
        {"blanks only search nothing",
         {all0, all1, -1, QStringLiteral("   ")},
         {{r0, 0}, {r0, 9}, {r1, 31}, {r2, 0}, {r3, 9}}},
        {"a range with both ends included", {r1, r2, -1, {}}, {{r1, 31}, {r2, 0}}},
        {"range, event and name together", {S, r3, 9, QStringLiteral("пари")}, {{r0, 9}, {r3, 9}}},
        {"a range before everything", {S - Day, S - 1, -1, {}}, {}},
    };
    for (const JCase &c : jcases) {
        SCOPED_TRACE(c.what);
        std::vector<std::pair<qint64, int>> got;
        for (const history::JournalEvent &e : history::journalRows(*s.store, c.q))
            got.emplace_back(e.ms, e.event);
        EXPECT_EQ(got, c.rows);
    }

    const qint64 a0 = S + 1000, a1 = S + 2000, a2 = S + Hour, a3 = S + Day;
    struct ACase {
        const char *what;
        history::ActionQuery q;
        std::vector<qint64> rows;
    };
    const ACase acases[] = {
        {"everything", {all0, all1, {}}, {a0, a1, a2, a3}},
        {"set-points", {all0, all1, QStringLiteral("setpoint")}, {a1}},
        {"exports in the first hour", {S, S + Hour - 1, QStringLiteral("export")}, {}},
        {"exports in the first hour and a bit", {S, S + Hour, QStringLiteral("export")}, {a2}},
        {"a range", {a1, a3, {}}, {a1, a2, a3}},
        {"a kind the station does not log", {all0, all1, QStringLiteral("nosuch")}, {}},
    };
    for (const ACase &c : acases) {
        SCOPED_TRACE(c.what);
        std::vector<qint64> got;
        for (const history::Action &a : history::actionRows(*s.store, c.q))
            got.push_back(a.ms);
        EXPECT_EQ(got, c.rows);
    }

    // The event filter's entries carry the names the records were stored with.
    const std::array<QString, 32> names = history::storedEventNames(*s.store);
    EXPECT_EQ(history::eventCaption(0, names[0]), QStringLiteral("Подія 1: Аварія димососа"));
    EXPECT_EQ(history::eventCaption(31, names[31]), QStringLiteral("Подія 32: Низький рівень води в котлі"));
    EXPECT_EQ(history::eventCaption(1, names[1]), QStringLiteral("Подія 2"));
    EXPECT_EQ(history::actionKindCaption(QStringLiteral("setpoint")), QStringLiteral("уставка"));
    EXPECT_EQ(history::actionKindCaption(QStringLiteral("odd")), QStringLiteral("odd"));
    EXPECT_EQ(history::unopenedText(QStringLiteral("/h/p-1.sqlite"), false, QStringLiteral("no history /h/p-1.sqlite")),
              QStringLiteral("Історії ще немає: станція ще нічого не зберегла у /h/p-1.sqlite"));
    EXPECT_EQ(history::unopenedText(QStringLiteral("/h/p-1.sqlite"), true, QStringLiteral("locked")),
              QStringLiteral("Історію не відкрито: locked"));
}

}   // namespace
