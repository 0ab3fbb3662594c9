#include "app/TwipsPrinter.h"

#include "app/Colors.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>

TwipsPrinter::TwipsPrinter(QPagedPaintDevice &d) : device(d)
{
    font.setFamily(QStringLiteral("Arial"));
    font.setPixelSize(200);   // 10 pt
}

TwipsPrinter::~TwipsPrinter() { end(); }

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

void TwipsPrinter::setColor(std::int32_t bgr)
{
    color = colorFromBgr(bgr);
    applyPen();
}

void TwipsPrinter::applyPen()
{
    if (!painter.isActive())
        return;
    // Text is drawn with the pen; a cosmetic pen keeps its width out of the twips scale.
    QPen pen(color, 0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(true);
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

QSizeF TwipsPrinter::pageSize() const
{
    const QRectF r = device.pageLayout().paintRect(QPageLayout::Inch);
    return r.size() * TwipsPerInch;
}

bool TwipsPrinter::newPage() { return painter.isActive() && device.newPage(); }

bool TwipsPrinter::end() { return painter.isActive() && painter.end(); }
