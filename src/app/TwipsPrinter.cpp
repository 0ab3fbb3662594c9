#include "app/TwipsPrinter.h"

#include "app/Colors.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>

TwipsPrinter::TwipsPrinter(QPagedPaintDevice &d) : device(d)
{
    font.setFamily(QStringLiteral("Arial"));
    font.setPixelSize(200);                     // 10 pt
}

TwipsPrinter::~TwipsPrinter()
{
    end();
}

bool TwipsPrinter::begin(QPageLayout::Orientation orientation)
{
    if (painter.isActive())
        return true;
    device.setPageOrientation(orientation);
    if (!painter.begin(&device))
        return false;
    // The painter's origin is the printable area's corner; scale device pixels to twips.
    painter.scale(device.logicalDpiX() / TwipsPerInch, device.logicalDpiY() / TwipsPerInch);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    applyPen();
    return true;
}

void TwipsPrinter::setFontName(const QString &family)
{
    font.setFamily(family);
    painter.setFont(font);
}

void TwipsPrinter::setFontSize(double points)
{
    // A pixel size is taken in the painter's own units, so 1 pt = 20 twips.
    font.setPixelSize(std::max(1, qRound(points * 20.0)));
    if (painter.isActive())
        painter.setFont(font);
}

void TwipsPrinter::setBold(bool bold)
{
    font.setBold(bold);
    if (painter.isActive())
        painter.setFont(font);
}

void TwipsPrinter::setColor(std::int32_t bgr)
{
    setColor(colorFromBgr(bgr));
}

void TwipsPrinter::setColor(const QColor &c)
{
    color = c;
    applyPen();
}

void TwipsPrinter::setPenWidth(double twips)
{
    penWidth = std::max(0.0, twips);
    applyPen();
}

void TwipsPrinter::setPenStyle(Qt::PenStyle style)
{
    penStyle = style;
    applyPen();
}

void TwipsPrinter::applyPen()
{
    if (!painter.isActive())
        return;
    QPen pen(color, penWidth, penStyle, Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(penWidth == 0);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
}

void TwipsPrinter::text(double x, double y, const QString &s)
{
    if (!painter.isActive())
        return;
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.drawText(QPointF(x, y + metrics.ascent()), s);
}

QSizeF TwipsPrinter::textSize(const QString &s) const
{
    const QFontMetricsF metrics(font, &device);
    return {metrics.horizontalAdvance(s), metrics.height()};
}

void TwipsPrinter::line(double x1, double y1, double x2, double y2)
{
    if (painter.isActive())
        painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void TwipsPrinter::box(double x1, double y1, double x2, double y2)
{
    if (painter.isActive())
        painter.drawRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized());
}

void TwipsPrinter::filledBox(double x1, double y1, double x2, double y2, std::int32_t fill)
{
    if (!painter.isActive())
        return;
    painter.fillRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized(), colorFromBgr(fill));
}

QSizeF TwipsPrinter::pageSize() const
{
    const QRectF r = device.pageLayout().paintRect(QPageLayout::Inch);
    return r.size() * TwipsPerInch;
}

bool TwipsPrinter::newPage()
{
    return painter.isActive() && device.newPage();
}

bool TwipsPrinter::end()
{
    return painter.isActive() && painter.end();
}
