#include "animation/ArtPainters.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>
#include <cmath>

namespace art {

using namespace colour;

QImage blank(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void prepare(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QPen outlinePen(qreal w) { return QPen(outline, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

namespace {

QLinearGradient vertical(const QRectF &r, const QColor &top, const QColor &mid, const QColor &bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, top);
    g.setColorAt(0.45, mid);
    g.setColorAt(1.0, bottom);
    return g;
}

QRadialGradient dome(const QPointF &c, qreal r, const QColor &light, const QColor &dark)
{
    QRadialGradient g(c, r, c - QPointF(r * 0.35, r * 0.35));
    g.setColorAt(0.0, light);
    g.setColorAt(1.0, dark);
    return g;
}

// A wheel with `spokes` spokes turned by `angle` degrees: drums, pulleys, couplings.
void drawWheel(QPainter &p, QPointF c, qreal r, int spokes, qreal angle)
{
    p.setPen(outlinePen());
    p.setBrush(dome(c, r, steelLight, steelDark));
    p.drawEllipse(c, r, r);
    p.save();
    p.translate(c);
    p.rotate(angle);
    p.setPen(QPen(outline, std::max<qreal>(1.0, r / 5.0), Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < spokes; ++i) {
        p.drawLine(QPointF(0, 0), QPointF(0, -(r - 1.5)));
        p.rotate(360.0 / spokes);
    }
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(outline);
    p.drawEllipse(c, r / 4.0 + 0.5, r / 4.0 + 0.5);
}

void drawBolt(QPainter &p, QPointF c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(steelDark.darker(130));
    p.drawEllipse(c, 1.3, 1.3);
}

// Four bolts on a circle of radius r round c, at 45, 135, 225 and 315 degrees.
void drawBoltCircle(QPainter &p, QPointF c, qreal r)
{
    for (int i = 0; i < 4; ++i) {
        const double a = (45.0 + 90.0 * i) * M_PI / 180.0;
        drawBolt(p, c + QPointF(r * std::cos(a), r * std::sin(a)));
    }
}

// A volute casing: a round body of radius r round c merged with its outlet, shaded over
// `shade`, and the outlet's flange as a heavy line.
void drawVolute(QPainter &p, QPointF c, qreal r, const QRectF &outlet, const QRectF &shade, const QLineF &flange)
{
    QPainterPath casing;
    casing.addEllipse(c, r, r);
    QPainterPath mouth;
    mouth.addRect(outlet);
    casing = casing.united(mouth);
    p.setPen(outlinePen(1.2));
    p.setBrush(vertical(shade, steelLight, steel, steelDark));
    p.drawPath(casing);
    p.setPen(QPen(outline, 2.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(flange);
}

// One leg of a bucket elevator seen through its window: the belt at x and buckets every 16 px
// from firstY on (step -16 upwards, +16 downwards) over the belt's length, their lips towards
// `side` (+1 right, -1 left).
void drawBucketLeg(QPainter &p, const QRectF &window, qreal x, int side, qreal firstY, qreal step, const QColor &fill)
{
    p.save();
    p.setClipRect(window);
    p.setPen(QPen(outline, 1.0));
    p.drawLine(QPointF(x, window.top()), QPointF(x, window.bottom()));
    for (qreal y = firstY; y > 8 && y < 110; y += step) {
        QPolygonF bucket;
        bucket << QPointF(x, y) << QPointF(x + 5 * side, y) << QPointF(x + 4 * side, y + 5) << QPointF(x, y + 5);
        p.setBrush(fill);
        p.setPen(QPen(outline, 0.8));
        p.drawPolygon(bucket);
    }
    p.restore();
}

QImage mirrored(const QImage &img, bool horizontal, bool verticalFlip)
{
    return img.mirrored(horizontal, verticalFlip);
}

QImage rotatedCw(const QImage &img) { return img.transformed(QTransform().rotate(90)); }

}   // namespace

QImage fanImpeller(int design, int frame)
{
    QImage img = blank(26, 26);
    QPainter p(&img);
    prepare(p);
    p.translate(13, 13);
    if (design == 0) {
        // Centrifugal impeller: backplate and eight backward-curved blades.
        p.setPen(outlinePen(0.8));
        p.setBrush(dome(QPointF(0, 0), 12, QColor(0xc4, 0xcc, 0xd5), QColor(0x7c, 0x87, 0x93)));
        p.drawEllipse(QPointF(0, 0), 12, 12);
        p.rotate(frame * 11.25);
        for (int i = 0; i < 8; ++i) {
            QPainterPath blade;
            blade.moveTo(0, -4);
            blade.quadTo(5.5, -6.5, 6.8, -10.2);
            p.setPen(QPen(QColor(0x3b, 0x45, 0x52), 2.4, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawPath(blade);
            p.rotate(45);
        }
        p.setPen(outlinePen(0.8));
        p.setBrush(QColor(0x3b, 0x45, 0x52));
        p.drawEllipse(QPointF(0, 0), 4, 4);
        p.setBrush(steelLight);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(-0.8, -0.8), 1.3, 1.3);
    } else {
        // Axial propeller: three broad blades.
        p.rotate(frame * 30.0);
        for (int i = 0; i < 3; ++i) {
            QPainterPath blade;
            blade.moveTo(-1.5, -3);
            blade.cubicTo(5, -4, 8.5, -9.5, 3.5, -12.2);
            blade.cubicTo(-1.5, -12.8, -5, -8, -1.5, -3);
            QLinearGradient g(QPointF(-3, -3), QPointF(6, -12));
            g.setColorAt(0, motorLight);
            g.setColorAt(1, motorDark);
            p.setBrush(g);
            p.setPen(outlinePen(0.8));
            p.drawPath(blade);
            p.rotate(120);
        }
        p.setPen(outlinePen(0.8));
        p.setBrush(dome(QPointF(0, 0), 4.5, steelLight, steelDark));
        p.drawEllipse(QPointF(0, 0), 4.5, 4.5);
    }
    return img;
}

QImage fanHousing(int kind)
{
    if (kind < 0 || kind > 7)
        return {};
    QImage img = blank(46, 46);
    {
        QPainter p(&img);
        prepare(p);
        if (kind <= 3) {
            // Volute casing around the impeller at (12, 12), tangential outlet to the right.
            const QPointF c(25, 25);
            drawVolute(p, c, 18, QRectF(25, 7, 19.5, 12), QRectF(7, 7, 38, 36), QLineF(44.5, 5, 44.5, 21));
            // impeller chamber
            p.setPen(outlinePen(0.8));
            p.setBrush(cavity);
            p.drawEllipse(c, 14, 14);
            drawBoltCircle(p, c, 16);
        } else {
            // Square duct frame of an axial fan, impeller at (6, 9), terminal box on the right.
            const QPointF c(19, 22);
            p.setPen(outlinePen(1.2));
            p.setBrush(vertical(QRectF(3, 6, 32, 32), steelLight, steel, steelDark));
            p.drawRoundedRect(QRectF(3, 6, 32, 32), 4, 4);
            p.setPen(outlinePen(0.8));
            p.setBrush(cavity);
            p.drawEllipse(c, 14.5, 14.5);
            drawBolt(p, QPointF(6.5, 9.5));
            drawBolt(p, QPointF(31.5, 9.5));
            drawBolt(p, QPointF(6.5, 34.5));
            drawBolt(p, QPointF(31.5, 34.5));
            p.setPen(outlinePen(1.0));
            p.setBrush(vertical(QRectF(35, 15, 9, 14), motorLight, motor, motorDark));
            p.drawRoundedRect(QRectF(35, 15, 9, 14), 2, 2);
            p.setPen(QPen(motorDark, 1));
            p.drawLine(QPointF(37, 19), QPointF(42, 19));
            p.drawLine(QPointF(37, 22), QPointF(42, 22));
            p.drawLine(QPointF(37, 25), QPointF(42, 25));
        }
    }
    switch (kind) {
    case 1: return mirrored(img, true, false);
    case 2: return mirrored(img, true, true);
    case 3: return mirrored(img, false, true);
    case 5: return rotatedCw(img);
    case 6: return rotatedCw(rotatedCw(img));
    case 7: return rotatedCw(rotatedCw(rotatedCw(img)));
    default: return img;
    }
}

QImage motorHoriz(int frame)
{
    QImage img = blank(40, 20);
    QPainter p(&img);
    prepare(p);
    // feet
    p.setPen(Qt::NoPen);
    p.setBrush(outline);
    p.drawRect(QRectF(10, 16, 5, 3.5));
    p.drawRect(QRectF(24, 16, 5, 3.5));
    // terminal box
    p.setPen(outlinePen(0.8));
    p.setBrush(motorDark);
    p.drawRect(QRectF(16, 0.5, 8, 3.5));
    // ribbed body
    const QRectF body(7, 3, 25, 14);
    p.setPen(outlinePen(1.0));
    p.setBrush(vertical(body, motorLight, motor, motorDark));
    p.drawRoundedRect(body, 2.5, 2.5);
    p.setPen(QPen(QColor(0x1d, 0x3a, 0x66, 150), 0.8));
    for (int y = 6; y <= 14; y += 3)
        p.drawLine(QPointF(9, y), QPointF(30, y));
    // fan cowl at the non-drive end
    p.setPen(outlinePen(0.9));
    p.setBrush(vertical(QRectF(2, 4.5, 6, 11), steel, steelDark, outline));
    p.drawRoundedRect(QRectF(2, 4.5, 6, 11), 2, 2);
    // shaft and coupling; the dark key stripe walks round the coupling frame by frame
    p.setPen(Qt::NoPen);
    p.setBrush(steel);
    p.drawRect(QRectF(32, 8.5, 4, 3));
    const QRectF coupling(35, 4, 4.5, 12);
    p.setPen(outlinePen(0.8));
    p.setBrush(vertical(coupling, steelLight, steel, steelDark));
    p.drawRect(coupling);
    p.setPen(Qt::NoPen);
    p.setBrush(outline);
    const qreal stripe = 4.5 + ((frame % 3 + 3) % 3) * 3.7;
    p.drawRect(QRectF(35.5, stripe, 3.5, 2.6));
    return img;
}

QImage motorVert(int frame) { return rotatedCw(motorHoriz(frame)); }

QImage motorMachine(int kind)
{
    if (kind < 8 || kind > 15)
        return {};
    const bool pumpSet = kind <= 11;
    QImage img = blank(pumpSet ? 56 : 48, pumpSet ? 71 : 59);
    {
        QPainter p(&img);
        prepare(p);
        if (pumpSet) {
            // Pump driven through a belt guard by the motor below it (motor at 8, 47).
            p.setPen(outlinePen(0.8));
            p.setBrush(steelDark);
            p.drawRect(QRectF(0.5, 66.5, 55, 4));
            // belt guard
            p.setPen(outlinePen(1.0));
            p.setBrush(vertical(QRectF(40, 8, 13, 58), safety.lighter(115), safety, safetyDark));
            p.drawRoundedRect(QRectF(40.5, 8.5, 12, 57), 5, 5);
            p.setPen(QPen(QColor(0x20, 0x20, 0x20, 170), 1.6));
            for (int y = 16; y < 60; y += 9)
                p.drawLine(QPointF(42.5, y + 4), QPointF(50.5, y - 2));
            // pedestal
            p.setPen(outlinePen(0.8));
            p.setBrush(steelDark);
            p.drawRect(QRectF(15, 37, 14, 11));
            // volute with discharge nozzle
            const QPointF c(22, 24);
            drawVolute(p, c, 15, QRectF(7, 2, 11, 18), QRectF(7, 2, 30, 37), QLineF(5, 2.5, 20, 2.5));
            // suction eye
            p.setPen(outlinePen(0.8));
            p.setBrush(dome(c, 6.5, steel, cavity));
            p.drawEllipse(c, 6.5, 6.5);
            drawBoltCircle(p, c, 10);
            // drive shaft into the guard
            p.setPen(Qt::NoPen);
            p.setBrush(steel);
            p.drawRect(QRectF(37, 22, 4, 4));
        } else {
            // Gear reducer on top of its motor (motor at 4, 36).
            p.setPen(outlinePen(0.8));
            p.setBrush(steelDark);
            p.drawRect(QRectF(0.5, 55.5, 47, 3));
            // output shaft and flange
            p.setPen(outlinePen(0.8));
            p.setBrush(vertical(QRectF(20, 0, 8, 8), steelLight, steel, steelDark));
            p.drawRect(QRectF(20.5, 0.5, 7, 8));
            p.drawRect(QRectF(15.5, 6.5, 17, 3));
            // coupling housing down to the motor shaft
            p.setBrush(vertical(QRectF(33, 30, 10, 12), steel, steelDark, outline));
            p.drawRect(QRectF(33.5, 30.5, 9, 11));
            // ribbed gearbox
            const QRectF box(5.5, 9.5, 37, 23);
            p.setPen(outlinePen(1.2));
            p.setBrush(vertical(box, QColor(0x9d, 0xc0, 0x8e), QColor(0x5f, 0x8f, 0x55), QColor(0x3a, 0x5c, 0x34)));
            p.drawRoundedRect(box, 4, 4);
            p.setPen(QPen(QColor(0x24, 0x3b, 0x21, 170), 1.1));
            for (int x = 11; x <= 37; x += 6)
                p.drawLine(QPointF(x, 13), QPointF(x, 29));
            drawBolt(p, QPointF(8.5, 12.5));
            drawBolt(p, QPointF(39.5, 12.5));
        }
    }
    switch (kind) {
    case 9:
    case 13: return rotatedCw(img);
    case 10:
    case 14: return mirrored(img, false, true);
    case 11:
    case 15: return mirrored(rotatedCw(img), true, false);
    default: return img;
    }
}

QImage screw(int frame)
{
    QImage img = blank(120, 32);
    QPainter p(&img);
    prepare(p);
    // inlet hopper
    QPolygonF hopper;
    hopper << QPointF(11, 0.5) << QPointF(31, 0.5) << QPointF(26, 10) << QPointF(16, 10);
    p.setPen(outlinePen(1.0));
    p.setBrush(vertical(QRectF(11, 0, 20, 10), steelLight, steel, steelDark));
    p.drawPolygon(hopper);
    // outlet spout
    p.drawRect(QRectF(91.5, 23, 11, 8.5));
    // drive
    p.setBrush(vertical(QRectF(110, 10, 9, 14), motorLight, motor, motorDark));
    p.drawRoundedRect(QRectF(110.5, 10.5, 9, 13), 2, 2);
    // trough with a cut-away showing the flight
    const QRectF tube(4.5, 9.5, 105, 15);
    p.setBrush(vertical(tube, steelLight, steel, steelDark));
    p.drawRoundedRect(tube, 3, 3);
    const QRectF window(8, 11.5, 98, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(cavity);
    p.drawRect(window);
    p.save();
    p.setClipRect(window);
    p.setPen(QPen(outline, 1.4));
    p.drawLine(QPointF(8, 17), QPointF(106, 17));
    const qreal pitch = 18.0;
    const qreal shift = ((frame % 6 + 6) % 6) * pitch / 6.0;
    for (qreal x = -2 * pitch + shift; x < 120; x += pitch) {
        p.setPen(QPen(QColor(0xd9, 0xdf, 0xe6), 3.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(x, 22.5), QPointF(x + 8, 11.5));
        p.setPen(QPen(outline, 1.0));
        p.drawLine(QPointF(x + 1.6, 22.5), QPointF(x + 9.6, 11.5));
    }
    p.restore();
    p.setPen(QPen(outline, 1.6));
    p.drawLine(QPointF(6.5, 10), QPointF(6.5, 24));
    p.drawLine(QPointF(107.5, 10), QPointF(107.5, 24));
    return img;
}

QImage beltConveyor(int frame)
{
    QImage img = blank(120, 30);
    QPainter p(&img);
    prepare(p);
    const int k = (frame % 4 + 4) % 4;
    const qreal shift = (3 - k) * 4.0;   // frames 3, 2, 1, 0 carry the top run to the right
    // support legs
    p.setPen(QPen(steelDark, 2.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(22, 20), QPointF(18, 30));
    p.drawLine(QPointF(98, 20), QPointF(102, 30));
    p.setPen(QPen(steelDark, 1.2));
    p.drawLine(QPointF(20, 26), QPointF(100, 26));
    // belt loop
    p.setPen(outlinePen(1.0));
    p.setBrush(belt);
    p.drawRoundedRect(QRectF(4.5, 4.5, 111, 18), 9, 9);
    p.setBrush(steelDark);
    p.drawRect(QRectF(13, 8.5, 94, 10));
    // idlers
    p.setBrush(steel);
    for (int x = 28; x <= 92; x += 16)
        p.drawEllipse(QPointF(x, 13.5), 2.6, 2.6);
    // marks on the belt: top run to the right, return run to the left
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd0, 0xd4, 0xda));
    for (qreal x = 12 + shift - 16; x < 108; x += 16)
        if (x > 12)
            p.drawRect(QRectF(x, 5.2, 3, 2.0));
    for (qreal x = 108 - shift + 16; x > 12; x -= 16)
        if (x < 106)
            p.drawRect(QRectF(x, 19.8, 3, 2.0));
    // load on the top run
    p.setBrush(product);
    p.setPen(QPen(productDark, 0.7));
    for (qreal x = 18 + shift - 16; x < 100; x += 16)
        if (x > 16) {
            p.drawEllipse(QRectF(x, 1.2, 6, 3.8));
            p.drawEllipse(QRectF(x + 3.5, 0.4, 4.5, 3.4));
        }
    // drums
    drawWheel(p, QPointF(13.5, 13.5), 7.5, 4, shift * 360.0 / (2 * M_PI * 7.5));
    drawWheel(p, QPointF(106.5, 13.5), 7.5, 4, shift * 360.0 / (2 * M_PI * 7.5));
    return img;
}

QImage bucketElevator(bool left, int frame)
{
    // Drawn discharging to the right: buckets rise in the left leg and return in the right one.
    QImage img = blank(48, 120);
    {
        QPainter p(&img);
        prepare(p);
        const int k = (frame % 4 + 4) % 4;
        const qreal rise = k * 4.0;
        // legs
        p.setPen(outlinePen(1.0));
        p.setBrush(vertical(QRectF(8, 16, 32, 92), steelLight, steel, steelDark));
        p.drawRect(QRectF(8.5, 16, 12, 92));
        p.drawRect(QRectF(27.5, 16, 12, 92));
        // boot with inlet chute on the rising side
        QPolygonF chute;
        chute << QPointF(0.5, 98) << QPointF(9, 103) << QPointF(9, 110) << QPointF(0.5, 105);
        p.setBrush(steel);
        p.drawPolygon(chute);
        p.setBrush(vertical(QRectF(4, 103, 40, 16), steel, steelDark, outline));
        p.drawRoundedRect(QRectF(4.5, 103.5, 39, 15.5), 3, 3);
        // windows with the bucket belt
        const QRectF up(11, 24, 7, 78), down(30, 24, 7, 78);
        p.setPen(Qt::NoPen);
        p.setBrush(cavity);
        p.drawRect(up);
        p.drawRect(down);
        drawBucketLeg(p, up, 13, 1, 98 - rise, -16, product);   // full buckets going up
        drawBucketLeg(p, down, 35, -1, 20 + rise, 16, steel);   // empty ones coming down
        // head with discharge spout
        QPolygonF spout;
        spout << QPointF(38, 12) << QPointF(47.5, 18) << QPointF(47.5, 27) << QPointF(38, 22);
        p.setPen(outlinePen(1.0));
        p.setBrush(steel);
        p.drawPolygon(spout);
        QPainterPath head;
        head.moveTo(4.5, 24);
        head.lineTo(4.5, 16);
        head.arcTo(QRectF(4.5, 0.5, 39, 31), 180, -180);
        head.lineTo(43.5, 24);
        head.closeSubpath();
        p.setBrush(vertical(QRectF(4, 0, 40, 24), steelLight, steel, steelDark));
        p.drawPath(head);
        drawWheel(p, QPointF(24, 15), 8, 4, rise * 360.0 / (2 * M_PI * 8));
        drawWheel(p, QPointF(24, 111), 5.5, 4, rise * 360.0 / (2 * M_PI * 5.5));
    }
    return left ? mirrored(img, true, false) : img;
}

QImage inclinedConveyor(bool left, int frame)
{
    // Drawn rising to the right; frames 0..3 carry the top run uphill.
    QImage img = blank(120, 72);
    {
        QPainter p(&img);
        prepare(p);
        const int k = (frame % 4 + 4) % 4;
        const QPointF a(12, 61), b(107, 12);
        const QPointF d = b - a;
        const qreal len = std::hypot(d.x(), d.y());
        const QPointF u = d / len;
        const QPointF n(u.y(), -u.x());   // towards the upper side of the belt
        // supports
        auto along = [&](qreal s) { return a + u * s; };
        p.setPen(QPen(steelDark, 2.2, Qt::SolidLine, Qt::FlatCap));
        for (qreal s : {38.0, 74.0}) {
            const QPointF q = along(s) - n * 4;
            p.drawLine(q, QPointF(q.x(), 71.5));
        }
        p.setPen(QPen(steelDark, 1.2));
        p.drawLine(QPointF(along(38).x(), 69), QPointF(along(74).x(), 69));
        // belt
        p.setPen(QPen(outline, 13, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a, b);
        p.setPen(QPen(belt, 11, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a, b);
        p.setPen(QPen(steelDark, 5, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(a + u * 8, b - u * 8);
        // marks and load move uphill along the top run
        const qreal shift = k * 4.0;
        p.setPen(QPen(QColor(0xd0, 0xd4, 0xda), 2.0, Qt::SolidLine, Qt::FlatCap));
        for (qreal s = 8 + shift; s < len - 6; s += 16) {
            const QPointF q = along(s) + n * 5;
            p.drawLine(q - u * 1.5, q + u * 1.5);
        }
        p.setPen(QPen(productDark, 0.7));
        p.setBrush(product);
        for (qreal s = 14 + shift - 16; s < len - 14; s += 16) {
            if (s < 10)
                continue;
            const QPointF q = along(s) + n * 8;
            p.drawEllipse(q, 3.6, 2.4);
            p.drawEllipse(q + u * 4 + n * 0.6, 2.6, 2.0);
        }
        // drums; the upper one carries a drive
        p.setPen(outlinePen(0.9));
        p.setBrush(vertical(QRectF(104, 0, 14, 10), motorLight, motor, motorDark));
        p.drawRoundedRect(QRectF(105.5, 0.5, 14, 9), 2, 2);
        const qreal turn = shift * 360.0 / (2 * M_PI * 6.5);
        drawWheel(p, a, 6.5, 4, turn);
        drawWheel(p, b, 6.5, 4, turn);
    }
    return left ? mirrored(img, true, false) : img;
}

}   // namespace art
