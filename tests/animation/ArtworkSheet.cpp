// Renders every picture of the artwork onto one sheet: artwork_sheet <out.png> [scale]
#include "animation/Artwork.h"
#include "animation/EquipmentKinds.h"
#include "app/BlockCatalogue.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

namespace {

struct Sheet {
    QPainter &p;
    int x = 10, y = 10, rowHeight = 0;
    void title(const QString &t)
    {
        if (x > 10)
            newline();
        p.setPen(Qt::black);
        QFont f = p.font();
        f.setBold(true);
        p.setFont(f);
        p.drawText(QPoint(10, y + 12), t);
        f.setBold(false);
        p.setFont(f);
        y += 18;
    }
    void newline()
    {
        x = 10;
        y += rowHeight + 18;
        rowHeight = 0;
    }
    void put(const QPixmap &pm, const QString &caption, const QPixmap &over = {}, QPoint at = {})
    {
        if (x + pm.width() > 1180)
            newline();
        p.drawPixmap(x, y, pm);
        if (!over.isNull())
            p.drawPixmap(x + at.x(), y + at.y(), over);
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.drawText(QRect(x - 4, y + pm.height() + 1, pm.width() + 8, 14), Qt::AlignHCenter, caption);
        x += std::max(pm.width(), 24) + 14;
        rowHeight = std::max(rowHeight, pm.height());
    }
};

}   // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("artwork.png");
    const int scale = argc > 2 ? std::max(1, atoi(argv[2])) : 2;
    BlockCatalogue catalogue;
    Artwork art(catalogue);

    QImage sheet(1200, 1100, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xee, 0xf0, 0xf2));
    {
        QPainter p(&sheet);
        QFont f = p.font();
        f.setPixelSize(10);
        p.setFont(f);
        Sheet s{p};
        using anim::FrameSet;
        auto frames = [&](FrameSet set, const QString &name) {
            for (int i = 0; i < anim::frameCount(set); ++i)
                s.put(art.frame(set, i), name + QString::number(i));
        };
        // Equipment kinds first..last: background with moving image `frame` over it.
        auto kinds = [&](int first, int last, int frame) {
            for (int k = first; k <= last; ++k) {
                const auto info = *anim::equipmentKind(k);
                s.put(art.equipmentBackground(k), QStringLiteral("kind %1").arg(k), art.frame(info.set, frame),
                      QPoint(info.dx, info.dy));
            }
        };
        s.title(QStringLiteral("Fans: Image_Vent1, Image_Vent01; housings kinds 0..7 with impeller"));
        frames(FrameSet::Vent1, QStringLiteral("V1/"));
        frames(FrameSet::Vent01, QStringLiteral("V01/"));
        kinds(0, 7, 0);
        s.title(QStringLiteral("Motors: ImageMotorHoriz, ImageMotorVert; kinds 8..15 with motor"));
        frames(FrameSet::MotorHoriz, QStringLiteral("H"));
        frames(FrameSet::MotorVert, QStringLiteral("V"));
        kinds(8, 15, 1);
        s.title(QStringLiteral("Screw (PictureSnek), belt conveyor (PictureKonveer_R)"));
        frames(FrameSet::Snek, QStringLiteral("snek "));
        s.newline();
        frames(FrameSet::KonveerR, QStringLiteral("belt "));
        s.title(QStringLiteral("Bucket elevators (PictureNoria_L, _R), inclined conveyors (PictureKonveer_L45, _R45)"));
        frames(FrameSet::NoriaL, QStringLiteral("L"));
        frames(FrameSet::NoriaR, QStringLiteral("R"));
        s.newline();
        frames(FrameSet::KonveerL45, QStringLiteral("L45/"));
        frames(FrameSet::KonveerR45, QStringLiteral("R45/"));
        s.title(QStringLiteral("Block_ImageList 1..50"));
        for (int t = 1; t <= 50; ++t)
            s.put(art.blockPicture(t), QString::number(t));
        s.title(QStringLiteral("STOP_Image 0..15, off pictures of 4, 12, 13; trend icon; menu plate"));
        for (int n = 0; n < Artwork::StopImageCount; ++n)
            s.put(art.stopImage(n), QString::number(n));
        for (int n : {4, 12, 13})
            s.put(art.switchOffImage(n), QStringLiteral("off %1").arg(n));
        s.put(art.trendIcon(), QStringLiteral("trend"));
        s.put(art.menuPlate(), QStringLiteral("menu"));
        s.newline();
        const int used = std::min(s.y + 4, sheet.height());
        p.end();
        sheet = sheet.copy(0, 0, 1200, used);
    }
    if (scale > 1)
        sheet = sheet.scaled(sheet.size() * scale, Qt::KeepAspectRatio, Qt::FastTransformation);
    return sheet.save(out) ? 0 : 1;
}
