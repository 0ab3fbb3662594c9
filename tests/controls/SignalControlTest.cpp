#include "ControlTestSupport.h"

#include <algorithm>
#include <cmath>
#include <QSignalSpy>

using namespace controltest;

namespace {

const QColor Green(0, 200, 0);
const QColor Bar(128, 128, 255);
const int GreenValue = bgr(0, 200, 0);

std::unique_ptr<QWidget> coloured(int type, int width, int height, int colour = GreenValue)
{
    auto w = makeSignal(type, width, height);
    if (w)
        w->setProperty("ForeColor", colour);
    return w;
}

// Rows (or columns) that hold any ink.
int inkedRows(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        n += inkInRow(image, y) > 0 ? 1 : 0;
    return n;
}

// The pixel that holds grid coordinate c on a control of n pixels with grid extent e.
int pixel(float c, int n, float e) { return std::clamp(static_cast<int>(std::floor(c * n / e)), 0, n - 1); }

int inkedColumns(const QImage &image)
{
    int n = 0;
    for (int x = 0; x < image.width(); ++x)
        n += inkInColumn(image, x) > 0 ? 1 : 0;
    return n;
}

}   // namespace

TEST(SignalLayout, TriangleUpFillsTheBottomRowAndTheTopMiddleAtSeveralSizes)
{
    for (const QSize size : {QSize(50, 50), QSize(33, 33), QSize(100, 50), QSize(64, 64), QSize(51, 51)}) {
        auto w = coloured(2, size.width(), size.height());
        ASSERT_TRUE(w);
        const QImage img = render(*w);
        const int last = size.height() - 1;
        EXPECT_EQ(inkInRow(img, last), size.width()) << size.width() << "x" << size.height();
        EXPECT_EQ(at(img, 0, last), Green);
        EXPECT_EQ(at(img, size.width() - 1, last), Green);
        // Apex: a single point in the middle of the top row.
        EXPECT_GE(inkInRow(img, 0), 1);
        EXPECT_LE(inkInRow(img, 0), 3);
        const int mid = (size.width() - 1) / 2;
        EXPECT_TRUE(at(img, mid, 0) == Green || at(img, mid + 1, 0) == Green);
        EXPECT_EQ(at(img, 0, 0), Paper);
        EXPECT_EQ(at(img, size.width() - 1, 0), Paper);
        // Full height: every row up to 50 pixels, one row per line above.
        EXPECT_EQ(inkedRows(img), std::min(size.height(), 51));
    }
}

TEST(SignalLayout, SmallNonSquareSignalsDrawEveryTypeOnTheFullGrid)
{
    // 22 × 26 pixels is 330 × 390 twips: the grid is 50 × 50, so every symbol is scaled to the
    // whole control. Grid coordinate c falls on pixel floor(c · 22 / 50) across and
    // floor(c · 26 / 50) down (the far edge on the last pixel).
    const QColor G = Green;
    const QColor P = Paper;
    struct Case {
        int type;
        int inkedRows;
        int inkedColumns;
        std::vector<std::pair<QPoint, QColor>> pixels;
    };
    const Case cases[] = {
        {0, 26, 22, {{{0, 0}, G}, {{21, 25}, G}}},
        // The circle: 22 across, centred in the 26 rows.
        {1, 22, 22, {{{11, 13}, G}, {{11, 1}, P}, {{11, 24}, P}, {{0, 0}, P}}},
        // Up: apex on pixels 10..11 of the top row, base the whole bottom row.
        {2,
         26,
         22,
         {{{0, 25}, G},
          {{21, 25}, G},
          {{0, 0}, P},
          {{21, 0}, P},
          {{10, 0}, G},
          {{11, 0}, G},
          {{9, 0}, P},
          {{12, 0}, P}}},
        // Right: base the whole left column, apex on rows 12..13 of the right column.
        {3,
         26,
         22,
         {{{0, 0}, G},
          {{0, 25}, G},
          {{21, 0}, P},
          {{21, 25}, P},
          {{21, 12}, G},
          {{21, 13}, G},
          {{21, 11}, P},
          {{21, 14}, P}}},
        // Down: base the whole top row, apex on pixels 10..11 of the bottom row.
        {4,
         26,
         22,
         {{{0, 0}, G},
          {{21, 0}, G},
          {{0, 25}, P},
          {{21, 25}, P},
          {{10, 25}, G},
          {{11, 25}, G},
          {{9, 25}, P},
          {{12, 25}, P}}},
        // Left: base the whole right column, apex on rows 12..13 of the left column.
        {5,
         26,
         22,
         {{{21, 0}, G},
          {{21, 25}, G},
          {{0, 0}, P},
          {{0, 25}, P},
          {{0, 12}, G},
          {{0, 13}, G},
          {{0, 11}, P},
          {{0, 14}, P}}},
        // Horizontal bow-tie in grid rows 0..25 = pixel rows 0..13, crossing at (25, 12.5) =
        // pixel (11, 6); the bar is grid 16.7..33.3 across, 0..8.3 down = pixels 7..14, 0..3.
        {6,
         14,
         22,
         {{{0, 0}, G},
          {{21, 0}, G},
          {{0, 13}, G},
          {{21, 13}, G},
          {{11, 6}, G},
          {{7, 0}, Bar},
          {{14, 3}, Bar},
          {{10, 2}, Bar},
          {{15, 1}, P}}},
        // Vertical bow-tie in grid columns 0..25 = pixel columns 0..11, crossing at (12.5, 25) =
        // pixel (5, 13); the bar is grid 0..8.3 across, 16.7..33.3 down = pixels 0..3, 9..16.
        {7,
         26,
         12,
         {{{0, 0}, G},
          {{11, 0}, G},
          {{0, 25}, G},
          {{11, 25}, G},
          {{5, 13}, G},
          {{0, 9}, Bar},
          {{3, 16}, Bar},
          {{1, 12}, Bar},
          {{1, 17}, P}}},
    };
    for (const Case &c : cases) {
        auto w = coloured(c.type, 22, 26);
        ASSERT_TRUE(w);
        const QImage img = render(*w);
        EXPECT_EQ(inkedRows(img), c.inkedRows) << "type " << c.type;
        EXPECT_EQ(inkedColumns(img), c.inkedColumns) << "type " << c.type;
        for (const auto &[p, colour] : c.pixels)
            EXPECT_EQ(at(img, p.x(), p.y()), colour) << "type " << c.type << " at " << p.x() << "," << p.y();
    }

    // A flat 64 × 40 signal: the up triangle spans the whole height, its base the bottom row.
    auto flat = coloured(2, 64, 40);
    ASSERT_TRUE(flat);
    const QImage img = render(*flat);
    EXPECT_EQ(inkedRows(img), 40);
    EXPECT_EQ(inkInRow(img, 39), 64);
}

TEST(SignalLayout, EveryTrianglePointsItsOwnWay)
{
    const int n = 40;
    const int last = n - 1;
    const int mid = last / 2;
    struct Case {
        int type;
        QPoint base1, base2;   // ends of the base edge
        QPoint apex;
        QPoint emptyCorner;
    };
    for (const Case c :
         {Case{2, {0, last}, {last, last}, {mid, 0}, {0, 0}}, Case{3, {0, 0}, {0, last}, {last, mid}, {last, 0}},
          Case{4, {0, 0}, {last, 0}, {mid, last}, {0, last}}, Case{5, {last, 0}, {last, last}, {0, mid}, {0, 0}}}) {
        auto w = coloured(c.type, n, n);
        ASSERT_TRUE(w);
        const QImage img = render(*w);
        EXPECT_EQ(at(img, c.base1.x(), c.base1.y()), Green) << "type " << c.type;
        EXPECT_EQ(at(img, c.base2.x(), c.base2.y()), Green) << "type " << c.type;
        // The apex lies on a pixel edge; either neighbour may hold it.
        const QPoint next = c.apex + (c.type == 2 || c.type == 4 ? QPoint(1, 0) : QPoint(0, 1));
        EXPECT_TRUE(at(img, c.apex.x(), c.apex.y()) == Green || at(img, next.x(), next.y()) == Green)
            << "type " << c.type;
        EXPECT_EQ(at(img, c.emptyCorner.x(), c.emptyCorner.y()), Paper) << "type " << c.type;
        EXPECT_EQ(at(img, mid, mid), Green) << "type " << c.type;
        // Half the square, give or take the edges.
        const int ink = countColor(img, Green);
        EXPECT_GT(ink, n * n * 45 / 100) << "type " << c.type;
        EXPECT_LT(ink, n * n * 60 / 100) << "type " << c.type;
    }
}

TEST(SignalLayout, FansAreFiftyOneSeparateOnePixelLinesOnALargeControl)
{
    // At 200 pixels one grid unit is about four pixels: each line shows on its own.
    auto up = coloured(2, 200, 200);
    ASSERT_TRUE(up);
    QImage img = render(*up);
    EXPECT_EQ(inkedRows(img), 51);
    // Line i spans i grid units: line 50 the full width, line 25 half of it.
    EXPECT_EQ(inkInRow(img, 199), 200);
    EXPECT_NEAR(inkInRow(img, 100), 100, 2);

    auto right = coloured(3, 200, 200);
    ASSERT_TRUE(right);
    img = render(*right);
    EXPECT_EQ(inkedColumns(img), 51);
    EXPECT_EQ(inkInColumn(img, 0), 200);
}

TEST(SignalLayout, HorizontalBowTieFillsTheUpperHalfWithALightBlueBarOnTop)
{
    for (const int n : {50, 33, 60, 120}) {
        auto w = coloured(6, n, n);
        ASSERT_TRUE(w);
        const QImage img = render(*w);
        const float W = 50;
        const auto px = [&](float c) { return pixel(c, n, W); };
        // The bar: from a third to two thirds of the width, a sixth of it high.
        EXPECT_EQ(at(img, px(W / 2), 0), Bar) << n;
        EXPECT_EQ(at(img, px(W / 3) + 1, px(W / 6) - 1), Bar) << n;
        EXPECT_NE(at(img, px(W / 3) - 2, 0), Bar) << n;
        EXPECT_NE(at(img, px(2 * W / 3) + 2, 0), Bar) << n;
        EXPECT_NE(at(img, px(W / 2), px(W / 6) + 1), Bar) << n;
        // Two triangles with their outer edges whole, meeting at (W/2, W/4).
        EXPECT_EQ(at(img, 0, 0), Green) << n;
        EXPECT_EQ(at(img, n - 1, 0), Green) << n;
        EXPECT_EQ(at(img, 0, px(W / 2)), Green) << n;
        EXPECT_EQ(at(img, n - 1, px(W / 2)), Green) << n;
        // Every line starts on the left edge: one pixel each, or every pixel when they crowd.
        EXPECT_EQ(inkInColumn(img, 0), std::min(51, px(W / 2) + 1)) << n;
        EXPECT_EQ(at(img, px(W / 2), px(W / 4)), Green) << n;
        // Nothing between the bar and the crossing, nothing in the lower half.
        EXPECT_EQ(at(img, px(W / 2), px(W * 0.21f)), Paper) << n;
        for (int y = px(W / 2) + 1; y < n; ++y)
            EXPECT_EQ(inkInRow(img, y), 0) << n << " row " << y;
    }
}

TEST(SignalLayout, VerticalBowTieFillsTheLeftHalfWithABarOnTheLeft)
{
    for (const int n : {50, 33, 60, 120}) {
        auto w = coloured(7, n, n);
        ASSERT_TRUE(w);
        const QImage img = render(*w);
        const float H = 50;
        const auto px = [&](float c) { return pixel(c, n, H); };
        EXPECT_EQ(at(img, 0, px(H / 2)), Bar) << n;
        EXPECT_EQ(at(img, px(H / 6) - 1, px(H / 3) + 1), Bar) << n;
        EXPECT_NE(at(img, 0, px(H / 3) - 2), Bar) << n;
        EXPECT_NE(at(img, 0, px(2 * H / 3) + 2), Bar) << n;
        EXPECT_EQ(at(img, 0, 0), Green) << n;
        EXPECT_EQ(at(img, 0, n - 1), Green) << n;
        EXPECT_EQ(at(img, px(H / 2), 0), Green) << n;
        EXPECT_EQ(at(img, px(H / 2), n - 1), Green) << n;
        EXPECT_EQ(at(img, px(H / 4), px(H / 2)), Green) << n;
        for (int x = px(H / 2) + 1; x < n; ++x)
            EXPECT_EQ(inkInColumn(img, x), 0) << n << " column " << x;
    }
}

TEST(SignalColour, BowTieBarKeepsItsColourWhenForeColorChanges)
{
    auto w = coloured(6, 50, 50);
    ASSERT_TRUE(w);
    for (const int colour : {bgr(255, 0, 0), bgr(128, 128, 255), bgr(0, 0, 0), GreenValue}) {
        w->setProperty("ForeColor", colour);
        const QImage img = render(*w);
        EXPECT_EQ(at(img, 25, 2), Bar);
        EXPECT_EQ(at(img, 0, 0), QColor::fromRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    }
    EXPECT_EQ(w->property("ForeColor").toInt(), GreenValue);
}

TEST(SignalColour, SquareAndCircleTakeForeColorIncludingSystemColours)
{
    auto square = coloured(0, 40, 30);
    ASSERT_TRUE(square);
    QImage img = render(*square);
    EXPECT_EQ(countColor(img, Green), 40 * 30);

    square->setProperty("ForeColor", static_cast<int>(0x80000008u));   // window text
    img = render(*square, QColor(1, 2, 3));
    EXPECT_EQ(countColor(img, QColor(0, 0, 0)), 40 * 30);
    square->setProperty("ForeColor", static_cast<int>(0x80000005u));   // window background
    img = render(*square, QColor(1, 2, 3));
    EXPECT_EQ(countColor(img, QColor(255, 255, 255)), 40 * 30);

    auto circle = coloured(1, 40, 40);
    ASSERT_TRUE(circle);
    img = render(*circle);
    EXPECT_EQ(at(img, 20, 20), Green);
    EXPECT_EQ(at(img, 20, 1), Green);
    EXPECT_EQ(at(img, 1, 1), Paper);
    EXPECT_EQ(at(img, 38, 38), Paper);
}

TEST(SignalColour, ColourValueTakenAsUnsignedStillNamesTheSystemColour)
{
    auto w = makeSignal(0, 10, 10);
    ASSERT_TRUE(w);
    w->setProperty("ForeColor", QVariant::fromValue(0x80000008u));
    EXPECT_EQ(w->property("ForeColor").toInt(), static_cast<int>(0x80000008u));
    EXPECT_EQ(at(render(*w), 5, 5), QColor(0, 0, 0));
}

TEST(SignalColour, ATypeChangeKeepsTheColoursThePrimitivesLastHad)
{
    auto w = coloured(0, 40, 40);
    ASSERT_TRUE(w);
    // The lines were never coloured: they show their own first colour until ForeColor.
    w->setProperty("Type_Signal", 2);
    QImage img = render(*w);
    EXPECT_EQ(at(img, 20, 39), QColor(255, 0, 0));
    w->setProperty("ForeColor", GreenValue);
    img = render(*w);
    EXPECT_EQ(at(img, 20, 39), Green);
}

TEST(SignalTypeChanges, TypeEightAfterTheSquareLeavesTheSquareAndShowsNoLine)
{
    auto w = coloured(0, 40, 40);
    ASSERT_TRUE(w);
    w->setProperty("Type_Signal", 8);
    EXPECT_EQ(w->property("Type_Signal").toInt(), 8);
    QImage img = render(*w);
    EXPECT_EQ(countColor(img, Green), 40 * 40);

    // From a triangle, an unknown type hides the lines and shows nothing.
    w->setProperty("Type_Signal", 2);
    w->setProperty("ForeColor", GreenValue);
    w->setProperty("Type_Signal", 200);
    img = render(*w);
    EXPECT_EQ(countColor(img, Paper), 40 * 40);
    // ForeColor with an unknown type only stores the value.
    w->setProperty("ForeColor", bgr(255, 0, 0));
    EXPECT_EQ(countColor(render(*w), Paper), 40 * 40);
}

TEST(SignalTypeChanges, BowTieToSquareCoversTheWholeControlAgain)
{
    auto w = coloured(6, 50, 50);
    ASSERT_TRUE(w);
    w->setProperty("Type_Signal", 0);
    QImage img = render(*w);
    // The square still has the bar's colour, but its place and size are the whole control.
    EXPECT_EQ(countColor(img, Bar), 50 * 50);
    w->setProperty("ForeColor", GreenValue);
    img = render(*w);
    EXPECT_EQ(countColor(img, Green), 50 * 50);
}

TEST(SignalTypeChanges, CircleToSquareShowsOnlyTheSquare)
{
    auto w = coloured(1, 40, 40);
    ASSERT_TRUE(w);
    w->setProperty("Type_Signal", 0);
    w->setProperty("ForeColor", bgr(0, 0, 255));
    EXPECT_EQ(countColor(render(*w), QColor(0, 0, 255)), 40 * 40);
}

TEST(SignalBorder, SquareBorderIsOnePixelInWindowTextWhenBorderStyleIsOne)
{
    auto w = coloured(0, 30, 20);
    ASSERT_TRUE(w);
    w->setProperty("Border_Style", 1);
    QImage img = render(*w);
    const QColor black(0, 0, 0);
    EXPECT_EQ(at(img, 0, 0), black);
    EXPECT_EQ(at(img, 29, 19), black);
    EXPECT_EQ(at(img, 15, 0), black);
    EXPECT_EQ(at(img, 1, 1), Green);
    EXPECT_EQ(countColor(img, black), 2 * 30 + 2 * 18);

    w->setProperty("Border_Style", 0);
    EXPECT_EQ(countColor(render(*w), Green), 30 * 20);
}

TEST(SignalBorder, CircleWithBorderStyleZeroHasNoVisibleBorderAndOneHasATwoPixelBorder)
{
    auto w = coloured(1, 40, 40);
    ASSERT_TRUE(w);
    QImage img = render(*w);
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 40; ++y)
            ASSERT_GT(at(img, x, y).green(), 100) << x << "," << y;

    w->setProperty("Border_Style", 1);
    img = render(*w);
    // Along the middle row: border, fill, border.
    EXPECT_LT(at(img, 0, 20).green(), 100);
    EXPECT_LT(at(img, 1, 20).green(), 100);
    EXPECT_EQ(at(img, 4, 20), Green);
    EXPECT_LT(at(img, 38, 20).green(), 100);
    EXPECT_EQ(at(img, 20, 20), Green);
}

TEST(SignalRobustness, OutOfRangeAndUnknownValuesNeverCrashAndBytesStayBytes)
{
    auto w = makeSignal(0, 33, 33);
    ASSERT_TRUE(w);
    w->setProperty("Type_Signal", 3);
    w->setProperty("Type_Signal", 256);
    w->setProperty("Type_Signal", -1);
    EXPECT_EQ(w->property("Type_Signal").toInt(), 3);
    w->setProperty("Border_Style", 300);
    EXPECT_EQ(w->property("Border_Style").toInt(), 0);
    w->setProperty("Type_Signal", QStringLiteral("abc"));
    EXPECT_EQ(w->property("Type_Signal").toInt(), 3);

    for (const QSize size : {QSize(0, 0), QSize(1, 1), QSize(2, 7), QSize(33, 33), QSize(300, 40)}) {
        w->resize(size);
        for (int type = 0; type <= 12; ++type) {
            w->setProperty("Type_Signal", type);
            for (const int border : {0, 1, 2, 6, 7, 128, 255}) {
                w->setProperty("Border_Style", border);
                w->setProperty("ForeColor", static_cast<int>(0x80000000u | static_cast<unsigned>(border)));
                if (!size.isEmpty())
                    render(*w);
            }
        }
        w->setProperty("Type_Signal", 255);
        if (!size.isEmpty())
            render(*w);
    }
    // Still working afterwards.
    w->resize(40, 40);
    w->setProperty("Type_Signal", 2);
    w->setProperty("ForeColor", GreenValue);
    EXPECT_EQ(inkInRow(render(*w), 39), 40);
}

TEST(SignalPersistence, DefaultsWhenNothingIsStoredAndNewInstanceValues)
{
    auto w = makeSignal(5, 33, 33);
    ASSERT_TRUE(w);
    w->setProperty("Border_Style", 1);
    PersistentControl *p = persistentControl(w.get());
    ASSERT_NE(p, nullptr);

    MapPropertyBag empty;
    p->readProperties(empty);
    EXPECT_EQ(w->property("Type_Signal").toInt(), 0);
    EXPECT_EQ(w->property("Border_Style").toInt(), 0);
    EXPECT_EQ(w->property("ForeColor").toInt(), 255);

    p->initNew();
    EXPECT_EQ(w->property("ForeColor").toInt(), 0);

    // A new instance stores only its colour, which differs from the stored default.
    MapPropertyBag bag;
    p->writeProperties(bag);
    EXPECT_EQ(bag.values.size(), 1);
    EXPECT_EQ(bag.values.value(QStringLiteral("ForeColor")).toInt(), 0);
}

TEST(SignalPersistence, RoundTripThroughAPropertyBag)
{
    auto a = makeSignal(7, 33, 33);
    ASSERT_TRUE(a);
    a->setProperty("Border_Style", 1);
    a->setProperty("ForeColor", static_cast<int>(0x80000008u));
    MapPropertyBag bag;
    persistentControl(a.get())->writeProperties(bag);
    EXPECT_EQ(bag.values.value(QStringLiteral("Type_Signal")).toInt(), 7);
    EXPECT_EQ(bag.values.value(QStringLiteral("Border_Style")).toInt(), 1);
    EXPECT_EQ(bag.values.value(QStringLiteral("ForeColor")).toInt(), static_cast<int>(0x80000008u));

    auto b = makeSignal(0, 33, 33);
    ASSERT_TRUE(b);
    persistentControl(b.get())->readProperties(bag);
    EXPECT_EQ(b->property("Type_Signal").toInt(), 7);
    EXPECT_EQ(b->property("Border_Style").toInt(), 1);
    EXPECT_EQ(b->property("ForeColor").toInt(), static_cast<int>(0x80000008u));
}

TEST(SignalPersistence, StoredValuesThatDoNotFitGiveTheDefaults)
{
    auto w = makeSignal(0, 33, 33);
    ASSERT_TRUE(w);
    MapPropertyBag bag;
    bag.values.insert(QStringLiteral("Type_Signal"), 300);
    bag.values.insert(QStringLiteral("Border_Style"), QStringLiteral("thick"));
    bag.values.insert(QStringLiteral("ForeColor"), QStringLiteral("red"));
    persistentControl(w.get())->readProperties(bag);
    EXPECT_EQ(w->property("Type_Signal").toInt(), 0);
    EXPECT_EQ(w->property("Border_Style").toInt(), 0);
    EXPECT_EQ(w->property("ForeColor").toInt(), 255);

    // A system colour stored unsigned is the same colour.
    bag.values.insert(QStringLiteral("ForeColor"), QVariant::fromValue(0x80000008u));
    persistentControl(w.get())->readProperties(bag);
    EXPECT_EQ(w->property("ForeColor").toInt(), static_cast<int>(0x80000008u));
}

TEST(SignalPersistence, LoadingStoresOnlyAndTheNextResizeLaysOut)
{
    auto w = coloured(0, 40, 40);
    ASSERT_TRUE(w);
    MapPropertyBag bag;
    bag.values.insert(QStringLiteral("Type_Signal"), 2);
    persistentControl(w.get())->readProperties(bag);
    EXPECT_EQ(countColor(render(*w), Green), 40 * 40);
    w->resize(50, 50);
    const QImage img = render(*w);
    EXPECT_EQ(at(img, 0, 0), Paper);
    EXPECT_EQ(inkInRow(img, 49), 50);
}

TEST(SignalPersistence, SettingAPropertyMarksItChanged)
{
    auto w = makeSignal(0, 33, 33);
    ASSERT_TRUE(w);
    PersistentControl *p = persistentControl(w.get());
    MapPropertyBag bag;
    p->writeProperties(bag);
    EXPECT_TRUE(p->changedProperties().isEmpty());

    QSignalSpy spy(w.get(), SIGNAL(propertyChanged(QString)));
    w->setProperty("ForeColor", 5);
    w->setProperty("Type_Signal", 1);
    w->setProperty("ForeColor", 6);
    w->setProperty("Type_Signal", 999);   // does not fit: not set, not marked
    EXPECT_EQ(p->changedProperties(), QStringList({"ForeColor", "Type_Signal"}));
    ASSERT_EQ(spy.count(), 3);
    EXPECT_EQ(spy[1][0].toString(), QStringLiteral("Type_Signal"));

    p->writeProperties(bag);
    EXPECT_TRUE(p->changedProperties().isEmpty());
}
