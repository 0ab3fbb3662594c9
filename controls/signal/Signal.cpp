#include "Signal.h"

#include "../common/ColorValue.h"
#include "../common/MouseLayer.h"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace {

constexpr int GridExtent = 50;

bool fitsByte(int value)
{
    return value >= 0 && value <= 255;
}

Qt::PenStyle penStyle(int borderStyle)
{
    switch (borderStyle) {
    case 2: return Qt::DashLine;
    case 3: return Qt::DotLine;
    case 4: return Qt::DashDotLine;
    case 5: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

} // namespace

bool Signal::Square::setBorder(int value)
{
    if (value < 0 || value > 1)
        return false;
    border = value;
    return true;
}

bool Signal::Circle::setBorderStyle(int value)
{
    if (value < 0 || value > 6)
        return false;
    borderStyle = value;
    return true;
}

bool Signal::Circle::setBorderWidth(int value)
{
    if (value < 1 || value > 8192)
        return false;
    borderWidth = value;
    return true;
}

Signal::Signal(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Signal"));
    // Outside its symbol the control is transparent.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);

    label1_ = new controls::MouseLayer(this);
    connect(label1_, &controls::MouseLayer::Click, this, &Signal::Click);
    connect(label1_, &controls::MouseLayer::DblClick, this, &Signal::DblClick);
    connect(label1_, &controls::MouseLayer::MouseDown, this, &Signal::MouseDown);
    connect(label1_, &controls::MouseLayer::MouseMove, this, &Signal::MouseMove);
    connect(label1_, &controls::MouseLayer::MouseUp, this, &Signal::MouseUp);

    initNew();
    resize(DefaultSize, DefaultSize);
    layOut();
}

void Signal::markChanged(const QString &name)
{
    changes_.mark(name);
    emit propertyChanged(name);
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
    switch (typeSignal_) {
    case 0:
        kwadrat_.visible = true;
        if (!kwadrat_.setBorder(borderStyle_)) {
            update();
            return;
        }
        sCircle_.visible = false;
        break;
    case 1:
        kwadrat_.visible = false;
        sCircle_.visible = true;
        if (!sCircle_.setBorderStyle(borderStyle_) || !sCircle_.setBorderWidth(2 * borderStyle_)) {
            update();
            return;
        }
        break;
    case 2:
    case 3:
    case 4:
    case 5:
        sCircle_.visible = false;
        kwadrat_.visible = false;
        break;
    case 6:
    case 7:
        sCircle_.visible = false;
        kwadrat_.visible = true;
        break;
    default:
        break;
    }
    layOut();
}

void Signal::setForeColor(int New_ForeColor)
{
    foreColor_ = New_ForeColor;
    markChanged(QStringLiteral("ForeColor"));
    switch (typeSignal_) {
    case 0:
        sCircle_.visible = false;
        kwadrat_.visible = true;
        kwadrat_.backColor = foreColor_;
        break;
    case 1:
        sCircle_.visible = true;
        kwadrat_.visible = false;
        sCircle_.fillColor = foreColor_;
        break;
    case 2:
    case 3:
    case 4:
    case 5:
        sCircle_.visible = false;
        kwadrat_.visible = false;
        for (Line &line : line1_)
            line.color = foreColor_;
        break;
    case 6:
    case 7:
        // The bar keeps its own colour.
        sCircle_.visible = false;
        kwadrat_.visible = true;
        for (Line &line : line1_)
            line.color = foreColor_;
        break;
    default:
        break;
    }
    update();
}

void Signal::initNew()
{
    typeSignal_ = 0;
    borderStyle_ = 0;
    foreColor_ = 0;
    changes_.clear();
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
    changes_.clear();
}

void Signal::writeProperties(PropertyBag &bag)
{
    bag.writeProperty(QStringLiteral("Type_Signal"), typeSignal_, 0);
    bag.writeProperty(QStringLiteral("Border_Style"), borderStyle_, 0);
    bag.writeProperty(QStringLiteral("ForeColor"), foreColor_, 255);
    changes_.clear();
}

void Signal::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
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
    scaleWidth_ = static_cast<float>(std::min(width(), GridExtent));
    scaleHeight_ = static_cast<float>(std::min(height(), GridExtent));

    placeSymbol();

    // The mouse layer always covers the whole control, also after a refused value, so that
    // no click is lost.
    label1_->setGeometry(rect());
    label1_->setScale(scaleWidth_, scaleHeight_);
    label1_->raise();
    update();
}

bool Signal::placeSymbol()
{
    const float w = scaleWidth_;
    const float h = scaleHeight_;
    // Exact quotients in single precision; the loop value is also the line index, and since
    // the extents never exceed 50 no fan uses more than lines 0..50.
    const int lastW = static_cast<int>(w);
    const int lastH = static_cast<int>(h);
    switch (typeSignal_) {
    case 0:
        kwadrat_.visible = true;
        kwadrat_.geometry = QRectF(0, 0, w, h);
        return kwadrat_.setBorder(borderStyle_);
    case 1:
        kwadrat_.visible = false;
        sCircle_.visible = true;
        sCircle_.width = w;
        sCircle_.height = h;
        return sCircle_.setBorderStyle(borderStyle_) && sCircle_.setBorderWidth(2 * borderStyle_);
    case 2: // up
        sCircle_.visible = false;
        kwadrat_.visible = false;
        for (int i = 0; i <= lastW; ++i) {
            const float fi = static_cast<float>(i);
            showLine(i, w / 2 - fi / 2, fi, w / 2 + fi / 2, fi);
        }
        return true;
    case 3: // right
        sCircle_.visible = false;
        kwadrat_.visible = false;
        for (int i = lastW; i >= 0; --i) {
            const float fi = static_cast<float>(i);
            showLine(i, w - fi, w / 2 - fi / 2, w - fi, w / 2 + fi / 2);
        }
        return true;
    case 4: // down
        sCircle_.visible = false;
        kwadrat_.visible = false;
        for (int i = lastW; i >= 0; --i) {
            const float fi = static_cast<float>(i);
            showLine(i, w / 2 - fi / 2, w - fi, w / 2 + fi / 2, w - fi);
        }
        return true;
    case 5: // left
        sCircle_.visible = false;
        kwadrat_.visible = false;
        for (int i = 0; i <= lastW; ++i) {
            const float fi = static_cast<float>(i);
            showLine(i, fi, w / 2 - fi / 2, fi, w / 2 + fi / 2);
        }
        return true;
    case 6: // horizontal bow-tie, bar on top
        sCircle_.visible = false;
        for (int i = 0; i <= lastW; ++i) {
            const float fi = static_cast<float>(i);
            showLine(i, 0, fi / 2, w, w / 2 - fi / 2);
        }
        kwadrat_.geometry = QRectF(w / 3, 0, w / 3, w / 6);
        kwadrat_.backColor = BarColor;
        kwadrat_.border = 0;
        kwadrat_.visible = true;
        return true;
    case 7: // vertical bow-tie, bar on the left
        sCircle_.visible = false;
        for (int i = 0; i <= lastH; ++i) {
            const float fi = static_cast<float>(i);
            showLine(i, fi / 2, 0, h / 2 - fi / 2, h);
        }
        kwadrat_.geometry = QRectF(0, h / 3, h / 6, h / 3);
        kwadrat_.backColor = BarColor;
        kwadrat_.border = 0;
        kwadrat_.visible = true;
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
        QPen pen(palette().color(QPalette::WindowText), bw, penStyle(sCircle_.borderStyle));
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
        const QPoint a(toPixel(line.from.x(), width(), scaleWidth_),
                       toPixel(line.from.y(), height(), scaleHeight_));
        const QPoint b(toPixel(line.to.x(), width(), scaleWidth_),
                       toPixel(line.to.y(), height(), scaleHeight_));
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
