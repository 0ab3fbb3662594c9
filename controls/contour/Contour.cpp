#include "Contour.h"

#include "../common/Borders.h"
#include "../common/ColorValue.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <limits>

namespace {

bool fitsInt16(int value)
{
    return value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max();
}

// Corner radius of the rounded figures.
qreal cornerRadius(const QRectF &r) { return std::min(r.width(), r.height()) / 6; }

}   // namespace

bool Contour::Figure::setBackStyle(int value)
{
    if (value < 0)
        return false;
    backStyle = value >= 1 ? 1 : 0;
    return true;
}

bool Contour::Figure::setBorderStyle(int value)
{
    return controls::assignWithin(borderStyle, value, 0, controls::MaxBorderStyle);
}

bool Contour::Figure::setBorderWidth(int value)
{
    return controls::assignWithin(borderWidth, value, 1, controls::MaxBorderWidth);
}

bool Contour::Figure::setShape(int value) { return controls::assignWithin(shape, value, 0, 5); }

Contour::Contour(QWidget *parent) : ControlWidget(QStringLiteral("Contour"), parent)
{
    resize(DefaultWidth, DefaultHeight);
    layOut();
}

void Contour::changed(const QString &name)
{
    markChanged(name);
    update();
}

void Contour::setFigureValue(bool (Figure::*set)(int), int value, const QString &name)
{
    if (fitsInt16(value) && (shape1_.*set)(value))
        changed(name);
}

void Contour::setBackColor(int value)
{
    shape1_.backColor = value;
    changed(QStringLiteral("BackColor"));
}

void Contour::setBackStyle(int value) { setFigureValue(&Figure::setBackStyle, value, QStringLiteral("BackStyle")); }

void Contour::setBorderStyle(int value)
{
    setFigureValue(&Figure::setBorderStyle, value, QStringLiteral("BorderStyle"));
}

void Contour::setBorderWidth(int value)
{
    setFigureValue(&Figure::setBorderWidth, value, QStringLiteral("BorderWidth"));
}

void Contour::setBorderColor(int value)
{
    shape1_.borderColor = value;
    changed(QStringLiteral("BorderColor"));
}

void Contour::setShape(int value) { setFigureValue(&Figure::setShape, value, QStringLiteral("Shape")); }

void Contour::initNew()
{
    shape1_ = Figure{};
    forgetChanges();
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
    forgetChanges();
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
    forgetChanges();
}

void Contour::layOut()
{
    coverWithMouseLayer(static_cast<float>(width()), static_cast<float>(height()));
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
    default: return QRectF(0, 0, w, h);
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
        QPen pen(controls::colorFromValue(shape1_.borderColor, palette()), bw, controls::penStyle(shape1_.borderStyle),
                 Qt::FlatCap, Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(outline(figure.adjusted(bw / 2, bw / 2, -bw / 2, -bw / 2)));
    }
}
