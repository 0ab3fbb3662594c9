#include "animation/MechanismAnimation.h"

#include <algorithm>

namespace anim {

namespace {

// Slots that both spans describe, at most a page's.
std::size_t slotsGiven(std::span<const std::int32_t> kinds, std::span<const std::int16_t> states)
{
    return std::min({kinds.size(), states.size(), std::size_t(MechanismAnimation::Slots)});
}

}   // namespace

MechanismAnimation::VentTick MechanismAnimation::tickVent(std::span<const std::int32_t> kinds,
                                                          std::span<const std::int16_t> states)
{
    VentTick out;
    for (std::size_t i = 0, n = slotsGiven(kinds, states); i < n; ++i) {
        const std::int32_t kind = kinds[i];
        if (kind == NoElement || kind < 0)
            continue;
        const std::int16_t state = states[i];
        if (state < 1) {
            // Stopped: a motor shows its still picture, everything else keeps its last frame.
            if (kind >= 8 && kind <= 15)
                out.frames[i] = Frame{kind % 2 == 0 ? FrameSet::MotorHoriz : FrameSet::MotorVert, 1};
            continue;
        }
        if (kind <= 3) {
            out.frames[i] = Frame{FrameSet::Vent1, 3 - fanPhase_};
        } else if (kind <= 7) {
            out.frames[i] = Frame{FrameSet::Vent01, 3 - fanPhase_};
        } else if (kind <= 15) {
            out.frames[i] = Frame{kind % 2 == 0 ? FrameSet::MotorHoriz : FrameSet::MotorVert, motorPhase_};
        } else if (kind == 16) {
            out.frames[i] = Frame{FrameSet::Snek, state == 1 ? screwPhase_ : 5 - screwPhase_};
        } else if (kind == 17) {
            out.frames[i] = Frame{FrameSet::KonveerR, state == 1 ? 3 - fanPhase_ : fanPhase_};
        } else if (kind == 18) {
            out.frames[i] = Frame{FrameSet::NoriaL, fanPhase_};
            out.startTransport45 = true;
        } else if (kind == 19) {
            out.frames[i] = Frame{FrameSet::NoriaR, fanPhase_};
            out.startTransport45 = true;
        } else {
            out.startTransport45 = true;
        }
    }
    fanPhase_ = static_cast<std::uint8_t>((fanPhase_ + 1) % 4);
    motorPhase_ = static_cast<std::uint8_t>((motorPhase_ + 1) % 3);
    screwPhase_ = static_cast<std::uint8_t>((screwPhase_ + 1) % 6);
    return out;
}

MechanismAnimation::Frames MechanismAnimation::tickTransport45(std::span<const std::int32_t> kinds,
                                                               std::span<const std::int16_t> states)
{
    Frames out;
    for (std::size_t i = 0, n = slotsGiven(kinds, states); i < n; ++i) {
        const std::int16_t state = states[i];
        if (state < 1)
            continue;
        const int frame = state == 1 ? animationPhase_ : 3 - animationPhase_;
        if (kinds[i] == 20)
            out[i] = Frame{FrameSet::KonveerL45, frame};
        else if (kinds[i] == 21)
            out[i] = Frame{FrameSet::KonveerR45, frame};
    }
    animationPhase_ = static_cast<std::int16_t>(animationPhase_ + 1 > 3 ? 0 : animationPhase_ + 1);
    return out;
}

}   // namespace anim
