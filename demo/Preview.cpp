#include "Preview.h"

#include "animation/Artwork.h"
#include "animation/EquipmentKinds.h"
#include "app/BlockCatalogue.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace demo {

namespace {

QColor fromBgr(std::int32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QFont font(int size, bool bold = false, bool italic = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(size > 0 ? size : 8);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void symbol(QPainter &p, const QRect &r, int type, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    const int w = r.width();
    QPolygon poly;
    switch (type) {
    case 0: p.drawRect(r); return;
    case 1: p.drawEllipse(r); return;
    case 2: poly << QPoint(r.center().x(), r.top()) << r.bottomLeft() << r.bottomRight(); break;
    case 3: poly << r.topLeft() << QPoint(r.right(), r.center().y()) << r.bottomLeft(); break;
    case 4: poly << r.topLeft() << r.topRight() << QPoint(r.center().x(), r.bottom()); break;
    case 5: poly << QPoint(r.left(), r.center().y()) << r.topRight() << r.bottomRight(); break;
    case 6:
        poly << r.topLeft() << QPoint(r.right(), r.top() + w / 2) << r.topRight() << QPoint(r.left(), r.top() + w / 2);
        p.drawPolygon(poly);
        p.setBrush(QColor(255, 128, 128));
        p.drawRect(r.left() + w / 3, r.top(), w / 3, w / 6);
        return;
    case 7:
        poly << r.topLeft() << QPoint(r.left() + r.height() / 2, r.bottom()) << r.bottomLeft()
             << QPoint(r.left() + r.height() / 2, r.top());
        p.drawPolygon(poly);
        p.setBrush(QColor(255, 128, 128));
        p.drawRect(r.left(), r.top() + r.height() / 3, r.height() / 6, r.height() / 3);
        return;
    default: p.drawRect(r); return;
    }
    p.drawPolygon(poly);
}

QString placeholder(int slot, int digits) { return QString::number(slot).rightJustified(digits + 2, QLatin1Char('0')); }

}   // namespace

QImage renderPreview(const Plant &plant, int page)
{
    QImage img = plant.pictures[page].convertToFormat(QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const ProjectModel &m = plant.model;
    static const BlockCatalogue catalogue;
    static const Artwork art(catalogue);

    for (int i = 0; i < ProjectModel::Slots; ++i) {
        if (const ContourRec &r = m.contours[page][i]; r.present == 1) {
            p.setPen(QPen(fromBgr(r.borderColor), r.borderWidth));
            p.setBrush(QColor(0xF0, 0xF0, 0xF0));
            const QRect rr(r.left, r.top, r.width, r.height);
            switch (r.shape) {
            case 2:
            case 3: p.drawEllipse(rr); break;
            case 4:
            case 5: p.drawRoundedRect(rr, 8, 8); break;
            default: p.drawRect(rr); break;
            }
        }
        if (const EquipmentRec &r = m.equipment[page][i]; r.present == 1) {
            const QRect rr(r.left, r.top, r.width, r.height);
            const auto info = anim::equipmentKind(r.equipmentKind);
            if (info) {
                p.drawPixmap(rr, art.equipmentBackground(r.equipmentKind));
                const QPixmap &inner = art.frame(info->set, info->initialFrame);
                p.drawPixmap(rr.topLeft() + QPoint(info->dx, info->dy), inner);
            }
            p.setPen(QPen(QColor(0x40, 0x90, 0x40), 1, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(rr);
        }
        if (const LevelRec &r = m.levels[page][i]; r.present == 1) {
            const QRect rr(r.left, r.top, r.width, r.height);
            p.setPen(QPen(Qt::black, r.levelMode & 1));
            p.setBrush(fromBgr(r.colourB));
            p.drawRect(rr);
            p.setPen(Qt::NoPen);
            p.setBrush(fromBgr(r.colourA));
            if (r.levelMode > 1)
                p.drawRect(QRect(rr.left(), rr.top(), rr.width() * 6 / 10, rr.height()));
            else
                p.drawRect(QRect(rr.left(), rr.bottom() - rr.height() * 6 / 10, rr.width(), rr.height() * 6 / 10));
        }
        if (const SignalRec &r = m.signals[page][i]; r.present == 1) {
            symbol(p, QRect(r.left, r.top(), r.width(), r.height()), r.typeSignal(), fromBgr(r.colourOn));
        }
        if (const ValueLabelRec &r = m.valueLabels[page][i]; r.present == 1) {
            const QFont f = r.fontSize == 18 ? font(14, true) : font(r.fontSize);
            p.setFont(f);
            const QString t = placeholder(i, r.digits);
            const QFontMetrics fm(f);
            const QRect rr(r.left, r.top,
                           std::max(fm.horizontalAdvance(QStringLiteral("-000.00")), fm.horizontalAdvance(t)) + 6,
                           fm.height() + 4);
            p.setPen(r.borderStyle ? QPen(Qt::black, 1) : Qt::NoPen);
            p.setBrush(fromBgr(r.backColor));
            p.drawRect(rr);
            p.setPen(fromBgr(r.foreColor));
            p.drawText(rr, Qt::AlignCenter, t);
        }
        if (const SignalTextRec &r = m.signalTexts[page][i];
            r.present == 1 && (!r.isStateText() || r.stateNumber() == 1)) {
            // State texts: show only the "running" state (3) so they do not pile up.
            const bool state = r.isStateText();
            const QString t = state ? r.textOn : r.textOff;
            const QFont f = font(r.fontSize);
            p.setFont(f);
            const QFontMetrics fm(f);
            const QRect rr(r.left, r.top(), fm.horizontalAdvance(t) + 4, fm.height() + 4);
            p.setPen(r.borderStyle ? QPen(Qt::black, 1) : Qt::NoPen);
            p.setBrush(fromBgr(r.backColor));
            p.drawRect(rr);
            p.setPen(fromBgr(r.foreColor));
            p.drawText(rr, Qt::AlignCenter, t);
        }
        if (const ControlRec &r = m.controls[page][i]; r.present == 1) {
            QRect rr(r.left, r.top, r.width, r.height);
            if (r.picture == 0)
                rr = rr.adjusted(-10, -10, 10, 10);
            p.drawPixmap(rr, art.stopImage(r.picture));
        }
        if (const GoBlockRec &r = m.goBlocks[page][i]; r.present == 1) {
            const QRect rr(r.x - 10, r.y - 15, 16, 16);
            p.setPen(QPen(Qt::blue, 1));
            p.setBrush(QColor(0xFF, 0xFF, 0xC0));
            p.drawRect(rr);
            p.setFont(font(6));
            p.drawText(rr, Qt::AlignCenter, QString::number(r.target));
        }
    }
    for (int i = 0; i < ProjectModel::TextSlots; ++i) {
        const TextRec &r = m.texts[page][i];
        if (r.present != 1)
            continue;
        const QFont f = font(r.fontSize, r.fontBold != 0, r.fontItalic != 0);
        p.setFont(f);
        p.setPen(fromBgr(r.foreColor));
        p.drawText(QPoint(r.left, r.top + QFontMetrics(f).ascent()), r.caption);
    }
    for (int i = 0; i < ProjectModel::MenuSlots; ++i) {
        const MenuRec &r = m.menus[page][i];
        if (r.present != 1)
            continue;
        p.drawPixmap(QPoint(r.x - 7, r.y - 13), art.menuPlate());
        p.setFont(font(9));
        p.setPen(Qt::black);
        p.drawText(QRect(r.x, r.y, 110, 16), Qt::AlignVCenter, r.text);
    }
    const int k = page + 1;
    if (const TrendIconRec &r = m.trendIcons[k]; r.present == 1) {
        p.drawPixmap(QRect(r.left, r.top, r.width, r.height), art.trendIcon());
    }
    if (const ClockRec &r = m.clocks[k]; r.present == 1) {
        p.setFont(font(12, true));
        p.setPen(Qt::black);
        p.drawText(QPoint(r.left, r.top + 16), QStringLiteral("14:35:20"));
        p.setFont(font(9));
        p.drawText(QPoint(r.left, r.top + 22 + 14), QStringLiteral("08.12.2025"));
    }
    return img;
}

}   // namespace demo
