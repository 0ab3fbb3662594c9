#include "Contour.h"

#include "../common/ColorValue.h"
#include "../common/MouseLayer.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <limits>

namespace {

bool fitsInt16(int value)
{
    return value >= std::numeric_limits<std::int16_t>::min() &&
           value <= std::numeric_limits<std::int16_t>::max();
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

// Corner radius of the rounded figures.
qreal cornerRadius(const QRectF &r)
{
    return std::min(r.width(), r.height()) / 6;
}

} // namespace

bool Contour::Figure::setBackStyle(int value)
{
    if (value < 0)
        return false;
    backStyle = value >= 1 ? 1 : 0;
    return true;
}

bool Contour::Figure::setBorderStyle(int value)
{
    if (value < 0 || value > 6)
        return false;
    borderStyle = value;
    return true;
}

bool Contour::Figure::setBorderWidth(int value)
{
    if (value < 1 || value > 8192)
        return false;
    borderWidth = value;
    return true;
}

bool Contour::Figure::setShape(int value)
{
    if (value < 0 || value > 5)
        return false;
    shape = value;
    return true;
}

Contour::Contour(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Contour"));
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);

    label1_ = new controls::MouseLayer(this);
    connect(label1_, &controls::MouseLayer::Click, this, &Contour::Click);
    connect(label1_, &controls::MouseLayer::DblClick, this, &Contour::DblClick);
    connect(label1_, &controls::MouseLayer::MouseDown, this, &Contour::MouseDown);
    connect(label1_, &controls::MouseLayer::MouseMove, this, &Contour::MouseMove);
    connect(label1_, &controls::MouseLayer::MouseUp, this, &Contour::MouseUp);

    resize(DefaultWidth, DefaultHeight);
    layOut();
}

void Contour::changed(const QString &name)
{
    changes_.mark(name);
    emit propertyChanged(name);
    update();
}

void Contour::setBackColor(int value)
{
    shape1_.backColor = value;
    changed(QStringLiteral("BackColor"));
}

void Contour::setBackStyle(int value)
{
    if (fitsInt16(value) && shape1_.setBackStyle(value))
        changed(QStringLiteral("BackStyle"));
}

void Contour::setBorderStyle(int value)
{
    if (fitsInt16(value) && shape1_.setBorderStyle(value))
        changed(QStringLiteral("BorderStyle"));
}

void Contour::setBorderWidth(int value)
{
    if (fitsInt16(value) && shape1_.setBorderWidth(value))
        changed(QStringLiteral("BorderWidth"));
}

void Contour::setBorderColor(int value)
{
    shape1_.borderColor = value;
    changed(QStringLiteral("BorderColor"));
}

void Contour::setShape(int value)
{
    if (fitsInt16(value) && shape1_.setShape(value))
        changed(QStringLiteral("Shape"));
}

void Contour::initNew()
{
    shape1_ = Figure{};
    changes_.clear();
    update();
}

void Contour::readProperties(PropertyBag &bag)
{
    // In the stored order; a value the figure cannot take is skipped and the next one read.
    const auto read = [&bag](const char *name, int defaultValue, int &out) {
        bool ok = false;
        out = bag.readProperty(QLatin1String(name), defaultValue).toInt(&ok);
        return ok;
    };
    int v = 0;
    std::int32_t colour = 0;
    if (controls::colorValueFrom(bag.readProperty(QStringLiteral("BackColor"), DefaultBackColor), colour))
        shape1_.backColor = colour;
    if (read("BackStyle", 1, v) && fitsInt16(v))
        shape1_.setBackStyle(v);
    if (read("BorderStyle", 1, v) && fitsInt16(v))
        shape1_.setBorderStyle(v);
    if (read("BorderWidth", 1, v) && fitsInt16(v))
        shape1_.setBorderWidth(v);
    if (controls::colorValueFrom(bag.readProperty(QStringLiteral("BorderColor"), DefaultBorderColor), colour))
        shape1_.borderColor = colour;
    if (read("Shape", 0, v) && fitsInt16(v))
        shape1_.setShape(v);
    changes_.clear();
    update();
}

void Contour::writeProperties(PropertyBag &bag)
{
    bag.writeProperty(QStringLiteral("BackColor"), shape1_.backColor, DefaultBackColor);
    bag.writeProperty(QStringLiteral("BackStyle"), shape1_.backStyle, 1);
    bag.writeProperty(QStringLiteral("BorderStyle"), shape1_.borderStyle, 1);
    bag.writeProperty(QStringLiteral("BorderWidth"), shape1_.borderWidth, 1);
    bag.writeProperty(QStringLiteral("BorderColor"), shape1_.borderColor, DefaultBorderColor);
    bag.writeProperty(QStringLiteral("Shape"), shape1_.shape, 0);
    changes_.clear();
}

void Contour::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void Contour::layOut()
{
    label1_->setGeometry(rect());
    label1_->setScale(static_cast<float>(width()), static_cast<float>(height()));
    label1_->raise();
    update();
}

QRectF Contour::figureRect() const
{
    const qreal w = width();
    const qreal h = height();
    switch (shape1_.shape) {
    case 1:
    case 3:
    case 5: {
        const qreal s = std::min(w, h);
        return QRectF((w - s) / 2, (h - s) / 2, s, s);
    }
    default:
        return QRectF(0, 0, w, h);
    }
}

void Contour::paintEvent(QPaintEvent *)
{
    const QRectF figure = figureRect();
    if (figure.width() <= 0 || figure.height() <= 0)
        return;
    const int shape = shape1_.shape;
    const bool straight = shape == 0 || shape == 1;
    const bool round = shape == 2 || shape == 3;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, !straight);

    const auto outline = [&](const QRectF &r) {
        QPainterPath path;
        if (round)
            path.addEllipse(r);
        else if (straight)
            path.addRect(r);
        else
            path.addRoundedRect(r, cornerRadius(r), cornerRadius(r));
        return path;
    };

    if (shape1_.backStyle == 1) {
        const QColor fill = controls::colorFromValue(shape1_.backColor, palette());
        if (straight)
            painter.fillRect(figure.toAlignedRect(), fill);
        else
            painter.fillPath(outline(figure), fill);
    }

    if (shape1_.borderStyle != 0) {
        // The border is drawn inside the figure, so the control's edge never cuts it.
        const qreal limit = std::min(figure.width(), figure.height()) / 2;
        const qreal bw = std::min<qreal>(shape1_.borderWidth, std::max<qreal>(limit, 1));
        QPen pen(controls::colorFromValue(shape1_.borderColor, palette()), bw,
                 penStyle(shape1_.borderStyle), Qt::FlatCap, Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(outline(figure.adjusted(bw / 2, bw / 2, -bw / 2, -bw / 2)));
    }
}
