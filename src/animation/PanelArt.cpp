#include "animation/ArtPainters.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace art {

using namespace colour;

namespace {

// The bold sans-serif of captions on pictures, by pixel size.
QFont boldSans(int pixelSize)
{
    QFont f(QStringLiteral("Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    return f;
}

// Header colour of a block by what the block does.
QColor blockFamilyColour(int type)
{
    switch (type) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5: return QColor(0x2e, 0x8b, 0x57);   // inputs and outputs
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
    case 28:
    case 31:
    case 33:
    case 34:
    case 35: return QColor(0x2f, 0x6d, 0xb5);   // arithmetic
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
    case 44:
    case 49: return QColor(0x7b, 0x4f, 0xa8);   // logic
    case 25:
    case 26:
    case 27:
    case 29:
    case 45:
    case 46: return QColor(0xd0, 0x72, 0x1c);   // regulation and panels
    case 30:
    case 36:
    case 37:
    case 38:
    case 50: return QColor(0x1f, 0x8f, 0x95);   // time
    case 6:
    case 41:
    case 42:
    case 43:
    case 47:
    case 48: return QColor(0x4a, 0x5a, 0x6e);   // system and archives
    default: return QColor(0xa8, 0xae, 0xb5);   // unused type numbers
    }
}

// A short sign in the body of a block picture saying what the block does.
QString blockGlyph(int type)
{
    switch (type) {
    case 1:
    case 2: return QStringLiteral("\u223F");   // analog signal
    case 3:
    case 4: return QStringLiteral("0/1");
    case 5: return QStringLiteral("\u21C4");   // serial exchange
    case 6: return QStringLiteral("\u2699");
    case 9: return QStringLiteral("\u00D7");
    case 10: return QStringLiteral("\u03A3");
    case 11: return QStringLiteral("\u00F7");
    case 12: return QStringLiteral("\u221A");
    case 13: return QStringLiteral("|x|");
    case 17: return QStringLiteral("&");
    case 18: return QStringLiteral("\u22651");
    case 19: return QStringLiteral("=1");
    case 20: return QStringLiteral("T");
    case 21: return QStringLiteral("\u21C9");
    case 25: return QStringLiteral("\u25CE");   // set-point target
    case 26: return QStringLiteral("\u222B");
    case 27: return QStringLiteral("\u21F6");
    case 28: return QStringLiteral("\u0192");
    case 29: return QStringLiteral("\u25A6");
    case 30: return QStringLiteral("\u25F7");
    case 31: return QStringLiteral("#");
    case 33: return QStringLiteral("\u2276");
    case 34: return QStringLiteral("\u2195");
    case 35: return QStringLiteral("\u2277");
    case 36: return QStringLiteral("\u25D4");
    case 37: return QStringLiteral("N+");
    case 38: return QStringLiteral("\u2293\u2294");
    case 44: return QStringLiteral("\u2261");
    case 45: return QStringLiteral("f(x)");
    case 46: return QStringLiteral("\u25C8");
    case 47: return QStringLiteral("\u25A3");
    case 48: return QStringLiteral("\u25A4");
    case 49: return QStringLiteral("\u00AC");
    case 50: return QStringLiteral("\u2328");
    default: return {};
    }
}

void drawPictogram(QPainter &p, int type, const QRectF &r)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    if (type == 41) {   // trend
        p.setPen(QPen(outline, 0.8));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.bottomLeft(), r.topLeft());
        QPolygonF a, b;
        a << QPointF(r.left() + 1, r.bottom() - 3) << QPointF(r.left() + 6, r.top() + 4)
          << QPointF(r.left() + 11, r.bottom() - 5) << QPointF(r.right() - 1, r.top() + 1);
        b << QPointF(r.left() + 1, r.bottom() - 1.5) << QPointF(r.left() + 8, r.bottom() - 6)
          << QPointF(r.right() - 1, r.bottom() - 2);
        p.setPen(QPen(QColor(0xd3, 0x2f, 0x2f), 1.3));
        p.drawPolyline(a);
        p.setPen(QPen(QColor(0x1e, 0x63, 0xc7), 1.3));
        p.drawPolyline(b);
    } else if (type == 42) {   // journal
        p.setPen(QPen(outline, 0.8));
        p.setBrush(Qt::white);
        p.drawRect(r.adjusted(2, 0, -2, 0));
        for (int i = 0; i < 4; ++i) {
            const qreal y = r.top() + 2.5 + i * 3;
            p.setPen(QPen(i == 1 ? QColor(0xd3, 0x2f, 0x2f) : steelDark, 1.0));
            p.drawLine(QPointF(r.left() + 4, y), QPointF(r.right() - 4, y));
        }
    } else if (type == 43) {   // SCADA screen
        p.setPen(QPen(outline, 0.8));
        p.setBrush(QColor(0x1e, 0x3f, 0x66));
        p.drawRect(r.adjusted(1, 0, -1, -3));
        p.setBrush(QColor(0x5c, 0xd0, 0x6a));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(r.left() + 5, r.top() + 4), 1.6, 1.6);
        p.setBrush(QColor(0xf0, 0x5a, 0x4a));
        p.drawEllipse(QPointF(r.left() + 10, r.top() + 4), 1.6, 1.6);
        p.setPen(QPen(outline, 1.2));
        p.drawLine(QPointF(r.center().x(), r.bottom() - 3), QPointF(r.center().x(), r.bottom()));
        p.drawLine(QPointF(r.center().x() - 4, r.bottom()), QPointF(r.center().x() + 4, r.bottom()));
    }
    p.restore();
}

// A round push button: steel bezel and a coloured cap.
void drawPushButton(QPainter &p, QPointF c, qreal r, const QColor &cap, bool lit = false)
{
    QRadialGradient bezel(c, r, c - QPointF(r * 0.4, r * 0.4));
    bezel.setColorAt(0, steelLight);
    bezel.setColorAt(1, steelDark);
    p.setPen(outlinePen(1.0));
    p.setBrush(bezel);
    p.drawEllipse(c, r, r);
    const qreal rc = r * 0.74;
    if (lit) {
        QRadialGradient glow(c, r * 1.05);
        glow.setColorAt(0.6, QColor(cap.red(), cap.green(), cap.blue(), 140));
        glow.setColorAt(1.0, QColor(cap.red(), cap.green(), cap.blue(), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(c, r * 1.05, r * 1.05);
    }
    QRadialGradient g(c, rc, c - QPointF(rc * 0.35, rc * 0.45));
    g.setColorAt(0, cap.lighter(lit ? 170 : 145));
    g.setColorAt(1, cap.darker(lit ? 105 : 130));
    p.setPen(outlinePen(0.8));
    p.setBrush(g);
    p.drawEllipse(c, rc, rc);
}

void drawArrow(QPainter &p, QPointF c, qreal size, qreal angle)
{
    p.save();
    p.translate(c);
    p.rotate(angle);
    QPolygonF tri;
    tri << QPointF(0, -size) << QPointF(size * 0.9, size * 0.55) << QPointF(-size * 0.9, size * 0.55);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(tri);
    p.restore();
}

void drawLamp(QPainter &p, QPointF c, qreal r, bool on)
{
    QRadialGradient g(c, r, c - QPointF(r * 0.3, r * 0.3));
    g.setColorAt(0, on ? QColor(0xb8, 0xff, 0xb0) : QColor(0x9a, 0xa0, 0xa6));
    g.setColorAt(1, on ? QColor(0x1f, 0xb0, 0x33) : QColor(0x4e, 0x55, 0x5c));
    p.setPen(outlinePen(0.7));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

QImage toggleSwitch(bool on)
{
    QImage img = blank(40, 40);
    QPainter p(&img);
    prepare(p);
    QLinearGradient plate(QPointF(0, 0), QPointF(40, 40));
    plate.setColorAt(0, steelLight);
    plate.setColorAt(1, steel);
    p.setPen(outlinePen(1.0));
    p.setBrush(plate);
    p.drawRoundedRect(QRectF(5.5, 1.5, 29, 37), 4, 4);
    p.setPen(QPen(outline, 1.2));
    p.setFont(QFont(QStringLiteral("Sans"), 5, QFont::Bold));
    p.drawText(QRectF(7, 3, 8, 8), Qt::AlignCenter, QStringLiteral("I"));
    p.drawText(QRectF(7, 29, 8, 8), Qt::AlignCenter, QStringLiteral("0"));
    drawLamp(p, QPointF(29, 7), 3, on);
    // lever
    const QPointF pivot(20, 20);
    const QPointF tip(20, on ? 5.5 : 34.5);
    p.setPen(QPen(outline, 5.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(pivot, tip);
    p.setPen(QPen(steelLight, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(pivot, tip);
    p.setPen(outlinePen(0.9));
    QRadialGradient nut(pivot, 6, pivot - QPointF(2, 2));
    nut.setColorAt(0, steelLight);
    nut.setColorAt(1, steelDark);
    p.setBrush(nut);
    p.drawEllipse(pivot, 6, 6);
    p.setBrush(QColor(0x23, 0x26, 0x2b));
    p.drawEllipse(tip, 3.2, 3.2);
    return img;
}

QImage selectorSwitch(bool on)
{
    QImage img = blank(40, 40);
    QPainter p(&img);
    prepare(p);
    drawPushButton(p, QPointF(20, 22), 16.5, QColor(0x39, 0x3e, 0x45));
    p.setPen(QPen(outline, 1.0));
    p.setFont(QFont(QStringLiteral("Sans"), 5, QFont::Bold));
    p.drawText(QRectF(0, 0, 12, 9), Qt::AlignCenter, QStringLiteral("0"));
    p.drawText(QRectF(28, 0, 12, 9), Qt::AlignCenter, QStringLiteral("I"));
    p.save();
    p.translate(20, 22);
    p.rotate(on ? 45 : -45);
    p.setPen(outlinePen(0.8));
    p.setBrush(QColor(0xe8, 0xea, 0xee));
    p.drawRoundedRect(QRectF(-3.2, -12, 6.4, 24), 3, 3);
    p.setBrush(on ? QColor(0x2b, 0xc0, 0x3e) : QColor(0xd2, 0x3a, 0x2e));
    p.drawEllipse(QPointF(0, -8.5), 1.8, 1.8);
    p.restore();
    return img;
}

QImage illuminatedButton(bool on)
{
    QImage img = blank(40, 40);
    QPainter p(&img);
    prepare(p);
    drawPushButton(p, QPointF(20, 20), 17.5, on ? QColor(0x35, 0xd0, 0x4a) : QColor(0x2e, 0x5e, 0x35), on);
    p.setPen(QPen(on ? QColor(0xff, 0xff, 0xff, 230) : QColor(0xc0, 0xc8, 0xc0, 160), 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(20, 20), 6, 6);
    return img;
}

}   // namespace

QImage blockPicture(int type, const QString &code, int inputStubs, int outputStubs)
{
    QImage img = blank(40, 40);
    QPainter p(&img);
    prepare(p);
    const QRectF body(6.5, 2.5, 27, 35);
    const QColor family = blockFamilyColour(type);
    const bool unused = code == QStringLiteral("NO_") || code.isEmpty();
    // pin stubs
    auto stubs = [&](int n, qreal x0, qreal x1) {
        if (n <= 0)
            return;
        const qreal top = body.top() + 12, bottom = body.bottom() - 3;
        for (int i = 0; i < n; ++i) {
            const qreal y = n == 1 ? (top + bottom) / 2 : top + (bottom - top) * i / (n - 1);
            p.setPen(QPen(outline, 1.2, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(x0, y), QPointF(x1, y));
        }
    };
    stubs(inputStubs, 1, body.left());
    stubs(outputStubs, body.right(), 39);
    // body
    p.setPen(unused ? QPen(steelDark, 1.0, Qt::DashLine) : outlinePen(1.0));
    p.setBrush(unused ? QColor(0xf1, 0xf2, 0xf4) : QColor(0xfb, 0xfc, 0xfd));
    p.drawRoundedRect(body, 3, 3);
    // header band with the type code
    QPainterPath band;
    band.addRoundedRect(QRectF(body.left(), body.top(), body.width(), 11), 3, 3);
    QPainterPath square;
    square.addRect(QRectF(body.left(), body.top() + 5, body.width(), 6));
    band = band.united(square);
    p.setPen(Qt::NoPen);
    p.setBrush(family);
    p.drawPath(band);
    p.setPen(unused ? QPen(steelDark, 1.0, Qt::DashLine) : outlinePen(1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body, 3, 3);
    p.setFont(boldSans(8));
    p.setPen(Qt::white);
    p.drawText(QRectF(body.left(), body.top(), body.width(), 11), Qt::AlignCenter, code);
    // body: a pictogram for the schema's icons, otherwise the type number
    const QRectF inner(body.left() + 4, body.top() + 14, body.width() - 8, body.height() - 17);
    if (type == 41 || type == 42 || type == 43) {
        drawPictogram(p, type, inner);
    } else if (!unused) {
        const QString glyph = blockGlyph(type);
        p.setFont(boldSans(glyph.size() > 2 ? 9 : 13));
        p.setPen(family.darker(135));
        p.drawText(inner, Qt::AlignCenter, glyph);
    }
    return img;
}

QImage stopImage(int picture)
{
    if (picture == 0) {
        // Emergency stop: red mushroom on a yellow collar, drawn 10 px wider all round.
        QImage img = blank(60, 60);
        QPainter p(&img);
        prepare(p);
        const QPointF c(30, 30);
        QRadialGradient collar(c, 29, c - QPointF(8, 8));
        collar.setColorAt(0, safety.lighter(120));
        collar.setColorAt(1, safetyDark);
        p.setPen(outlinePen(1.0));
        p.setBrush(collar);
        p.drawEllipse(c, 28.5, 28.5);
        QRadialGradient cap(c, 18, c - QPointF(6, 7));
        cap.setColorAt(0, QColor(0xff, 0x7a, 0x6e));
        cap.setColorAt(1, QColor(0xa8, 0x12, 0x0c));
        p.setBrush(cap);
        p.drawEllipse(c, 18.5, 18.5);
        p.setFont(boldSans(9));
        p.setPen(Qt::white);
        p.drawText(QRectF(12, 24, 36, 12), Qt::AlignCenter, QStringLiteral("STOP"));
        return img;
    }
    if (picture == 4)
        return toggleSwitch(true);
    if (picture == 12)
        return selectorSwitch(true);
    if (picture == 13)
        return illuminatedButton(true);
    if (picture < 0 || picture > 15)
        return {};

    QImage img = blank(40, 40);
    QPainter p(&img);
    prepare(p);
    const QPointF c(20, 20);
    const QColor blue(0x2f, 0x62, 0xa8), grey(0x4d, 0x55, 0x5f);
    p.setFont(boldSans(15));
    switch (picture) {
    case 1:   // start
        drawPushButton(p, c, 18, QColor(0x23, 0xa3, 0x3a));
        p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(20, 13), QPointF(20, 27));
        break;
    case 2:   // stop
        drawPushButton(p, c, 18, QColor(0xc8, 0x22, 0x1a));
        p.setPen(QPen(Qt::white, 3.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, 6.5, 6.5);
        break;
    case 3:
        drawPushButton(p, c, 18, blue);
        drawArrow(p, c, 7, 0);
        break;
    case 5:
        drawPushButton(p, c, 18, blue);
        drawArrow(p, c, 7, 180);
        break;
    case 6:
        drawPushButton(p, c, 18, blue);
        drawArrow(p, c, 7, 270);
        break;
    case 7:
        drawPushButton(p, c, 18, blue);
        drawArrow(p, c, 7, 90);
        break;
    case 8:
    case 9:
        drawPushButton(p, c, 18, grey);
        p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(13, 20), QPointF(27, 20));
        if (picture == 8)
            p.drawLine(QPointF(20, 13), QPointF(20, 27));
        break;
    case 10: {   // reset
        drawPushButton(p, c, 18, grey);
        p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(13, 13, 14, 14), 60 * 16, 270 * 16);
        QPolygonF head;
        head << QPointF(24.5, 10) << QPointF(29, 15.5) << QPointF(22, 16.5);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(head);
        break;
    }
    case 11:   // stop, black cap with a square
        drawPushButton(p, c, 18, QColor(0x22, 0x24, 0x28));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(14.5, 14.5, 11, 11));
        break;
    case 14:   // acknowledge
        drawPushButton(p, c, 18, QColor(0xe8, 0xb4, 0x12));
        p.setPen(QPen(outline, 3.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(20, 12.5), QPointF(20, 23));
        p.drawPoint(QPointF(20, 27.5));
        break;
    case 15:   // run sequence
        drawPushButton(p, c, 18, QColor(0x1f, 0x8f, 0x95));
        drawArrow(p, c + QPointF(1, 0), 7, 90);
        break;
    default: break;
    }
    return img;
}

QImage switchOff(int picture)
{
    switch (picture) {
    case 4: return toggleSwitch(false);
    case 12: return selectorSwitch(false);
    case 13: return illuminatedButton(false);
    default: return {};
    }
}

QImage trendIcon()
{
    QImage img = blank(48, 36);
    QPainter p(&img);
    prepare(p);
    p.setPen(outlinePen(1.0));
    p.setBrush(QColor(0xfb, 0xfc, 0xfd));
    p.drawRoundedRect(QRectF(0.5, 0.5, 47, 35), 3, 3);
    p.setPen(QPen(QColor(0xd5, 0xdb, 0xe2), 0.8));
    for (int x = 12; x < 46; x += 9)
        p.drawLine(QPointF(x, 4), QPointF(x, 30));
    for (int y = 9; y < 30; y += 7)
        p.drawLine(QPointF(6, y), QPointF(45, y));
    p.setPen(QPen(outline, 1.0));
    p.drawLine(QPointF(6, 4), QPointF(6, 30));
    p.drawLine(QPointF(6, 30), QPointF(45, 30));
    QPolygonF red, blue;
    red << QPointF(7, 24) << QPointF(14, 15) << QPointF(21, 19) << QPointF(28, 8) << QPointF(35, 12) << QPointF(44, 6);
    blue << QPointF(7, 28) << QPointF(15, 26) << QPointF(22, 22) << QPointF(30, 24) << QPointF(37, 18)
         << QPointF(44, 20);
    p.setPen(QPen(QColor(0xd3, 0x2f, 0x2f), 1.6));
    p.drawPolyline(red);
    p.setPen(QPen(QColor(0x1e, 0x63, 0xc7), 1.6));
    p.drawPolyline(blue);
    return img;
}

QImage menuPlate()
{
    QImage img = blank(140, 40);
    QPainter p(&img);
    prepare(p);
    QLinearGradient g(QPointF(0, 0), QPointF(0, 40));
    g.setColorAt(0, QColor(0xf2, 0xf5, 0xf8));
    g.setColorAt(1, QColor(0xb4, 0xbf, 0xcb));
    p.setPen(QPen(steelDark, 1.0));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, 139, 39), 5, 5);
    QPolygonF arrow;
    arrow << QPointF(123, 13) << QPointF(133, 20) << QPointF(123, 27);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x62, 0xa8));
    p.drawPolygon(arrow);
    return img;
}

}   // namespace art
