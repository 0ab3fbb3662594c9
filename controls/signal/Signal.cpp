#include "Signal.h"

#include "../common/Borders.h"
#include "../common/ColorValue.h"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace {

constexpr int GridExtent = 50;

bool fitsByte(int value) { return value >= 0 && value <= 255; }

}   // namespace

bool Signal::Square::setBorder(int value) { return controls::assignWithin(border, value, 0, 1); }

bool Signal::Circle::setBorderStyle(int value)
{
    return controls::assignWithin(borderStyle, value, 0, controls::MaxBorderStyle);
}

bool Signal::Circle::setBorderWidth(int value)
{
    return controls::assignWithin(borderWidth, value, 1, controls::MaxBorderWidth);
}

Signal::Signal(QWidget *parent) : ControlWidget(QStringLiteral("Signal"), parent)
{
    initNew();
    resize(DefaultSize, DefaultSize);
    layOut();
}

void Signal::showPrimitivesOf(int type)
{
    switch (type) {
    case 0:
    case 6:
    case 7:
        sCircle_.visible = false;
        kwadrat_.visible = true;
        break;
    case 1:
        kwadrat_.visible = false;
        sCircle_.visible = true;
        break;
    case 2:
    case 3:
    case 4:
    case 5:
        sCircle_.visible = false;
        kwadrat_.visible = false;
        break;
    default: break;
    }
}

void Signal::setType_Signal(int New_Type_Signal)
{
    if (!fitsByte(New_Type_Signal))
        return;
    typeSignal_ = New_Type_Signal;
    markChanged(QStringLiteral("Type_Signal"));
    layOut();
}

void Signal::setBorder_Style(int New_Border_Style)
{
    if (!fitsByte(New_Border_Style))
        return;
    borderStyle_ = New_Border_Style;
    markChanged(QStringLiteral("Border_Style"));
    // The square or the circle takes the border first; a value it refuses ends the assignment
    // there, before the layout.
    bool taken = true;
    if (typeSignal_ == 0) {
        kwadrat_.visible = true;
        taken = kwadrat_.setBorder(borderStyle_);
    } else if (typeSignal_ == 1) {
        showPrimitivesOf(1);
        taken = sCircle_.setBorderStyle(borderStyle_) && sCircle_.setBorderWidth(2 * borderStyle_);
    }
    if (!taken) {
        update();
        return;
    }
    showPrimitivesOf(typeSignal_);
    layOut();
}

void Signal::setForeColor(int New_ForeColor)
{
    foreColor_ = New_ForeColor;
    markChanged(QStringLiteral("ForeColor"));
    showPrimitivesOf(typeSignal_);
    switch (typeSignal_) {
    case 0: kwadrat_.backColor = foreColor_; break;
    case 1: sCircle_.fillColor = foreColor_; break;
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
        // The bar of a bow-tie keeps its own colour.
        for (Line &line : line1_)
            line.color = foreColor_;
        break;
    default: break;
    }
    update();
}

void Signal::initNew()
{
    typeSignal_ = 0;
    borderStyle_ = 0;
    foreColor_ = 0;
    forgetChanges();
}

void Signal::readProperties(PropertyBag &bag)
{
    // Only the values are taken; the next resize lays the control out and the next ForeColor
    // assignment colours it. A stored value that does not fit gives the default.
    const auto readInt = [&bag](const char *name, int defaultValue, bool (*fits)(int)) {
        bool ok = false;
        const int value = bag.readProperty(QLatin1String(name), defaultValue).toInt(&ok);
        return ok && fits(value) ? value : defaultValue;
    };
    typeSignal_ = readInt("Type_Signal", 0, fitsByte);
    borderStyle_ = readInt("Border_Style", 0, fitsByte);
    if (!controls::colorValueFrom(bag.readProperty(QStringLiteral("ForeColor"), 255), foreColor_))
        foreColor_ = 255;
    forgetChanges();
}

void Signal::writeProperties(PropertyBag &bag)
{
    bag.writeProperty(QStringLiteral("Type_Signal"), typeSignal_, 0);
    bag.writeProperty(QStringLiteral("Border_Style"), borderStyle_, 0);
    bag.writeProperty(QStringLiteral("ForeColor"), foreColor_, 255);
    forgetChanges();
}

void Signal::showLine(int index, float x1, float y1, float x2, float y2)
{
    Line &line = line1_[static_cast<std::size_t>(index)];
    line.from = QPointF(x1, y1);
    line.to = QPointF(x2, y2);
    line.visible = true;
}

void Signal::layOut()
{
    for (Line &line : line1_)
        line.visible = false;
    scaleWidth_ = scaleExtent(width(), GridExtent);
    scaleHeight_ = scaleExtent(height(), GridExtent);

    placeSymbol();

    // The mouse layer always covers the whole control, also after a refused value, so that
    // no click is lost.
    coverWithMouseLayer(scaleWidth_, scaleHeight_);
    update();
}

bool Signal::placeSymbol()
{
    const float w = scaleWidth_;
    const float h = scaleHeight_;
    // The triangles and bow-ties are fans of lines 0..last, line i being the one whose ends
    // lineAt(i) gives. Exact quotients in single precision; since the extents never exceed 50 no
    // fan uses more than lines 0..50.
    const auto fan = [this](float last, auto lineAt) {
        for (int i = 0; i <= static_cast<int>(last); ++i) {
            const auto [x1, y1, x2, y2] = lineAt(static_cast<float>(i));
            showLine(i, x1, y1, x2, y2);
        }
    };
    using Ends = std::array<float, 4>;
    // The square of type 0 does not hide the circle.
    if (typeSignal_ != 0)
        showPrimitivesOf(typeSignal_);
    switch (typeSignal_) {
    case 0:
        kwadrat_.visible = true;
        kwadrat_.geometry = QRectF(0, 0, w, h);
        return kwadrat_.setBorder(borderStyle_);
    case 1:
        sCircle_.width = w;
        sCircle_.height = h;
        return sCircle_.setBorderStyle(borderStyle_) && sCircle_.setBorderWidth(2 * borderStyle_);
    case 2:   // up
        fan(w, [w](float i) { return Ends{w / 2 - i / 2, i, w / 2 + i / 2, i}; });
        return true;
    case 3:   // right
        fan(w, [w](float i) { return Ends{w - i, w / 2 - i / 2, w - i, w / 2 + i / 2}; });
        return true;
    case 4:   // down
        fan(w, [w](float i) { return Ends{w / 2 - i / 2, w - i, w / 2 + i / 2, w - i}; });
        return true;
    case 5:   // left
        fan(w, [w](float i) { return Ends{i, w / 2 - i / 2, i, w / 2 + i / 2}; });
        return true;
    case 6:   // horizontal bow-tie, bar on top
        fan(w, [w](float i) { return Ends{0, i / 2, w, w / 2 - i / 2}; });
        kwadrat_.geometry = QRectF(w / 3, 0, w / 3, w / 6);
        kwadrat_.backColor = BarColor;
        kwadrat_.border = 0;
        return true;
    case 7:   // vertical bow-tie, bar on the left
        fan(h, [h](float i) { return Ends{i / 2, 0, h / 2 - i / 2, h}; });
        kwadrat_.geometry = QRectF(0, h / 3, h / 6, h / 3);
        kwadrat_.backColor = BarColor;
        kwadrat_.border = 0;
        return true;
    default:
        // Unknown symbol: nothing further; the square and the circle keep their visibility.
        return true;
    }
}

void Signal::paintEvent(QPaintEvent *)
{
    if (scaleWidth_ <= 0 || scaleHeight_ <= 0)
        return;
    QPainter painter(this);
    const qreal kx = width() / static_cast<qreal>(scaleWidth_);
    const qreal ky = height() / static_cast<qreal>(scaleHeight_);
    paintCircle(painter, kx, ky);
    paintLines(painter);
    paintSquare(painter, kx, ky);
}

void Signal::paintCircle(QPainter &painter, qreal kx, qreal ky) const
{
    if (!sCircle_.visible)
        return;
    const qreal w = sCircle_.width * kx;
    const qreal h = sCircle_.height * ky;
    const qreal d = std::min(w, h);
    if (d <= 0)
        return;
    QRectF box((w - d) / 2, (h - d) / 2, d, d);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(controls::colorFromValue(sCircle_.fillColor, palette()));
    painter.drawEllipse(box);
    if (sCircle_.borderStyle != 0) {
        // The border lies inside the circle, so a wide border is never cut by the control edge.
        const qreal bw = std::min<qreal>(sCircle_.borderWidth, d / 2);
        QPen pen(palette().color(QPalette::WindowText), bw, controls::penStyle(sCircle_.borderStyle));
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(box.adjusted(bw / 2, bw / 2, -bw / 2, -bw / 2));
    }
    painter.restore();
}

void Signal::paintLines(QPainter &painter) const
{
    // A grid coordinate falls on the pixel that contains it; the far edge (coordinate equal to
    // the extent) belongs to the last pixel, so a fan reaches every edge of the control.
    // Coordinates beyond the extent (a triangle taller than a flat control) fall outside.
    const auto toPixel = [](qreal c, int device, float extent) {
        const int p = static_cast<int>(std::floor(c * device / static_cast<qreal>(extent)));
        return c <= extent ? std::min(p, device - 1) : p;
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Line &line : line1_) {
        if (!line.visible)
            continue;
        painter.setPen(QPen(controls::colorFromValue(line.color, palette()), 0));
        const QPoint a(toPixel(line.from.x(), width(), scaleWidth_), toPixel(line.from.y(), height(), scaleHeight_));
        const QPoint b(toPixel(line.to.x(), width(), scaleWidth_), toPixel(line.to.y(), height(), scaleHeight_));
        if (a == b)
            painter.drawPoint(a);
        else
            painter.drawLine(a, b);
    }
    painter.restore();
}

void Signal::paintSquare(QPainter &painter, qreal kx, qreal ky) const
{
    if (!kwadrat_.visible)
        return;
    const QRectF &g = kwadrat_.geometry;
    const int left = static_cast<int>(std::lround(g.left() * kx));
    const int top = static_cast<int>(std::lround(g.top() * ky));
    const int right = static_cast<int>(std::lround(g.right() * kx));
    const int bottom = static_cast<int>(std::lround(g.bottom() * ky));
    if (right <= left || bottom <= top)
        return;
    const QRect box(left, top, right - left, bottom - top);
    painter.fillRect(box, controls::colorFromValue(kwadrat_.backColor, palette()));
    if (kwadrat_.border == 1) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.restore();
    }
}
