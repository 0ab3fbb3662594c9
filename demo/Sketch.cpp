#include "Sketch.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace demo {

namespace {

QFont diagramFont(int pointSize, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(pointSize);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QPolygon polyline(std::initializer_list<QPoint> points)
{
    QPolygon poly;
    for (const QPoint &pt : points)
        poly << pt;
    return poly;
}

}   // namespace

Sketch::Sketch(QPainter &painter, Drawing *record) : p_(painter), record_(record)
{
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setRenderHint(QPainter::TextAntialiasing, true);
}

void Sketch::frame(bool footer)
{
    p_.fillRect(QRect(0, 0, 800, 480), ink::background);
    p_.fillRect(QRect(0, 0, 800, 44), ink::band);
    p_.setPen(QPen(ink::bandLine, 1));
    p_.drawLine(0, 44, 800, 44);
    if (footer) {
        p_.fillRect(QRect(0, 446, 800, 34), ink::band);
        p_.drawLine(0, 446, 800, 446);
    }
}

void Sketch::pipe(std::initializer_list<QPoint> points, const QColor &colour, int width)
{
    const QPolygon poly = polyline(points);
    p_.setBrush(Qt::NoBrush);
    p_.setPen(QPen(colour.darker(140), width + 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p_.drawPolyline(poly);
    p_.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p_.drawPolyline(poly);
}

void Sketch::arrow(QPoint tip, Dir dir, const QColor &colour, int size)
{
    const int h = size / 2 + 1;
    QPolygon tri;
    switch (dir) {
    case Dir::Right: tri << tip << tip + QPoint(-size, -h) << tip + QPoint(-size, h); break;
    case Dir::Left: tri << tip << tip + QPoint(size, -h) << tip + QPoint(size, h); break;
    case Dir::Up: tri << tip << tip + QPoint(-h, size) << tip + QPoint(h, size); break;
    case Dir::Down: tri << tip << tip + QPoint(-h, -size) << tip + QPoint(h, -size); break;
    }
    p_.setPen(QPen(colour.darker(150), 1));
    p_.setBrush(colour);
    p_.drawPolygon(tri);
}

void Sketch::joint(QPoint at, const QColor &colour, int radius)
{
    p_.setPen(QPen(colour.darker(150), 1));
    p_.setBrush(colour);
    p_.drawEllipse(at, radius, radius);
}

void Sketch::duct(std::initializer_list<QPoint> points, const QColor &edge, int width)
{
    const QPolygon poly = polyline(points);
    p_.setBrush(Qt::NoBrush);
    p_.setPen(QPen(edge.darker(120), width + 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p_.drawPolyline(poly);
    p_.setPen(QPen(edge.lighter(165), width - 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p_.drawPolyline(poly);
}

// A metal vessel of outline `body` (bounding box r), filled with liquid up to `fill` (0..1).
void Sketch::vessel(const QPainterPath &body, const QRect &r, const QColor &liquid, double fill)
{
    p_.setPen(QPen(ink::outline, 1.5));
    p_.setBrush(ink::metal);
    p_.drawPath(body);
    if (fill > 0) {
        const int top = r.bottom() - int((r.height() - 2) * std::clamp(fill, 0.0, 1.0));
        p_.save();
        p_.setClipPath(body);
        p_.fillRect(QRect(r.left(), top, r.width() + 1, r.bottom() - top + 1), liquid);
        p_.restore();
        p_.setPen(QPen(ink::outline, 1.5));
        p_.setBrush(Qt::NoBrush);
        p_.drawPath(body);
    }
}

void Sketch::verticalTank(const QRect &r, const QColor &liquid, double fill)
{
    const int cap = std::min(14, r.width() / 4);
    QPainterPath body;
    body.addRoundedRect(r, r.width() / 2.0, cap);
    vessel(body, r, liquid, fill);
}

void Sketch::horizontalVessel(const QRect &r, const QColor &liquid, double fill)
{
    QPainterPath body;
    body.addRoundedRect(r, r.height() / 2.0, r.height() / 2.0);
    vessel(body, r, liquid, fill);
}

void Sketch::bunker(const QRect &r, double fill)
{
    const int neck = r.width() / 4;
    const int slope = r.height() * 2 / 5;
    QPolygon shape;
    shape << r.topLeft() << r.topRight() << QPoint(r.right(), r.bottom() - slope)
          << QPoint(r.center().x() + neck / 2, r.bottom()) << QPoint(r.center().x() - neck / 2, r.bottom())
          << QPoint(r.left(), r.bottom() - slope);
    QPainterPath path;
    path.addPolygon(shape);
    path.closeSubpath();
    p_.setPen(QPen(ink::outline, 1.5));
    p_.setBrush(ink::metal);
    p_.drawPath(path);
    if (fill > 0) {
        const int top = r.bottom() - int(r.height() * std::clamp(fill, 0.0, 1.0));
        p_.save();
        p_.setClipPath(path);
        QLinearGradient g(0, top, 0, r.bottom());
        g.setColorAt(0, ink::fuel.lighter(150));
        g.setColorAt(1, ink::fuel);
        p_.fillRect(QRect(r.left(), top, r.width() + 1, r.bottom() - top + 1), g);
        p_.restore();
        p_.setPen(QPen(ink::outline, 1.5));
        p_.setBrush(Qt::NoBrush);
        p_.drawPath(path);
    }
}

void Sketch::chimney(const QRect &r)
{
    QPolygon shape;
    const int taper = r.width() / 5;
    shape << QPoint(r.left() + taper, r.top()) << QPoint(r.right() - taper, r.top()) << r.bottomRight()
          << r.bottomLeft();
    QLinearGradient g(r.left(), 0, r.right(), 0);
    g.setColorAt(0, ink::metalDark);
    g.setColorAt(0.5, ink::metal);
    g.setColorAt(1, ink::metalDark);
    p_.setPen(QPen(ink::outline, 1.5));
    p_.setBrush(g);
    p_.drawPolygon(shape);
    p_.setPen(QPen(ink::supply, 2));
    for (int y = r.top() + 12; y < r.top() + 40 && y < r.bottom(); y += 14)
        p_.drawLine(r.left() + taper / 2 + 2, y, r.right() - taper / 2 - 2, y);
}

void Sketch::boiler(const QRect &r, const QString &tag)
{
    // Casing
    p_.setPen(QPen(ink::outline, 2));
    p_.setBrush(ink::metal);
    p_.drawRoundedRect(r, 4, 4);
    // Furnace (left two thirds) with a flame, convective shaft (right third) with tubes
    const int split = r.left() + r.width() * 3 / 5;
    const QRect furnace(r.left() + 8, r.top() + 10, split - r.left() - 14, r.height() - 34);
    p_.setPen(QPen(ink::outline, 1));
    p_.setBrush(QColor(0xFF, 0xF4, 0xE6));
    p_.drawRect(furnace);
    QPainterPath flame;
    const QPointF base(furnace.center().x(), furnace.bottom() - 4);
    const double fh = furnace.height() * 0.55, fw = furnace.width() * 0.32;
    flame.moveTo(base.x() - fw, base.y());
    flame.cubicTo(base.x() - fw, base.y() - fh * 0.6, base.x() - fw * 0.2, base.y() - fh * 0.7, base.x(),
                  base.y() - fh);
    flame.cubicTo(base.x() + fw * 0.2, base.y() - fh * 0.7, base.x() + fw, base.y() - fh * 0.6, base.x() + fw,
                  base.y());
    flame.closeSubpath();
    QLinearGradient g(0, base.y() - fh, 0, base.y());
    g.setColorAt(0, QColor(0xFF, 0xD8, 0x4D));
    g.setColorAt(1, ink::fire);
    p_.setPen(Qt::NoPen);
    p_.setBrush(g);
    p_.drawPath(flame);
    // Grate
    p_.setPen(QPen(ink::outline, 1));
    for (int x = furnace.left() + 4; x < furnace.right() - 2; x += 6)
        p_.drawLine(x, furnace.bottom() - 2, x + 3, furnace.bottom() - 2);
    const QRect shaft(split, r.top() + 10, r.right() - split - 8, r.height() - 34);
    p_.setBrush(QColor(0xF7, 0xF7, 0xF7));
    p_.drawRect(shaft);
    p_.setPen(QPen(ink::returnWater.lighter(130), 2));
    for (int y = shaft.top() + 8; y < shaft.bottom() - 4; y += 10)
        p_.drawLine(shaft.left() + 4, y, shaft.right() - 4, y);
    centredTag(QRect(r.left(), r.bottom() - 22, r.width(), 20), tag, 9, true);
}

void Sketch::scroll(QPoint centre, int radius, Dir outlet)
{
    // A spiral casing: a circle whose radius grows towards the outlet, and the outlet throat.
    QPainterPath path;
    const int steps = 48;
    for (int i = 0; i <= steps; ++i) {
        const double a = 6.2831853 * i / steps;
        const double rr = radius * (0.78 + 0.22 * i / steps);
        const QPointF pt(centre.x() + rr * std::cos(a), centre.y() + rr * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    QRect throat;
    switch (outlet) {
    case Dir::Right: throat = QRect(centre.x(), centre.y() - radius, radius + 10, radius / 2); break;
    case Dir::Left: throat = QRect(centre.x() - radius - 10, centre.y() - radius, radius + 10, radius / 2); break;
    case Dir::Up: throat = QRect(centre.x() + radius / 2, centre.y() - radius - 10, radius / 2, radius + 10); break;
    case Dir::Down: throat = QRect(centre.x() + radius / 2, centre.y(), radius / 2, radius + 10); break;
    }
    p_.setPen(QPen(ink::outline, 1.5));
    p_.setBrush(ink::metalDark);
    p_.drawRect(throat);
    p_.drawPath(path);
}

void Sketch::heatExchanger(const QRect &r)
{
    p_.setPen(QPen(ink::outline, 1.5));
    p_.setBrush(ink::metal);
    p_.drawRoundedRect(r, r.width() / 2.0, 12);
    p_.setPen(QPen(ink::supply.lighter(140), 2));
    const int x0 = r.left() + 8, x1 = r.right() - 8;
    for (int y = r.top() + 16; y < r.bottom() - 14; y += 9)
        p_.drawLine(x0, y, x1, y);
}

void Sketch::tag(QPoint topLeft, const QString &text, int pointSize, bool bold, const QColor &colour)
{
    p_.setFont(diagramFont(pointSize, bold));
    p_.setPen(colour);
    const QFontMetrics fm(p_.font());
    p_.drawText(topLeft + QPoint(0, fm.ascent()), text);
    noteText(QRect(topLeft, QSize(fm.horizontalAdvance(text), fm.height())), text);
}

void Sketch::centredTag(const QRect &r, const QString &text, int pointSize, bool bold, const QColor &colour)
{
    p_.setFont(diagramFont(pointSize, bold));
    p_.setPen(colour);
    p_.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, text);
    noteText(QFontMetrics(p_.font()).boundingRect(r, Qt::AlignCenter | Qt::TextWordWrap, text), text);
}

void Sketch::panel(const QRect &r, const QColor &fill)
{
    p_.setPen(QPen(ink::bandLine, 1));
    p_.setBrush(fill);
    p_.drawRoundedRect(r, 5, 5);
    noteFrame(r);
}

void Sketch::navButton(const QRect &r, bool current)
{
    QLinearGradient g(0, r.top(), 0, r.bottom());
    if (current) {
        g.setColorAt(0, QColor(0x9F, 0xB6, 0xCD));
        g.setColorAt(1, QColor(0xC3, 0xD2, 0xE1));
    } else {
        g.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
        g.setColorAt(1, QColor(0xD9, 0xE1, 0xEA));
    }
    p_.setPen(QPen(current ? ink::outline : ink::bandLine, 1));
    p_.setBrush(g);
    p_.drawRoundedRect(r, 4, 4);
    noteFrame(r);
}

void Sketch::legend(QPoint at, const QColor &colour, const QString &meaning)
{
    p_.setPen(QPen(colour, 4, Qt::SolidLine, Qt::FlatCap));
    p_.drawLine(at + QPoint(0, 6), at + QPoint(22, 6));
    tag(at + QPoint(28, -1), meaning, 7);
}

void Sketch::noteText(const QRect &r, const QString &text)
{
    if (record_)
        record_->texts.push_back({r, text});
}

void Sketch::noteFrame(const QRect &r)
{
    if (record_)
        record_->frames.push_back(r);
}

}   // namespace demo
