#include "ControlTestSupport.h"

#include <QPointer>
#include <QTest>

using namespace controltest;

namespace {

// Connected by name, the way the container connects; logs every event in order.
class EventRecorder : public QObject {
    Q_OBJECT
public:
    explicit EventRecorder(QObject *control)
    {
        connectOrFail(control, SIGNAL(Click()), SLOT(click()));
        connectOrFail(control, SIGNAL(DblClick()), SLOT(dblClick()));
        connectOrFail(control, SIGNAL(MouseDown(short, short, float, float)),
                      SLOT(mouseDown(short, short, float, float)));
        connectOrFail(control, SIGNAL(MouseMove(short, short, float, float)),
                      SLOT(mouseMove(short, short, float, float)));
        connectOrFail(control, SIGNAL(MouseUp(short, short, float, float)), SLOT(mouseUp(short, short, float, float)));
    }
    QStringList log;

public Q_SLOTS:
    void click() { log.append(QStringLiteral("Click")); }
    void dblClick() { log.append(QStringLiteral("DblClick")); }
    void mouseDown(short b, short s, float x, float y) { add("MouseDown", b, s, x, y); }
    void mouseMove(short b, short s, float x, float y) { add("MouseMove", b, s, x, y); }
    void mouseUp(short b, short s, float x, float y) { add("MouseUp", b, s, x, y); }

private:
    void connectOrFail(QObject *control, const char *signal, const char *slot)
    {
        EXPECT_TRUE(QObject::connect(control, signal, this, slot)) << signal;
    }
    void add(const char *name, short b, short s, float x, float y)
    {
        log.append(QStringLiteral("%1(%2,%3,%4,%5)").arg(QLatin1String(name)).arg(b).arg(s).arg(x).arg(y));
    }
};

// Deletes the control from its MouseUp handler.
class DeleteOnMouseUp : public QObject {
    Q_OBJECT
public:
    explicit DeleteOnMouseUp(QWidget *control) : target(control)
    {
        QObject::connect(control, SIGNAL(MouseUp(short, short, float, float)), this, SLOT(mouseUp()));
        QObject::connect(control, SIGNAL(Click()), this, SLOT(click()));
    }
    QWidget *target;
    int clicks = 0;

public Q_SLOTS:
    void mouseUp() { delete target; }
    void click() { ++clicks; }
};

QWidget *layerAt(QWidget &control, QPoint p)
{
    QWidget *layer = control.childAt(p);
    EXPECT_NE(layer, nullptr);
    return layer != nullptr ? layer : &control;
}

}   // namespace

TEST(ControlMouse, ClickOnATransparentTriangleCornerRaisesClick)
{
    auto w = makeSignal(2, 100, 100);
    ASSERT_TRUE(w);
    ASSERT_EQ(at(render(*w), 5, 5), Paper);   // nothing drawn there
    EventRecorder events(w.get());
    QTest::mouseClick(layerAt(*w, {5, 5}), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(events.log, QStringList({"MouseDown(1,0,2.5,2.5)", "MouseUp(1,0,2.5,2.5)", "Click"}));
}

TEST(ControlMouse, ClickOutsideTheContourFigureRaisesClick)
{
    auto w = makeControl("Contour1.Contour", 200, 60);
    ASSERT_TRUE(w);
    w->setProperty("Shape", 3);
    EventRecorder events(w.get());
    QTest::mouseClick(layerAt(*w, {3, 3}), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    // The contour's scale is its pixel size.
    EXPECT_EQ(events.log, QStringList({"MouseDown(1,0,3,3)", "MouseUp(1,0,3,3)", "Click"}));
}

TEST(ControlMouse, ButtonsShiftKeysAndCoordinatesAreInTheControlsOwnTerms)
{
    auto w = makeSignal(0, 200, 100);
    ASSERT_TRUE(w);
    EventRecorder events(w.get());
    QWidget *layer = layerAt(*w, {80, 20});
    // 80 of 200 pixels → 20 of 50; 20 of 100 pixels → 10 of 50.
    QTest::mousePress(layer, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(80, 20));
    QTest::mouseRelease(layer, Qt::RightButton, Qt::AltModifier, QPoint(80, 20));
    EXPECT_EQ(events.log, QStringList({"MouseDown(2,3,20,10)", "MouseUp(2,4,20,10)"}));

    // The grid is 50 once a control is 50 twips (four pixels) wide or high: 11 of 22 pixels
    // and 13 of 26 pixels are both 25 of 50. Below that the extent is the control's twips:
    // 1 of 2 pixels is 15 of 30, 2 of 3 pixels is 30 of 45.
    struct Case {
        QSize size;
        QPoint at;
        const char *logged;
    };
    for (const Case c :
         {Case{{22, 26}, {11, 13}, "MouseDown(4,0,25,25)"}, Case{{26, 4}, {13, 2}, "MouseDown(4,0,25,25)"},
          Case{{2, 3}, {1, 2}, "MouseDown(4,0,15,30)"}}) {
        auto small = makeSignal(0, c.size.width(), c.size.height());
        ASSERT_TRUE(small);
        EventRecorder smallEvents(small.get());
        QTest::mousePress(layerAt(*small, c.at), Qt::MiddleButton, Qt::NoModifier, c.at);
        EXPECT_EQ(smallEvents.log, QStringList({QString::fromLatin1(c.logged)}))
            << c.size.width() << "x" << c.size.height();
    }
}

TEST(ControlMouse, MoveReportsTheButtonsHeld)
{
    auto w = makeSignal(0, 50, 50);
    ASSERT_TRUE(w);
    EventRecorder events(w.get());
    QWidget *layer = layerAt(*w, {10, 10});
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 40), QPointF(10, 40), Qt::NoButton,
                     Qt::LeftButton | Qt::RightButton, Qt::ShiftModifier);
    QApplication::sendEvent(layer, &move);
    EXPECT_EQ(events.log, QStringList({"MouseMove(3,1,10,40)"}));
}

TEST(ControlMouse, OnlyALeftButtonReleasedOverTheControlRaisesClick)
{
    auto w = makeSignal(1, 40, 40);
    ASSERT_TRUE(w);
    EventRecorder events(w.get());
    QWidget *layer = layerAt(*w, {20, 20});
    QTest::mouseClick(layer, Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mousePress(layer, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseRelease(layer, Qt::LeftButton, Qt::NoModifier, QPoint(60, 20));
    // 20 of 40 pixels is 25 of the 50 grid; 60 pixels (outside) is 75.
    EXPECT_EQ(
        events.log,
        QStringList({"MouseDown(2,0,25,25)", "MouseUp(2,0,25,25)", "MouseDown(1,0,25,25)", "MouseUp(1,0,75,25)"}));
}

TEST(ControlMouse, DoubleClickRaisesClickOnceThenDblClick)
{
    auto w = makeControl("Contour1.Contour", 60, 60);
    ASSERT_TRUE(w);
    EventRecorder events(w.get());
    QWidget *layer = layerAt(*w, {30, 30});
    // What a double click delivers to a widget: press, release, press, double click, release.
    QTest::mouseClick(layer, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    QTest::mousePress(layer, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    QTest::mouseDClick(layer, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    QTest::mouseRelease(layer, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    EXPECT_EQ(events.log,
              QStringList({"MouseDown(1,0,30,30)", "MouseUp(1,0,30,30)", "Click", "MouseDown(1,0,30,30)", "DblClick",
                           "MouseUp(1,0,30,30)"}));
}

TEST(ControlMouse, ContainerMayDeleteTheControlFromMouseUp)
{
    QPointer<QWidget> w = host().create(QStringLiteral("Signal_Q7.Signal"), nullptr);
    ASSERT_TRUE(w);
    w->resize(40, 40);
    w->show();
    QWidget *layer = layerAt(*w, {20, 20});
    DeleteOnMouseUp container(w);
    QTest::mousePress(layer, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseRelease(layer, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(container.clicks, 0);
}

#include "ControlMouseTest.moc"
