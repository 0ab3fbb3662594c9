// The history window's chart: its range under zoom, pan, jumps and "now" held inside its
// bounds, the columns and readout taken from the store, and what the painter draws of them.
#include "history/HistoryChart.h"
#include "history/HistoryPainter.h"
#include "HistoryImages.h"
#include "support/QtTestApp.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>
#include <functional>
#include <limits>
#include <set>

namespace {

using history::HistoryChart;
using historytest::regularStamps;

const QDateTime Seven(QDate(2024, 3, 5), QTime(7, 0, 0), Qt::UTC);
const qint64 S = 1709622000000LL;   // 2024-03-05 07:00:00
const qint64 H = 3600000LL;
const qint64 Day = 86400000LL;
const qint64 Earliest = 946684800000LL;   // 2000-01-01
const qint64 Latest = 4102444800000LL;    // 2100-01-01

history::Channels names(const QString &first)
{
    return {history::Channel{3, first},
            {4, QStringLiteral("Тиск")},
            {5, QStringLiteral("Рівень")},
            {6, QStringLiteral("Витрата")}};
}

struct Fixture {
    Fixture()
    {
        // The painter draws text: a GUI application for the whole binary.
        if (!QCoreApplication::instance())
            qttest::AppEnvironment::make<QGuiApplication>();
        QString error;
        store = history::HistoryStore::open(dir.filePath(QStringLiteral("h.sqlite")), &error);
        EXPECT_TRUE(store) << error.toStdString();
    }
    QTemporaryDir dir;
    std::unique_ptr<history::HistoryStore> store;
};

TEST(HistoryChart, ZoomPanAndJumpsKeepTheRangeInsideItsBounds)
{
    Fixture f;
    ASSERT_TRUE(f.store);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char *what;
        std::function<void(HistoryChart &)> op;
        qint64 from, to;
    };
    // Every case starts from the hour 07:00..07:59:59.999.
    const Case cases[] = {
        {"a range as given", [](HistoryChart &) {}, S, S + H - 1},
        {"too narrow widens about its middle", [](HistoryChart &c) { c.setRange(S, S + 9999); }, S - 25001, S + 34998},
        {"too wide narrows to 400 days about its middle",
         [](HistoryChart &c) { c.setRange(S - 500 * Day, S + 500 * Day); }, S - 200 * Day, S + 200 * Day - 1},
        {"given backwards", [](HistoryChart &c) { c.setRange(S + H - 1, S); }, S, S + H - 1},
        {"before 2000 moves to 2000", [](HistoryChart &c) { c.setRange(Earliest - 2 * H, Earliest - H - 1); }, Earliest,
         Earliest + H - 1},
        {"past 2099 moves back", [](HistoryChart &c) { c.setRange(Latest - H / 2, Latest + H / 2 - 1); }, Latest - H,
         Latest - 1},
        {"the whole clock",
         [](HistoryChart &c) { c.setRange(std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()); },
         Earliest, Earliest + 400 * Day - 1},
        {"zoom in about a quarter", [](HistoryChart &c) { c.zoom(0.5, S + H / 4); }, S + 450000, S + 450000 + 1799999},
        {"zoom out about the middle", [](HistoryChart &c) { c.zoom(2, S + H / 2); }, S - 1800000, S + 5400000 - 1},
        {"zoom about a time off the chart is about its edge", [](HistoryChart &c) { c.zoom(0.5, S - 10 * H); }, S,
         S + 1799999},
        {"zoom in stops at a minute", [](HistoryChart &c) { c.zoom(1e-9, S); }, S, S + 59999},
        {"zoom out stops at 400 days", [](HistoryChart &c) { c.zoom(1e6, S + H / 2); }, S + 1800000 - 200 * Day,
         S + 1800000 + 200 * Day - 1},
        {"no factor changes nothing",
         [&](HistoryChart &c) {
             for (double x : {0.0, -1.0, nan, inf})
                 c.zoom(x, S);
         },
         S, S + H - 1},
        {"pan later", [](HistoryChart &c) { c.pan(600000); }, S + 600000, S + H - 1 + 600000},
        {"pan before 2000 stops there", [](HistoryChart &c) { c.pan(std::numeric_limits<qint64>::min()); }, Earliest,
         Earliest + H - 1},
        {"pan past 2099 stops there", [](HistoryChart &c) { c.pan(std::numeric_limits<qint64>::max()); }, Latest - H,
         Latest - 1},
        {"jump to the next day", [](HistoryChart &c) { c.jumpTo(S + Day); }, S + Day, S + Day + H - 1},
        {"jump to the end of the clock", [](HistoryChart &c) { c.jumpTo(Latest); }, Latest - H, Latest - 1},
        {"jump to 1970", [](HistoryChart &c) { c.jumpTo(0); }, Earliest, Earliest + H - 1},
        {"now without samples changes nothing", [](HistoryChart &c) { EXPECT_FALSE(c.toNow()); }, S, S + H - 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        HistoryChart chart(*f.store);
        chart.setRange(S, S + H - 1);
        c.op(chart);
        EXPECT_EQ(chart.from(), c.from);
        EXPECT_EQ(chart.to(), c.to);
        EXPECT_EQ(chart.span(), c.to - c.from + 1);
    }
}

TEST(HistoryChart, ColumnsAndReadoutComeFromTheStoreWithGapsAndHiddenChannels)
{
    Fixture f;
    ASSERT_TRUE(f.store);
    using historytest::image;
    // Pages at 07:00 and 09:00 of group 2 (480 samples of 7.5 s): the hour between is a gap.
    ASSERT_EQ(
        int(f.store->storeTrendPage(2, image(regularStamps(Seven, 7500), 480), 1, names(QStringLiteral("a")), 0).kind),
        int(history::Stored::New));
    ASSERT_EQ(int(f.store
                      ->storeTrendPage(2, image(regularStamps(Seven.addSecs(7200), 7500), 480, 1), 2,
                                       names(QStringLiteral("b")), 0)
                      .kind),
              int(history::Stored::New));
    HistoryChart chart(*f.store);
    chart.setGroup(2);
    chart.setColumnCount(6);
    chart.setRange(S, S + 3 * H - 1);
    ASSERT_TRUE(chart.refresh());
    ASSERT_EQ(chart.columns().size(), 6u);
    const int counts[] = {240, 240, 0, 0, 240, 240};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(chart.columns()[std::size_t(k)].count, counts[k]) << k;

    const auto texts = [&](int column) {
        QStringList out;
        for (const auto &l : chart.readout(column))
            out << l.text;
        return out;
    };
    // The newest names of the range; values 1/8..16 on every channel, negative on channel 2.
    EXPECT_EQ(texts(0),
              (QStringList{"2024-03-05 07:00:00", "b: 0.125 … 16", "Тиск: 0.125 … 16", "Рівень: -16 … -0.125",
                           "Витрата: 0.125 … 16"}));
    EXPECT_EQ(texts(3), (QStringList{"2024-03-05 08:30:00", "b: —", "Тиск: —", "Рівень: —", "Витрата: —"}));
    chart.setVisible(1, false);
    EXPECT_EQ(texts(2), (QStringList{"2024-03-05 08:00:00", "b: —", "Рівень: —", "Витрата: —"}));
    EXPECT_EQ(chart.readout(2)[2].channel, 2);
    EXPECT_TRUE(chart.readout(-1).empty());
    EXPECT_TRUE(chart.readout(6).empty());
    chart.setVisible(1, true);

    // A minute in 8 columns: one sample each, its own value.
    chart.setColumnCount(8);
    chart.setRange(S, S + 59999);
    ASSERT_TRUE(chart.refresh());
    EXPECT_EQ(texts(2), (QStringList{"2024-03-05 07:00:15", "a: 0.5", "Тиск: 1", "Рівень: -2", "Витрата: 4"}));
    EXPECT_EQ(chart.columnAt(S + 15000), 2);
    EXPECT_EQ(chart.columnAt(S + 14999), 1);
    EXPECT_EQ(chart.columnAt(S - H), 0);
    EXPECT_EQ(chart.columnAt(S + H), 7);
    EXPECT_EQ(chart.channelName(0), QStringLiteral("a"));

    // Now: the newest sample, 09:59:52.5, is the last of the range; the span is kept.
    chart.setRange(S, S + 3 * H - 1);
    ASSERT_TRUE(chart.toNow());
    EXPECT_EQ(chart.to(), S + 2 * H + 3592500);
    EXPECT_EQ(chart.from(), S + 2 * H + 3592500 - 3 * H + 1);
    // A group without pages has no now and no names.
    chart.setGroup(5);
    EXPECT_FALSE(chart.toNow());
    EXPECT_EQ(chart.to(), S + 2 * H + 3592500);
    ASSERT_TRUE(chart.refresh());
    EXPECT_EQ(chart.channelName(3), QStringLiteral("Канал 4"));
}

// The rows of pixel column x of the plot drawn in channel 0's colour.
std::set<int> redRows(const QImage &img, int x)
{
    std::set<int> out;
    for (int y = 0; y < img.height(); ++y)
        if (img.pixelColor(x, y) == QColor(200, 0, 0))
            out.insert(y);
    return out;
}

std::set<int> rows(int from, int to, std::set<int> except = {})
{
    std::set<int> out;
    for (int y = from; y <= to; ++y)
        if (!except.count(y))
            out.insert(y);
    return out;
}

TEST(HistoryPainter, AStepMovesWithZoomAndPanAndAGapDrawsNothing)
{
    Fixture f;
    ASSERT_TRUE(f.store);
    using historytest::valueImage;
    // Group 0: channel 0 steps from 1 to 4 at 07:30:00 (sample 240), channels 1..3 stay at 2;
    // nothing from 08:00 to 09:00, then channel 0 at 1 again.
    const auto step = [](int s, int c) { return c == 0 ? (s < 240 ? 1.0f : 4.0f) : 2.0f; };
    const auto flat = [](int, int c) { return c == 0 ? 1.0f : 2.0f; };
    ASSERT_EQ(int(f.store->storeTrendPage(0, valueImage(regularStamps(Seven, 7500), 480, step), 1, names("a"), 0).kind),
              int(history::Stored::New));
    ASSERT_EQ(
        int(f.store
                ->storeTrendPage(0, valueImage(regularStamps(Seven.addSecs(7200), 7500), 480, flat), 2, names("a"), 0)
                .kind),
        int(history::Stored::New));

    // A plot 360 pixels wide at x = 80.., 200 high at y = 28..227; values 1..4 with 5 % room
    // put 4 at y = 37, 2 at y = 158 and 1 at y = 218.
    const QSize size(456, 284);
    ASSERT_EQ(history::HistoryPainter::plotRect(size), QRect(80, 28, 360, 200));
    HistoryChart chart(*f.store);
    chart.setColumnCount(360);
    const auto draw = [&] {
        EXPECT_TRUE(chart.refresh());
        QImage img(size, QImage::Format_RGB32);
        QPainter p(&img);
        history::HistoryPainter::paint(p, size, chart);
        return img;
    };
    const std::set<int> low{218}, high{37}, none;
    const std::set<int> rise = rows(37, 218, {158});   // the other channels cross it at 2
    struct View {
        const char *what;
        std::function<void()> op;
        int stepColumn;   // the first column at 4
        int firstGap;     // the first column of 08:00..09:00
        int lastGap;
    };
    const View views[] = {
        // 07:00..10:00 in columns of 30 s.
        {"three hours", [&] { chart.setRange(S, S + 3 * H - 1); }, 60, 120, 239},
        // About the step: 07:15..08:45 in columns of 15 s, the step stays where it was.
        {"zoomed in about the step", [&] { chart.zoom(0.5, S + H / 2); }, 60, 180, 359},
        // A quarter of an hour earlier: 07:00..08:30.
        {"panned earlier", [&] { chart.pan(-H / 4); }, 120, 240, 359},
    };
    for (const View &v : views) {
        SCOPED_TRACE(v.what);
        v.op();
        const QImage img = draw();
        EXPECT_EQ(redRows(img, 80 + v.stepColumn - 1), low);
        EXPECT_EQ(redRows(img, 80 + v.stepColumn), rise);
        EXPECT_EQ(redRows(img, 80 + v.stepColumn + 1), high);
        EXPECT_EQ(redRows(img, 80 + v.firstGap - 1), high);
        for (int k : {v.firstGap, (v.firstGap + v.lastGap) / 2, v.lastGap})
            EXPECT_EQ(redRows(img, 80 + k), none) << k;
        if (v.lastGap < 359) {
            EXPECT_EQ(redRows(img, 80 + v.lastGap + 1), low);
        }
    }

    // A hidden channel draws nothing.
    chart.setVisible(0, false);
    const QImage img = draw();
    for (int x = 80; x < 440; ++x)
        ASSERT_EQ(redRows(img, x), none) << x;
}

}   // namespace
