#include "animation/Artwork.h"

#include "animation/ArtPainters.h"
#include "app/BlockCatalogue.h"

namespace {

// Pin stubs drawn on a block picture: up to eight per side; a side whose only pin has no label
// draws none.
int stubCount(const BlockCatalogue &c, int type, bool outputs)
{
    const int maxPin = outputs ? c.maxOutputPin(type) : c.maxInputPin(type);
    if (maxPin > 0)
        return std::min(maxPin + 1, 8);
    const QString label = outputs ? c.outputLabel(type, 0) : c.inputLabel(type, 0);
    return label.trimmed().isEmpty() ? 0 : 1;
}

}   // namespace

Artwork::Artwork(const BlockCatalogue &catalogue)
{
    using anim::FrameSet;
    auto fill = [this](FrameSet set, auto painter) {
        auto &v = frames_[static_cast<std::size_t>(set)];
        for (int i = 0; i < anim::frameCount(set); ++i)
            v.push_back(QPixmap::fromImage(painter(i)));
    };
    fill(FrameSet::Vent1, [](int i) { return art::fanImpeller(0, i); });
    fill(FrameSet::Vent01, [](int i) { return art::fanImpeller(1, i); });
    fill(FrameSet::MotorHoriz, [](int i) { return art::motorHoriz(i); });
    fill(FrameSet::MotorVert, [](int i) { return art::motorVert(i); });
    fill(FrameSet::Snek, [](int i) { return art::screw(i); });
    fill(FrameSet::KonveerR, [](int i) { return art::beltConveyor(i); });
    fill(FrameSet::NoriaL, [](int i) { return art::bucketElevator(true, i); });
    fill(FrameSet::NoriaR, [](int i) { return art::bucketElevator(false, i); });
    fill(FrameSet::KonveerL45, [](int i) { return art::inclinedConveyor(true, i); });
    fill(FrameSet::KonveerR45, [](int i) { return art::inclinedConveyor(false, i); });

    for (int kind = 0; kind < anim::EquipmentKindCount; ++kind) {
        QImage img;
        if (kind <= 7)
            img = art::fanHousing(kind);
        else if (kind <= 15)
            img = art::motorMachine(kind);
        else   // screws and conveyors: the whole machine, standing still
            img = frame(anim::equipmentKind(kind)->set, 0).toImage();
        backgrounds_[static_cast<std::size_t>(kind)] = QPixmap::fromImage(img);
    }

    for (int t = 1; t <= BlockCatalogue::TypeCount; ++t)
        blocks_[static_cast<std::size_t>(t)] = QPixmap::fromImage(
            art::blockPicture(t, catalogue.codeOf(t), stubCount(catalogue, t, false), stubCount(catalogue, t, true)));

    for (int n = 0; n < StopImageCount; ++n) {
        stop_[static_cast<std::size_t>(n)] = QPixmap::fromImage(art::stopImage(n));
        if (isSwitchPicture(n))
            switchOff_[static_cast<std::size_t>(n)] = QPixmap::fromImage(art::switchOff(n));
    }
    trendIcon_ = QPixmap::fromImage(art::trendIcon());
    menuPlate_ = QPixmap::fromImage(art::menuPlate());
}

const QPixmap &Artwork::frame(anim::FrameSet set, int index) const
{
    const auto s = static_cast<std::size_t>(set);
    if (s >= frames_.size() || index < 0 || index >= static_cast<int>(frames_[s].size()))
        return null_;
    return frames_[s][static_cast<std::size_t>(index)];
}

const QPixmap &Artwork::equipmentBackground(std::int32_t kind) const
{
    if (kind < 0 || kind >= anim::EquipmentKindCount)
        return null_;
    return backgrounds_[static_cast<std::size_t>(kind)];
}

const QPixmap &Artwork::blockPicture(int type) const
{
    if (type < 1 || type > BlockCatalogue::TypeCount)
        return null_;
    return blocks_[static_cast<std::size_t>(type)];
}

const QPixmap &Artwork::stopImage(int picture) const
{
    if (picture < 0 || picture >= StopImageCount)
        return null_;
    return stop_[static_cast<std::size_t>(picture)];
}

const QPixmap &Artwork::switchOffImage(int picture) const
{
    if (!isSwitchPicture(picture))
        return null_;
    return switchOff_[static_cast<std::size_t>(picture)];
}
