#include "animation/Artwork.h"
#include "animation/EquipmentElement.h"
#include "app/BlockCatalogue.h"
#include "support/QtTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <set>

using anim::FrameSet;

namespace {

// Share of pixels that are not transparent.
double coverage(const QPixmap &pm)
{
    const QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            opaque += qAlpha(img.pixel(x, y)) > 0;
    return img.isNull() ? 0.0 : double(opaque) / (img.width() * img.height());
}

class ArtworkTest : public ::testing::Test {
protected:
    QApplication &application = qtApp();
    BlockCatalogue catalogue;
    Artwork art{catalogue};
};

}   // namespace

TEST_F(ArtworkTest, FramesHaveTheirSizesAndEveryFrameOfASetDiffers)
{
    struct Expect {
        FrameSet set;
        QSize size;
    };
    const Expect sets[] = {
        {FrameSet::Vent1, {26, 26}},       {FrameSet::Vent01, {26, 26}},  {FrameSet::MotorHoriz, {40, 20}},
        {FrameSet::MotorVert, {20, 40}},   {FrameSet::Snek, {120, 32}},   {FrameSet::KonveerR, {120, 30}},
        {FrameSet::NoriaL, {48, 120}},     {FrameSet::NoriaR, {48, 120}}, {FrameSet::KonveerL45, {120, 72}},
        {FrameSet::KonveerR45, {120, 72}},
    };
    for (const Expect &e : sets) {
        SCOPED_TRACE(static_cast<int>(e.set));
        std::set<QByteArray> distinct;
        for (int i = 0; i < anim::frameCount(e.set); ++i) {
            const QPixmap &pm = art.frame(e.set, i);
            ASSERT_FALSE(pm.isNull());
            EXPECT_EQ(pm.size(), e.size);
            EXPECT_GT(coverage(pm), 0.15);
            const QImage img = pm.toImage();
            distinct.insert(QByteArray(reinterpret_cast<const char *>(img.constBits()), img.sizeInBytes()));
        }
        EXPECT_EQ(static_cast<int>(distinct.size()), anim::frameCount(e.set)) << "a frame repeats";
        EXPECT_TRUE(art.frame(e.set, -1).isNull());
        EXPECT_TRUE(art.frame(e.set, anim::frameCount(e.set)).isNull());
    }
}

TEST_F(ArtworkTest, LeftAndRightMachinesAreMirrorImages)
{
    EXPECT_EQ(art.frame(FrameSet::NoriaL, 2).toImage(), art.frame(FrameSet::NoriaR, 2).toImage().mirrored(true, false));
    EXPECT_EQ(art.frame(FrameSet::KonveerL45, 1).toImage(),
              art.frame(FrameSet::KonveerR45, 1).toImage().mirrored(true, false));
    EXPECT_NE(art.frame(FrameSet::NoriaL, 2).toImage(), art.frame(FrameSet::NoriaR, 2).toImage());
}

TEST_F(ArtworkTest, EquipmentBackgroundsLeaveRoomForTheMovingImageAtItsOffset)
{
    for (int kind = 0; kind < anim::EquipmentKindCount; ++kind) {
        SCOPED_TRACE(kind);
        const QPixmap &bg = art.equipmentBackground(kind);
        ASSERT_FALSE(bg.isNull());
        const auto info = *anim::equipmentKind(kind);
        const QPixmap &inner = art.frame(info.set, info.initialFrame);
        // The moving image lies inside the background picture.
        EXPECT_LE(info.dx + inner.width(), bg.width());
        EXPECT_LE(info.dy + inner.height(), bg.height());
    }
    EXPECT_TRUE(art.equipmentBackground(22).isNull());
    EXPECT_TRUE(art.equipmentBackground(-1).isNull());
}

TEST_F(ArtworkTest, FanAndMotorHousingsOfOneDesignAreTurnedCopiesOfEachOther)
{
    const QImage k4 = art.equipmentBackground(4).toImage();
    const QImage k5 = art.equipmentBackground(5).toImage();
    EXPECT_EQ(k5, k4.transformed(QTransform().rotate(90)));
    EXPECT_EQ(art.equipmentBackground(1).toImage(), art.equipmentBackground(0).toImage().mirrored(true, false));
    EXPECT_EQ(art.equipmentBackground(10).size(), art.equipmentBackground(8).size());
    EXPECT_EQ(art.equipmentBackground(9).size(), art.equipmentBackground(8).size().transposed());
}

TEST_F(ArtworkTest, EveryBlockTypeHasItsOwnPicture)
{
    std::set<QByteArray> images;
    for (int t = 1; t <= 50; ++t) {
        const QPixmap &pm = art.blockPicture(t);
        ASSERT_FALSE(pm.isNull()) << t;
        EXPECT_EQ(pm.size(), QSize(40, 40));
        const QImage img = pm.toImage();
        images.insert(QByteArray(reinterpret_cast<const char *>(img.constBits()), img.sizeInBytes()));
    }
    // The eleven unused type numbers share one look; every used type is distinct.
    EXPECT_EQ(images.size(), 50u - 11u + 1u);
    EXPECT_TRUE(art.blockPicture(0).isNull());
    EXPECT_TRUE(art.blockPicture(51).isNull());
}

TEST_F(ArtworkTest, SwitchPicturesHaveDifferentOnAndOffImages)
{
    for (int n = 0; n < Artwork::StopImageCount; ++n)
        EXPECT_FALSE(art.stopImage(n).isNull()) << n;
    EXPECT_EQ(art.stopImage(0).size(), QSize(60, 60));
    EXPECT_TRUE(art.stopImage(16).isNull());
    for (int n : {4, 12, 13}) {
        ASSERT_FALSE(art.switchOffImage(n).isNull());
        EXPECT_NE(art.switchOffImage(n).toImage(), art.stopImage(n).toImage());
    }
    EXPECT_TRUE(art.switchOffImage(5).isNull());
    EXPECT_FALSE(Artwork::isSwitchPicture(0));
}

TEST_F(ArtworkTest, EquipmentElementPlacesBoxAndMovingImageAndRemovesThem)
{
    QWidget canvas;
    canvas.resize(800, 480);
    auto fan = EquipmentElement::create(art, 6, QRect(100, 50, 46, 46), &canvas);
    ASSERT_TRUE(fan);
    EXPECT_EQ(fan->box()->geometry(), QRect(100, 50, 46, 46));
    EXPECT_EQ(fan->inner()->geometry(), QRect(114, 61, 26, 26));
    EXPECT_EQ(fan->inner()->objectName(), QStringLiteral("Krylcatka"));
    EXPECT_EQ(fan->currentFrame(), (anim::Frame{FrameSet::Vent01, 0}));

    auto motor = EquipmentElement::create(art, 11, QRect(10, 10, 71, 56), &canvas);
    ASSERT_TRUE(motor);
    EXPECT_EQ(motor->inner()->objectName(), QStringLiteral("Motor"));
    EXPECT_EQ(motor->inner()->pos(), QPoint(57, 18));
    EXPECT_EQ(motor->inner()->pixmap().cacheKey(), art.frame(FrameSet::MotorVert, 1).cacheKey());

    motor->showFrame({FrameSet::MotorVert, 2});
    EXPECT_EQ(motor->inner()->pixmap().cacheKey(), art.frame(FrameSet::MotorVert, 2).cacheKey());
    motor->showFrame({FrameSet::MotorVert, 9});   // no such frame: picture unchanged
    EXPECT_EQ(motor->currentFrame().index, 2);

    EXPECT_FALSE(EquipmentElement::create(art, 22, QRect(0, 0, 10, 10), &canvas));
    EXPECT_FALSE(EquipmentElement::create(art, -3, QRect(0, 0, 10, 10), &canvas));
    EXPECT_EQ(canvas.findChildren<QLabel *>().size(), 4);
    QPointer<QLabel> box = motor->box();
    motor.reset();
    EXPECT_TRUE(box.isNull());
    EXPECT_EQ(canvas.findChildren<QLabel *>().size(), 2);
}
