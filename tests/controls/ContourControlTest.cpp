#include "ControlTestSupport.h"

#include <QSignalSpy>
#include <vector>

using namespace controltest;

namespace {

// Neither the window background (white) nor the window text (black).
const QColor Grey(200, 200, 200);
const QColor Black(0, 0, 0);
const QColor White(255, 255, 255);
const QColor Blue(0, 0, 255);
const int BlueValue = bgr(0, 0, 255);

std::unique_ptr<QWidget> makeContour(int shape, int width, int height)
{
    auto w = makeControl("Contour1.Contour", width, height);
    if (w)
        w->setProperty("Shape", shape);
    return w;
}

// A figure filled blue, so that its fill stands apart from the background and the border.
std::unique_ptr<QWidget> blueContour(int shape, int width, int height)
{
    auto w = makeContour(shape, width, height);
    if (w)
        w->setProperty("BackColor", BlueValue);
    return w;
}

// Leftmost and rightmost non-background pixel of a row.
std::pair<int, int> inkSpan(const QImage &img, int y, const QColor &background)
{
    int first = -1, last = -1;
    for (int x = 0; x < img.width(); ++x) {
        if (img.pixelColor(x, y) != background) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    return {first, last};
}

// Records the order in which a control reads and writes its store.
class RecordingBag : public PropertyBag {
public:
    QVariant readProperty(const QString &name, const QVariant &defaultValue) override
    {
        reads.append(name);
        readDefaults.append(defaultValue);
        return stored.value(name, defaultValue);
    }
    void writeProperty(const QString &name, const QVariant &value, const QVariant &defaultValue) override
    {
        writes.append(name);
        writeDefaults.append(defaultValue);
        stored.insert(name, value);
    }
    QMap<QString, QVariant> stored;
    QStringList reads, writes;
    QVariantList readDefaults, writeDefaults;
};

const QStringList StoreOrder = {"BackColor", "BackStyle", "BorderStyle", "BorderWidth", "BorderColor", "Shape"};

}   // namespace

TEST(ContourProperties, NewInstanceHasTheListedDefaults)
{
    auto w = makeControl("Contour1.Contour", 102, 92);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->property("BackColor").toInt(), static_cast<int>(0x80000005u));
    EXPECT_EQ(w->property("BackStyle").toInt(), 1);
    EXPECT_EQ(w->property("BorderStyle").toInt(), 1);
    EXPECT_EQ(w->property("BorderWidth").toInt(), 1);
    EXPECT_EQ(w->property("BorderColor").toInt(), static_cast<int>(0x80000008u));
    EXPECT_EQ(w->property("Shape").toInt(), 0);
}

TEST(ContourProperties, BackStyleTwoOrMoreReadsBackOneAndRefusedValuesKeepTheOldOne)
{
    auto w = makeContour(0, 50, 50);
    ASSERT_TRUE(w);
    w->setProperty("BackStyle", 5);
    EXPECT_EQ(w->property("BackStyle").toInt(), 1);
    w->setProperty("BackStyle", 0);
    EXPECT_EQ(w->property("BackStyle").toInt(), 0);
    w->setProperty("BackStyle", 32767);
    EXPECT_EQ(w->property("BackStyle").toInt(), 1);

    // Values the figure cannot take.
    w->setProperty("BackStyle", -1);
    EXPECT_EQ(w->property("BackStyle").toInt(), 1);
    w->setProperty("BorderWidth", 0);
    EXPECT_EQ(w->property("BorderWidth").toInt(), 1);
    w->setProperty("BorderWidth", 40000);
    EXPECT_EQ(w->property("BorderWidth").toInt(), 1);
    w->setProperty("Shape", 6);
    w->setProperty("Shape", -1);
    EXPECT_EQ(w->property("Shape").toInt(), 0);
    w->setProperty("BorderStyle", 7);
    EXPECT_EQ(w->property("BorderStyle").toInt(), 1);

    w->setProperty("BorderWidth", 8);
    w->setProperty("Shape", 5);
    w->setProperty("BorderStyle", 6);
    EXPECT_EQ(w->property("BorderWidth").toInt(), 8);
    EXPECT_EQ(w->property("Shape").toInt(), 5);
    EXPECT_EQ(w->property("BorderStyle").toInt(), 6);
}

TEST(ContourFigures, CircleOfAThreeToOneControlIsAsHighAsTheControlAndCentred)
{
    // 3000 × 1000 twips at 15 twips a pixel.
    auto w = blueContour(3, 200, 67);
    ASSERT_TRUE(w);
    const QImage img = render(*w, Grey);
    const auto [left, right] = inkSpan(img, 33, Grey);
    EXPECT_NEAR(left, 66, 1);
    EXPECT_NEAR(right, 133, 1);
    EXPECT_NEAR(left + right, 199, 1);   // centred
    EXPECT_EQ(at(img, 100, 33), Blue);
    EXPECT_EQ(at(img, 30, 33), Grey);
    EXPECT_EQ(at(img, 170, 33), Grey);
    // Top and bottom touch the control's edges in the middle column.
    EXPECT_NE(at(img, 100, 0), Grey);
    EXPECT_NE(at(img, 100, 66), Grey);
    EXPECT_EQ(at(img, 66, 3), Grey);
}

TEST(ContourFigures, OvalFillsTheControl)
{
    auto w = blueContour(2, 200, 67);
    ASSERT_TRUE(w);
    const QImage img = render(*w, Grey);
    const auto [left, right] = inkSpan(img, 33, Grey);
    EXPECT_LE(left, 1);
    EXPECT_GE(right, 198);
    EXPECT_EQ(at(img, 10, 33), Blue);
    EXPECT_EQ(at(img, 0, 0), Grey);
    EXPECT_EQ(at(img, 199, 66), Grey);
}

TEST(ContourFigures, RectangleAndSquareWithTheirOnePixelBorder)
{
    auto rect = blueContour(0, 60, 30);
    ASSERT_TRUE(rect);
    QImage img = render(*rect, Grey);
    EXPECT_EQ(countColor(img, Black), 2 * 60 + 2 * 28);
    EXPECT_EQ(at(img, 0, 0), Black);
    EXPECT_EQ(at(img, 59, 29), Black);
    EXPECT_EQ(countColor(img, Blue), 58 * 28);

    auto square = makeContour(1, 60, 30);
    ASSERT_TRUE(square);
    img = render(*square, Grey);
    // 30 × 30 in the middle of 60 × 30.
    EXPECT_EQ(inkSpan(img, 15, Grey), std::make_pair(15, 44));
    EXPECT_EQ(at(img, 15, 15), Black);
    EXPECT_EQ(at(img, 16, 15), White);
    EXPECT_EQ(at(img, 44, 0), Black);
}

TEST(ContourFigures, RoundedFiguresLeaveTheCornersEmpty)
{
    for (const int shape : {4, 5}) {
        auto w = blueContour(shape, 90, 60);
        ASSERT_TRUE(w);
        const QImage img = render(*w, Grey);
        const int left = shape == 4 ? 0 : 15;
        const int right = shape == 4 ? 89 : 74;
        EXPECT_EQ(at(img, left, 0), Grey) << shape;
        EXPECT_EQ(at(img, right, 59), Grey) << shape;
        EXPECT_EQ(at(img, 45, 30), Blue) << shape;
        EXPECT_NE(at(img, 45, 0), Grey) << shape;      // top edge, mid
        EXPECT_NE(at(img, left, 30), Grey) << shape;   // left edge, mid
        if (shape == 5) {
            EXPECT_EQ(at(img, left - 1, 30), Grey);
        }
    }
}

TEST(ContourFigures, FillAndBorderFollowTheirStyles)
{
    auto w = blueContour(0, 40, 40);
    ASSERT_TRUE(w);
    w->setProperty("BackStyle", 0);
    QImage img = render(*w, Grey);
    EXPECT_EQ(at(img, 20, 20), Grey);
    EXPECT_EQ(at(img, 0, 20), Black);

    w->setProperty("BackStyle", 1);
    w->setProperty("BorderStyle", 0);
    img = render(*w, Grey);
    EXPECT_EQ(countColor(img, Blue), 40 * 40);

    w->setProperty("BorderStyle", 1);
    w->setProperty("BorderWidth", 5);
    w->setProperty("BorderColor", bgr(255, 0, 0));
    img = render(*w, Grey);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(at(img, x, 20), QColor(255, 0, 0)) << x;
    EXPECT_EQ(at(img, 5, 20), Blue);
    EXPECT_EQ(at(img, 34, 20), Blue);
    EXPECT_EQ(at(img, 39, 20), QColor(255, 0, 0));

    // Dashed: the top edge has gaps.
    w->setProperty("BorderWidth", 1);
    w->setProperty("BorderStyle", 2);
    img = render(*w, Grey);
    const int red = [&] {
        int n = 0;
        for (int x = 0; x < 40; ++x)
            n += at(img, x, 0) == QColor(255, 0, 0) ? 1 : 0;
        return n;
    }();
    EXPECT_GT(red, 10);
    EXPECT_LT(red, 38);
}

TEST(ContourFigures, ResizingKeepsTheFigureFillingTheControl)
{
    auto w = blueContour(0, 40, 40);
    ASSERT_TRUE(w);
    w->resize(80, 20);
    const QImage img = render(*w, Grey);
    EXPECT_EQ(img.size(), QSize(80, 20));
    EXPECT_EQ(at(img, 79, 19), Black);
    EXPECT_EQ(countColor(img, Blue), 78 * 18);
}

TEST(ContourPersistence, StoreHoldingOnlyShapeThreeGivesTheDefaultOpaqueCircle)
{
    auto w = makeContour(0, 60, 60);
    ASSERT_TRUE(w);
    MapPropertyBag bag;
    bag.values.insert(QStringLiteral("Shape"), 3);
    persistentControl(w.get())->readProperties(bag);
    const QImage img = render(*w, Grey);
    EXPECT_EQ(at(img, 30, 30), White);   // window background fill
    // Window text border, one pixel (smoothed over two at most).
    EXPECT_LT(std::min(at(img, 30, 0).value(), at(img, 30, 1).value()), 60);
    EXPECT_EQ(at(img, 30, 2), White);
    EXPECT_EQ(at(img, 1, 1), Grey);
    EXPECT_EQ(w->property("BorderWidth").toInt(), 1);
}

TEST(ContourPersistence, SavesAndLoadsTheSixValuesInOrderWithTheirDefaults)
{
    auto a = blueContour(4, 60, 60);
    ASSERT_TRUE(a);
    a->setProperty("BackStyle", 0);
    a->setProperty("BorderStyle", 3);
    a->setProperty("BorderWidth", 2);
    a->setProperty("BorderColor", bgr(1, 2, 3));
    RecordingBag bag;
    persistentControl(a.get())->writeProperties(bag);
    EXPECT_EQ(bag.writes, StoreOrder);
    EXPECT_EQ(bag.writeDefaults,
              QVariantList({static_cast<int>(0x80000005u), 1, 1, 1, static_cast<int>(0x80000008u), 0}));

    auto b = makeContour(0, 60, 60);
    ASSERT_TRUE(b);
    persistentControl(b.get())->readProperties(bag);
    EXPECT_EQ(bag.reads, StoreOrder);
    EXPECT_EQ(bag.readDefaults, bag.writeDefaults);
    for (const QString &name : StoreOrder)
        EXPECT_EQ(b->property(name.toLatin1()).toInt(), a->property(name.toLatin1()).toInt()) << name.toStdString();
}

TEST(ContourPersistence, AStoredValueThatCannotBeAppliedIsSkippedAndLoadingGoesOn)
{
    auto w = makeContour(0, 60, 60);
    ASSERT_TRUE(w);
    w->setProperty("BorderWidth", 4);
    MapPropertyBag bag;
    bag.values.insert(QStringLiteral("BackStyle"), QStringLiteral("opaque"));
    bag.values.insert(QStringLiteral("BorderStyle"), 9);
    bag.values.insert(QStringLiteral("BorderWidth"), 0);
    bag.values.insert(QStringLiteral("BackColor"), QStringLiteral("blue"));
    bag.values.insert(QStringLiteral("BorderColor"), QVariant::fromValue(0x80000012u));
    bag.values.insert(QStringLiteral("Shape"), 2);
    persistentControl(w.get())->readProperties(bag);
    EXPECT_EQ(w->property("BackStyle").toInt(), 1);
    EXPECT_EQ(w->property("BorderStyle").toInt(), 1);
    EXPECT_EQ(w->property("BorderWidth").toInt(), 4);
    EXPECT_EQ(w->property("BackColor").toInt(), static_cast<int>(0x80000005u));
    EXPECT_EQ(w->property("BorderColor").toInt(), static_cast<int>(0x80000012u));
    EXPECT_EQ(w->property("Shape").toInt(), 2);
}

TEST(ContourPersistence, ValuesEqualToTheirDefaultsNeedNotBeStoredAndChangesAreMarked)
{
    auto w = makeControl("Contour1.Contour", 60, 60);
    ASSERT_TRUE(w);
    PersistentControl *p = persistentControl(w.get());
    ASSERT_NE(p, nullptr);
    MapPropertyBag bag;
    p->writeProperties(bag);
    EXPECT_TRUE(bag.values.isEmpty());

    QSignalSpy spy(w.get(), SIGNAL(propertyChanged(QString)));
    w->setProperty("Shape", 3);
    w->setProperty("BorderWidth", 0);   // refused: not marked
    EXPECT_EQ(p->changedProperties(), QStringList({"Shape"}));
    EXPECT_EQ(spy.count(), 1);
    p->writeProperties(bag);
    EXPECT_EQ(bag.values.keys(), QStringList({"Shape"}));
    EXPECT_TRUE(p->changedProperties().isEmpty());

    p->initNew();
    EXPECT_EQ(w->property("Shape").toInt(), 0);
}

TEST(ContourRobustness, AnyValueAtAnySizeDrawsWithoutFault)
{
    auto w = makeContour(0, 30, 30);
    ASSERT_TRUE(w);
    const std::vector<int> values = {-40000, -32768, -1, 0, 1, 2, 3, 5, 6, 7, 255, 8192, 32767, 70000};
    for (const QSize size : {QSize(1, 1), QSize(2, 9), QSize(30, 30), QSize(300, 4)}) {
        w->resize(size);
        for (const int shape : {0, 1, 2, 3, 4, 5}) {
            w->setProperty("Shape", shape);
            for (const int v : values) {
                w->setProperty("BorderWidth", v);
                w->setProperty("BorderStyle", v);
                w->setProperty("BackStyle", v);
                w->setProperty("BackColor", static_cast<int>(0x80000000u | static_cast<unsigned>(v & 0xFF)));
                w->setProperty("BorderColor", v);
                render(*w, Grey);
            }
        }
    }
    EXPECT_GE(w->property("BorderWidth").toInt(), 1);
    EXPECT_LE(w->property("BorderStyle").toInt(), 6);
    EXPECT_EQ(w->property("Shape").toInt(), 5);
}
