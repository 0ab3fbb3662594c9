// The trend chart drawn into an image as the window's drawing surface: zero line, value
// mapping, gaps and page ends, hidden channels, the scale column, and the printed page.
#include "trends/TrendChart.h"
#include "station/Station.h"
#include "trends/TrendNavigation.h"
#include "trends/TrendReadout.h"
#include "support/QtTestApp.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>
#include <map>

namespace {

constexpr int ParamBase = 100;
constexpr int TextBase = 200;
constexpr std::int32_t Red = 0x0000FF, Blue = 0xFF0000, Green = 0x00FF00, White = 0xFFFFFF;

struct Rig {
    Station station;
    TrendChartState state;
    TrendChart chart{station, state};
    QImage image{TrendChart::Width, TrendChart::Height, QImage::Format_RGB32};

    Rig()
    {
        qtApp();
        ProjectModel &m = station.project;
        m.blockParamBase[98] = ParamBase;
        m.blockTextBase[98] = TextBase;
        m.blockTexts[TextBase + 33] = QStringLiteral("Котельня");
        const char *names[] = {"Тиск пари", "Рівень", "Температура", "Розрідження"};
        for (int n = 0; n < 4; ++n) {
            station.trend.Graf_ParamNo[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(n);
            m.blockTexts[static_cast<std::size_t>(TextBase + 1 + n)] = QString::fromUtf8(names[n]);
        }
        station.trend.Graf_Style = {1, Red, White, White, White, 0, 0};
        station.trend.Graf_Page = 5;
        station.trend.Graf_SampleCount = 480;
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        image.fill(Qt::white);
    }
    void range(int c, float lo, float hi)
    {
        station.project.blockParams[static_cast<std::size_t>(ParamBase + c + 34)] = lo;
        station.project.blockParams[static_cast<std::size_t>(ParamBase + c + 67)] = hi;
    }
    void fill(int c, float v) { station.trend.Graf_Values[static_cast<std::size_t>(c)].fill(v); }
    void draw()
    {
        QPainter p(&image);
        chart.DRAW_GRAFIK_1_4(p);
    }
    QRgb at(int x, int y) const { return image.pixel(x, y) & 0xFFFFFF; }
    // Pixels of colour `rgb` in column x between the chart's top and bottom.
    int inColumn(int x, QRgb rgb) const
    {
        int n = 0;
        for (int y = TrendChart::PlotTop; y <= TrendChart::PlotBottom; ++y)
            n += at(x, y) == rgb;
        return n;
    }
};

constexpr QRgb RedRgb = 0xFF0000, BlueRgb = 0x0000FF, BlackRgb = 0x000000, DarkGridRgb = 0xC0C0C0;

TEST(TrendChart, ZeroLineLiesAt420UnlessAChannelRangeGoesBelowZero)
{
    struct Case {
        std::array<float, 4> lows;
        int zero;
        int other;
    } cases[] = {
        {{0, 0, 0, 0}, 420, 220},
        {{0, 0, -1, 0}, 220, 420},
        {{0, 0, 0, -0.5f}, 220, 420},
    };
    for (const Case &c : cases) {
        Rig rig;
        for (int ch = 0; ch < 4; ++ch)
            rig.range(ch, c.lows[static_cast<std::size_t>(ch)], 100);
        rig.station.trend.Graf_SampleCount = 0;
        rig.draw();
        EXPECT_EQ(rig.state.Graf_ZeroY, c.zero);
        EXPECT_EQ(rig.at(400, c.zero), BlackRgb) << c.zero;
        EXPECT_EQ(rig.at(400, c.other), DarkGridRgb) << c.zero;
    }
}

TEST(TrendChart, ValuesMapOntoTheChartAndAreLimitedToIt)
{
    struct Case {
        float lo, hi, value;
        int y;
    } cases[] = {
        {0, 100, 50, 220},     // zero line 420
        {0, 100, 150, 20},     // above the top: limited
        {0, 100, -10, 420},    // below the range: on the zero line
        {20, 60, 30, 320},     // 420 - 10 * 400 / 40
        {-50, 50, -50, 420},   // zero line 220
        {-50, 50, 25, 120},    {-50, 50, -25, 320},
        {-100, -20, -60, 320},   // all below zero: 220 - (-60 + 20) * -200 / -80
        {5, 5, 7, 420},          // empty range: on the zero line, never a division by zero
    };
    for (const Case &c : cases) {
        Rig rig;
        rig.range(0, c.lo, c.hi);
        for (int ch = 1; ch < 4; ++ch)
            rig.range(ch, 0, 1);
        rig.fill(0, c.value);
        rig.draw();
        EXPECT_EQ(rig.at(251, c.y), RedRgb) << c.lo << ".." << c.hi << " v " << c.value;
        EXPECT_EQ(rig.inColumn(251, RedRgb), 1) << c.lo << ".." << c.hi << " v " << c.value;
    }
}

TEST(TrendChart, GapSamplesAreLeftOutAndValuesBeyondTheLimitsEndThePage)
{
    // Channel 0 drawn at 50 of 0..100; hidden channels 2 and 3 carry the marks: channel 2 over
    // samples 100..109, channel 3 at sample 300.
    struct Case {
        float gapMark;
        float endMark;
        bool gapDrawn;
        bool pageGoesOn;
    } cases[] = {
        {1000000.0f, 0, false, true},  {999999.0f, 0, true, true},  {0, 1000001.0f, true, false},
        {0, -2100001.0f, true, false}, {0, 1000000.0f, true, true},   // at the limit: only that sample is left out
        {0, -2100000.0f, true, true},
    };
    for (const Case &c : cases) {
        Rig rig;
        for (int ch = 0; ch < 4; ++ch)
            rig.range(ch, 0, 100);
        rig.fill(0, 50);
        for (int s = 100; s < 110; ++s)
            rig.station.trend.Graf_Values[2][static_cast<std::size_t>(s)] = c.gapMark;
        rig.station.trend.Graf_Values[3][300] = c.endMark;
        rig.draw();
        for (int x = 253; x <= 259; ++x)
            EXPECT_EQ(rig.at(x, 220) == RedRgb, c.gapDrawn) << c.gapMark << " x " << x;
        EXPECT_EQ(rig.at(265, 220), RedRgb) << c.gapMark;
        EXPECT_EQ(rig.at(440, 220), RedRgb) << c.endMark;   // before sample 300
        EXPECT_EQ(rig.at(460, 220) == RedRgb, c.pageGoesOn) << c.endMark;
        EXPECT_EQ(rig.at(600, 220) == RedRgb, c.pageGoesOn) << c.endMark;
    }
}

TEST(TrendChart, WhiteChannelsAreHiddenAndTheCurrentPageEndsAtItsSampleCount)
{
    Rig rig;
    for (int ch = 0; ch < 4; ++ch)
        rig.range(ch, 0, 100);
    rig.station.trend.Graf_Style = {1, White, Blue, White, White, 0, 0};
    rig.fill(0, 50);   // would cover the grid line at 220
    rig.fill(1, 25);   // drawn at 320
    rig.station.trend.Graf_Page = 200;
    rig.station.trend.Graf_SampleCount = 100;
    rig.draw();
    EXPECT_EQ(rig.at(200, 220), DarkGridRgb);
    EXPECT_EQ(rig.at(200, 320), BlueRgb);
    EXPECT_EQ(rig.at(240, 320), BlueRgb);   // sample 89
    EXPECT_NE(rig.at(260, 320), BlueRgb);   // sample 109: beyond the count
}

// An archive page holds all its samples while its sample count is the current page's: it is
// drawn over every sample that holds data. A page that was the current one (its samples past
// the count empty, as after loading its file) still ends at its count.
TEST(TrendChart, ArchivePageIsDrawnOverAllItsStoredSamples)
{
    struct Case {
        const char *name;
        std::int16_t page, count;
        int filled;          // samples 0..filled-1 hold 50, the rest 0
        int lastRedColumn;   // sample whose segment is the last in red
    } cases[] = {
        {"archive, count of the current page", 17, 100, 480, 479},
        {"archive, count 0", 17, 0, 480, 479},
        {"archive, data up to 300", 17, 100, 300, 299},
        {"a current page from its file", 17, 100, 100, 100},
        {"current page", 200, 100, 480, 99},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.range(0, 0, 100);
        rig.station.trend.Graf_Page = c.page;
        rig.station.trend.Graf_SampleCount = c.count;
        for (int s = 0; s < c.filled; ++s)
            rig.station.trend.Graf_Values[0][static_cast<std::size_t>(s)] = 50;
        rig.draw();
        int last = -1;
        for (int s = 0; s < 480; ++s)
            if (rig.inColumn(s + 152, RedRgb) > 0)
                last = s;
        EXPECT_EQ(last, c.lastRedColumn);
        EXPECT_EQ(rig.at(151 + 250, 220) == RedRgb, c.filled > 250 && (c.page != 200 || c.count > 250));
    }
}

TEST(TrendChart, ScaleColumnLabelsEachChannelAndThePercentages)
{
    // Channel ranges 0..100, -50..50, -80..-40 and 0..8 put the zero line at 220.
    struct Case {
        std::int16_t sel;
        std::array<const char *, 9> texts;
        int lowerLabels;
        int upperLabels;
    } cases[] = {
        {0, {" 100", " 87.5", " 75", " 62.5", " 50", " 37.5", " 25", " 12.5", " 0"}, 0, 9},
        {1, {" 50", " 43.75", " 37.5", " 31.25", " 25", " 18.75", " 12.5", " 6.25", " 0"}, 9, 9},
        {2, {"-80", "-75", "-70", "-65", "-60", "-55", "-50", "-45", "-40"}, 9, 0},
        {3, {" 8", " 7", " 6", " 5", " 4", " 3", " 2", " 1", " 0"}, 0, 9},
        {4, {" 100%", "87.5%", "  75%", "62.5%", "  50%", "37.5%", "  25%", "12.5%", "   0%"}, 9, 9},
    };
    for (const Case &c : cases) {
        Rig rig;
        rig.range(0, 0, 100);
        rig.range(1, -50, 50);
        rig.range(2, -80, -40);
        rig.range(3, 0, 8);
        rig.state.Graf_ScaleSel = c.sel;
        rig.station.trend.Graf_SampleCount = 0;
        rig.draw();
        EXPECT_EQ(rig.state.Graf_ScaleSel, c.sel);
        EXPECT_EQ(rig.state.Graf_ScaleStep, 25);
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(rig.state.Graf_ScaleText[static_cast<std::size_t>(i)],
                      QString::fromUtf8(c.texts[static_cast<std::size_t>(i)]))
                << "scale " << c.sel << " label " << i;
        // Lower half from 415 up to 215, upper half from 15 down to 215, 25 apart.
        int below = 0;
        for (const auto &l : rig.state.scaleLabels) {
            below += l.y > 215;
            EXPECT_EQ((l.y - 15) % 25, 0) << l.y;
        }
        EXPECT_EQ(rig.state.scaleLabels.size(), std::size_t(c.lowerLabels + c.upperLabels)) << c.sel;
        EXPECT_EQ(below, c.lowerLabels ? 8 : 0) << c.sel;
    }

    // Zero line 420: nine labels 50 apart from the top down to the zero line.
    Rig rig;
    rig.range(0, 10, 50);
    rig.station.trend.Graf_SampleCount = 0;
    rig.draw();
    EXPECT_EQ(rig.state.Graf_ScaleStep, 50);
    ASSERT_EQ(rig.state.scaleLabels.size(), 9u);
    EXPECT_EQ(rig.state.scaleLabels.front().y, 15);
    EXPECT_EQ(rig.state.scaleLabels.front().text, QStringLiteral(" 50"));
    EXPECT_EQ(rig.state.scaleLabels.back().y, 415);
    EXPECT_EQ(rig.state.scaleLabels.back().text, QStringLiteral(" 10"));
}

TEST(TrendChart, FiveClicksOnTheScaleReturnToTheChannelShownFirst)
{
    Rig rig;
    for (int ch = 0; ch < 4; ++ch)
        rig.range(ch, 0, float(10 * (ch + 1)));
    rig.state.Graf_ScaleSel = 2;
    rig.draw();
    const std::int16_t expected[] = {3, 4, 0, 1, 2};
    const char *top[] = {" 40", " 100%", " 10", " 20", " 30"};
    QPainter p(&rig.image);
    for (int i = 0; i < 5; ++i) {
        rig.chart.nextScale(p);
        EXPECT_EQ(rig.state.Graf_ScaleSel, expected[i]);
        EXPECT_EQ(rig.state.Graf_ScaleText[0], QString::fromUtf8(top[i]));
    }
}

TEST(TrendChart, CursorReadoutInterpolatesTheTimeBetweenStampsAndGivesTheSample)
{
    struct Case {
        const char *timeText;
        std::int16_t page, count;
        int x;
        int sample;
        const char *time;
    } cases[] = {
        {"05/03/24 07:00:00  07:10:00  ", 5, 480, 151, 0, "07:00:00"},
        {"05/03/24 07:00:00  07:10:00  ", 5, 480, 181, 30, "07:05:00"},
        {"05/03/24 07:00:00  07:10:00  ", 5, 480, 241, 90, "07:15:00"},   // after the last stamp
        {"05/03/24 23:59:00  00:01:00  ", 5, 480, 181, 30, "00:00:00"},   // over midnight
        {"05/03/24 07:00:00  ", 5, 480, 171, 20, "07:00:00"},             // one stamp: its time
        {"05/03/24 07:00:00  07:10:00  ", 200, 100, 251, -1, ""},         // past the current page's samples
        {"05/03/24 07:00:00  07:10:00  ", 5, 480, 150, -1, ""},           // left of the chart
        {"", 5, 480, 200, 49, ""},
    };
    for (const Case &c : cases) {
        Rig rig;
        rig.station.trend.Graf_TimeText = QString::fromUtf8(c.timeText);
        rig.station.trend.Graf_Page = c.page;
        rig.station.trend.Graf_SampleCount = c.count;
        for (int s = 0; s < 480; ++s)
            rig.station.trend.Graf_Values[1][static_cast<std::size_t>(s)] = float(s) / 4;
        const TrendChart::Readout r = rig.chart.readoutAt(c.x);
        EXPECT_EQ(r.sample, c.sample) << c.timeText << " x " << c.x;
        EXPECT_EQ(r.time, QString::fromUtf8(c.time)) << c.timeText << " x " << c.x;
        if (r.sample >= 0) {
            EXPECT_EQ(r.values[1], float(c.sample) / 4);
        }
    }
}

// The readout names each shown channel in its colour, hidden (white) ones left out, and shows
// a dash for what is no sample.
TEST(TrendReadout, ListsTheTimeAndEveryShownChannelInItsColour)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char *what;
        std::array<std::int32_t, 4> colours;
        std::array<float, 4> values;
        int x;
        QStringList lines;
        std::vector<QRgb> rgb;
    };
    const Case cases[] = {
        {"all shown",
         {Red, Blue, Green, 0x808080},
         {1.5f, -2.0f, 1234567.0f, 0.001f},
         181,
         {QStringLiteral("07:05:00"), QStringLiteral("Тиск пари: 1.5"), QStringLiteral("Рівень: -2"),
          QStringLiteral("Температура: —"), QStringLiteral("Розрідження: 0.001")},
         {0x000000, 0xFF0000, 0x0000FF, 0x00FF00, 0x808080}},
        {"white ones hidden, whatever the top byte",
         {White, Blue, White | 0x01000000, Red},
         {1, 2, 3, 4},
         181,
         {QStringLiteral("07:05:00"), QStringLiteral("Рівень: 2"), QStringLiteral("Розрідження: 4")},
         {0x000000, 0x0000FF, 0xFF0000}},
        {"no sample: below the page end, not a number",
         {Red, Blue, Green, Red},
         {-2100001.0f, nan, 1000000.0f, 7},
         181,
         {QStringLiteral("07:05:00"), QStringLiteral("Тиск пари: —"), QStringLiteral("Рівень: —"),
          QStringLiteral("Температура: —"), QStringLiteral("Розрідження: 7")},
         {0x000000, 0xFF0000, 0x0000FF, 0x00FF00, 0xFF0000}},
        {"all hidden: the first line alone",
         {White, White, White, White},
         {1, 2, 3, 4},
         630,
         {QStringLiteral("№ 480")},
         {0x000000}},
        {"left of the plot", {Red, Red, Red, Red}, {1, 2, 3, 4}, 150, {}, {}},
        {"right of the plot", {Red, Red, Red, Red}, {1, 2, 3, 4}, 631, {}, {}},
        {"no cursor", {Red, Red, Red, Red}, {1, 2, 3, 4}, -1, {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.station.trend.Graf_TimeText = QStringLiteral("05/03/24 07:00:00  07:10:00  ");
        for (int ch = 0; ch < 4; ++ch) {
            rig.station.trend.Graf_Style[static_cast<std::size_t>(ch + 1)] = c.colours[static_cast<std::size_t>(ch)];
            rig.fill(ch, c.values[static_cast<std::size_t>(ch)]);
        }
        for (int ch = 0; ch < 4; ++ch)
            EXPECT_EQ(TrendReadout::channelHidden(rig.station, ch),
                      (c.colours[static_cast<std::size_t>(ch)] & 0xFFFFFF) == White);
        const std::vector<TrendReadout::Line> lines = TrendReadout::lines(rig.chart, rig.station, c.x);
        EXPECT_EQ(TrendReadout::texts(rig.chart, rig.station, c.x), c.lines);
        ASSERT_EQ(lines.size(), c.rgb.size());
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i].colour.rgb() & 0xFFFFFF, c.rgb[i]) << i;
    }
    // Without stamps the line gives the sample's number.
    Rig rig;
    rig.station.trend.Graf_TimeText.clear();
    EXPECT_EQ(TrendReadout::texts(rig.chart, rig.station, 200).front(), QStringLiteral("№ 50"));
    EXPECT_EQ(TrendReadout::cursorAt(151), 151);
    EXPECT_EQ(TrendReadout::cursorAt(630), 630);
    EXPECT_EQ(TrendReadout::cursorAt(150), -1);
    EXPECT_EQ(TrendReadout::cursorAt(631), -1);
    EXPECT_TRUE(TrendReadout::channelHidden(rig.station, 4));
}

TEST(TrendNavigation, PageAndGroupButtonsAndTheGoDialogChooseWhatToDownload)
{
    using Handler = void (*)(TrendStation);
    struct Case {
        const char *what;
        Handler handler;
        std::int16_t page, current, group;
        std::int16_t wantPage, wantGroup;
    } cases[] = {
        {"next on the last page", trendnav::Grafik_INC, 101, 3, 0, 101, 0},
        {"next from the current page", trendnav::Grafik_INC, 200, 5, 0, 6, 0},
        {"next reaches the current page", trendnav::Grafik_INC, 4, 5, 0, 200, 0},
        {"back from the current page at 0", trendnav::Grafik_DEC, 200, 0, 0, 200, 0},
        {"back on page 0", trendnav::Grafik_DEC, 0, 7, 0, 0, 0},
        {"back from the current page", trendnav::Grafik_DEC, 200, 10, 0, 9, 0},
        {"current", trendnav::Command_Tekus, 7, 10, 2, 200, 2},
        {"group down at 0", trendnav::Image2, 7, 10, 0, 200, 0},
        {"group down", trendnav::Image2, 7, 10, 5, 200, 4},
        {"group up at 7", trendnav::Image3, 7, 10, 7, 200, 7},
        {"group up", trendnav::Image3, 7, 10, 3, 200, 4},
    };
    for (const Case &c : cases) {
        Station s;
        s.trend.Graf_Page = c.page;
        s.trend.Graf_CurrentPage = static_cast<std::uint8_t>(c.current);
        s.trend.Graf_Group = c.group;
        s.trend.Find_State = 2;
        c.handler(s);
        EXPECT_EQ(s.trend.Graf_Page, c.wantPage) << c.what;
        EXPECT_EQ(s.trend.Graf_Group, c.wantGroup) << c.what;
        EXPECT_EQ(s.trend.Graf_PageCount, 1) << c.what;
        EXPECT_EQ(s.trend.Find_State, 0) << c.what;
    }

    struct Go {
        const char *group, *page;
        bool accepted;
        std::int16_t wantGroup, wantPage;
    } goes[] = {
        {"9", "1", false, 6, 42}, {"0", "1", false, 6, 42},  {"", "1", false, 6, 42}, {"-2", "1", false, 6, 42},
        {"3", "5", true, 2, 4},   {"3", "11", true, 2, 200}, {"1", "-7", true, 0, 6}, {"8", "500", true, 7, 101},
        {"1", "", true, 0, 0},    {"2", "0", true, 1, 0},
    };
    for (const Go &g : goes) {
        Station s;
        s.trend.Graf_Group = 6;
        s.trend.Graf_Page = 42;
        s.trend.Graf_CurrentPage = 10;
        EXPECT_EQ(trendnav::GO(s, QString::fromUtf8(g.group), QString::fromUtf8(g.page)), g.accepted) << g.group;
        EXPECT_EQ(s.trend.Graf_Group, g.wantGroup) << g.group << "/" << g.page;
        EXPECT_EQ(s.trend.Graf_Page, g.wantPage) << g.group << "/" << g.page;
        EXPECT_EQ(s.trend.Graf_PageCount, g.accepted ? 1 : 0) << g.group << "/" << g.page;
    }
}

// Word boxes of a PDF page as pdftotext -bbox gives them: text -> top-left in points.
std::map<QString, QPointF> pdfWords(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(20000);
    std::map<QString, QPointF> words;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    for (auto it = re.globalMatch(out); it.hasNext();) {
        const auto m = it.next();
        words.emplace(m.captured(3), QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()));
    }
    return words;
}

TEST(TrendChart, PrintedPageSitsInTwipsAndItsScaleFollowsTheZeroLine)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    Rig rig;
    rig.range(0, -50, 50);
    rig.range(1, 0, 100);
    rig.fill(0, 25);
    rig.station.trend.Graf_TimeText = QStringLiteral("05/03/24 07:05:09  07:10:09  ");
    rig.state.Graf_ScaleSel = 0;
    rig.draw();

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
    ASSERT_TRUE(rig.chart.printToPdf(pdf));
    const auto words = pdfWords(pdf);

    // Printable origin: the 6 mm margin, the page moved left; then twips / 20 = points.
    const double oy = 6 / 25.4 * 72;
    const double ox = oy - TrendChart::PrintShiftTwips / 20.0;
    struct Want {
        const char *word;
        double xTwips, yTwips;
    } wants[] = {
        {"Графіки:", 4750, 100},
        {"Котельня", 6250, 100},
        {"Тиск", 16500, 2950},
        {"07:05:09", 3750, 10600},
        {"07:10:09", 5250, 10600},
        {"05/03/24", 3750, 10900},
        {"Т", 16000, 25 * 220 - 75},
        // The scale as on screen: 50 at the top, 0 on the zero line, -50 at the bottom.
        {"50", 2750, 500},
        {"-50", 2750, 10500},
        {"-25", 2750, 25 * 320},
    };
    for (const Want &w : wants) {
        const auto it = words.find(QString::fromUtf8(w.word));
        ASSERT_NE(it, words.end()) << w.word;
        EXPECT_NEAR(it->second.x(), ox + w.xTwips / 20, 4) << w.word;
        // A word box starts a little below the top of its line.
        EXPECT_NEAR(it->second.y(), oy + w.yTwips / 20, 3) << w.word;
    }
}

}   // namespace
