#pragma once
// The program's own pictures, drawn once at start-up and kept as pixmaps: the block type
// pictures of the schema (Block_ImageList), the control-button pictures (STOP_Image) with the
// off pictures of the switches, the animation frames of the machinery, the 22 equipment
// backgrounds (PictureVent), the trend icon and the menu plate.
#include "animation/EquipmentKinds.h"

#include <QPixmap>
#include <array>
#include <cstdint>
#include <vector>

class BlockCatalogue;

class Artwork {
public:
    static constexpr int StopImageCount = 16;   // STOP_Image entries 0..15

    explicit Artwork(const BlockCatalogue &catalogue);

    // Animation frames; a null pixmap for an index outside the set.
    const QPixmap &frame(anim::FrameSet set, int index) const;
    const QPixmap &frame(const anim::Frame &f) const { return frame(f.set, f.index); }

    // PictureVent entry `kind` (0..21); null for an unknown kind.
    const QPixmap &equipmentBackground(std::int32_t kind) const;

    // Block_ImageList entry t (1..50); null otherwise.
    const QPixmap &blockPicture(int type) const;

    // STOP_Image entry (0..15); null otherwise. Switch pictures 4, 12 and 13 have an off picture
    // (for 4 that is Tumbler_OFF); the on picture is the STOP_Image entry itself.
    const QPixmap &stopImage(int picture) const;
    const QPixmap &switchOffImage(int picture) const;
    static bool isSwitchPicture(int picture) { return picture == 4 || picture == 12 || picture == 13; }

    const QPixmap &trendIcon() const { return trendIcon_; }
    const QPixmap &menuPlate() const { return menuPlate_; }

private:
    QPixmap null_;
    std::array<std::vector<QPixmap>, anim::FrameSetCount> frames_;
    std::array<QPixmap, anim::EquipmentKindCount> backgrounds_;
    std::array<QPixmap, 51> blocks_;   // [1..50]
    std::array<QPixmap, StopImageCount> stop_;
    std::array<QPixmap, StopImageCount> switchOff_;
    QPixmap trendIcon_;
    QPixmap menuPlate_;
};
