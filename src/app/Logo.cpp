#include "app/Logo.h"
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace {

constexpr qreal DesignWidth = 480;
constexpr qreal DesignHeight = 280;

const QColor cardTop(0x1d, 0x2b, 0x3a);
const QColor cardBottom(0x10, 0x18, 0x22);
const QColor accent(0x3d, 0xc2, 0xa0);
const QColor textMain(0xf2, 0xf5, 0xf7);
const QColor textSoft(0x9f, 0xb3, 0xc4);

QPointF onCircle(QPointF centre, qreal radius, qreal degrees)
{
    const qreal a = qDegreesToRadians(degrees);
    return {centre.x() + radius * qCos(a), centre.y() - radius * qSin(a)};
}

void drawGauge(QPainter &p, QPointF c, qreal r)
{
    // Dial face
    QRadialGradient face(c, r);
    face.setColorAt(0.0, QColor(0x2a, 0x3d, 0x52));
    face.setColorAt(1.0, QColor(0x15, 0x21, 0x2e));
    p.setPen(QPen(QColor(0x4a, 0x60, 0x76), 2));
    p.setBrush(face);
    p.drawEllipse(c, r, r);

    // Scale: 240 degrees from lower left to lower right, green, amber, red bands
    const qreal start = 210;
    const qreal span = -240;
    const QRectF arcBox(c.x() - r * 0.78, c.y() - r * 0.78, r * 1.56, r * 1.56);
    struct Band {
        qreal from, to;
        QColor colour;
    };
    const Band bands[] = {
        {0.0, 0.62, accent}, {0.62, 0.82, QColor(0xf2, 0xb1, 0x34)}, {0.82, 1.0, QColor(0xe5, 0x4b, 0x4b)}};
    for (const Band &b : bands) {
        p.setPen(QPen(b.colour, r * 0.09, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(arcBox, qRound((start + span * b.from) * 16), qRound(span * (b.to - b.from) * 16));
    }
    // Ticks
    for (int i = 0; i <= 20; ++i) {
        const qreal deg = start + span * i / 20.0;
        const bool major = i % 5 == 0;
        p.setPen(QPen(major ? textMain : textSoft, major ? 2.2 : 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(onCircle(c, r * (major ? 0.52 : 0.58), deg), onCircle(c, r * 0.66, deg));
    }
    // Needle at about 55 % of the scale
    const qreal needle = start + span * 0.55;
    QPainterPath path;
    path.moveTo(onCircle(c, r * 0.70, needle));
    path.lineTo(onCircle(c, r * 0.07, needle + 90));
    path.lineTo(onCircle(c, r * 0.16, needle + 180));
    path.lineTo(onCircle(c, r * 0.07, needle - 90));
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0x7a, 0x3d));
    p.drawPath(path);
    p.setBrush(textMain);
    p.drawEllipse(c, r * 0.09, r * 0.09);
    p.setBrush(QColor(0x15, 0x21, 0x2e));
    p.drawEllipse(c, r * 0.04, r * 0.04);

    // "Ж7" under the hub
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(qRound(r * 0.26));
    p.setFont(f);
    p.setPen(textMain);
    p.drawText(QRectF(c.x() - r, c.y() + r * 0.22, 2 * r, r * 0.4), Qt::AlignCenter, QStringLiteral("Ж7"));
}

}   // namespace

void Logo::paintIcon(QPainter &p, const QRectF &box)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal side = qMin(box.width(), box.height());
    const QRectF card(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    QLinearGradient bg(card.topLeft(), card.bottomLeft());
    bg.setColorAt(0, cardTop);
    bg.setColorAt(1, cardBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(card, side * 0.18, side * 0.18);
    drawGauge(p, card.center(), side * 0.44);
    p.restore();
}

Logo::Logo(QWidget *parent) : QWidget(parent), now_(QDateTime::currentDateTime())
{
    setObjectName(QStringLiteral("Logo"));
    setAttribute(Qt::WA_TranslucentBackground);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QSize Logo::sizeHint() const { return {int(DesignWidth), int(DesignHeight)}; }

QSize Logo::minimumSizeHint() const { return {int(DesignWidth / 2), int(DesignHeight / 2)}; }

void Logo::setDateTime(const QDateTime &now)
{
    const bool changed =
        now.toString(QStringLiteral("hh:mm dd.MM.yy")) != now_.toString(QStringLiteral("hh:mm dd.MM.yy"));
    now_ = now;
    if (changed)
        update();
}

void Logo::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Drawn in a fixed design space, scaled uniformly and centred.
    const qreal scale = qMin(width() / DesignWidth, height() / DesignHeight);
    p.translate((width() - DesignWidth * scale) / 2, (height() - DesignHeight * scale) / 2);
    p.scale(scale, scale);

    // Card with a soft shadow
    const QRectF card(8, 8, DesignWidth - 16, DesignHeight - 16);
    p.setPen(Qt::NoPen);
    for (int i = 4; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, 14));
        p.drawRoundedRect(card.translated(0, i).adjusted(-i, -i / 2.0, i, i / 2.0), 18, 18);
    }
    QLinearGradient bg(card.topLeft(), card.bottomLeft());
    bg.setColorAt(0, cardTop);
    bg.setColorAt(1, cardBottom);
    p.setBrush(bg);
    p.drawRoundedRect(card, 16, 16);

    // Accent stripe
    p.setBrush(accent);
    p.drawRoundedRect(QRectF(card.left() + 190, card.top() + 48, 4, 118), 2, 2);

    drawGauge(p, QPointF(card.left() + 96, card.top() + 104), 76);

    const qreal textLeft = card.left() + 212;
    QFont title = font();
    title.setBold(true);
    title.setPixelSize(54);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(title);
    p.setPen(textMain);
    p.drawText(QRectF(textLeft, card.top() + 36, 250, 64), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tablo"));

    QFont sub = font();
    sub.setPixelSize(17);
    sub.setBold(true);
    p.setFont(sub);
    p.setPen(accent);
    p.drawText(QRectF(textLeft, card.top() + 102, 250, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("SCADA Ж7-301"));
    sub.setBold(false);
    sub.setPixelSize(14);
    p.setFont(sub);
    p.setPen(textSoft);
    p.drawText(QRectF(textLeft, card.top() + 128, 250, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("версія 5.1"));

    // Clock strip
    const QRectF strip(card.left() + 16, card.bottom() - 70, card.width() - 32, 54);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 16));
    p.drawRoundedRect(strip, 10, 10);
    QFont clock = font();
    clock.setPixelSize(30);
    clock.setBold(true);
    p.setFont(clock);
    p.setPen(textMain);
    p.drawText(strip.adjusted(18, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, now_.toString(QStringLiteral("hh:mm")));
    QFont date = font();
    date.setPixelSize(18);
    p.setFont(date);
    p.setPen(textSoft);
    p.drawText(strip.adjusted(0, 0, -18, 0), Qt::AlignRight | Qt::AlignVCenter,
               now_.toString(QStringLiteral("dd.MM.yy")));
}
