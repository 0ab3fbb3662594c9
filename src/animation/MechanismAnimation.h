#pragma once
// Phases and frame choice of the machinery on the page on show. Timer_Vent (70 ms) steps fans,
// motors, screws, belt conveyors and bucket elevators; Timer_Transport45 (a one-shot 10 ms timer
// that a Timer_Vent tick starts) steps the inclined conveyors. The engine only says which frame
// each slot shows; the caller puts the pictures on screen and owns the timers.
#include "animation/EquipmentKinds.h"
#include "app/Pages.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace anim {

class MechanismAnimation {
public:
    static constexpr int Slots = pages::Slots;   // slots 0..32 of a page
    static constexpr std::int32_t NoElement = -1;

    using Frames = std::array<std::optional<Frame>, Slots>;

    struct VentTick {
        Frames frames;                   // slots whose picture changes on this tick
        bool startTransport45 = false;   // a running kind 18 or above asks for Timer_Transport45
    };

    // One Timer_Vent tick for one page. kinds[i] is the equipment kind of slot i, or NoElement
    // when the slot has no element; states[i] its running state (1 forward, 2 or more reverse,
    // below 1 stopped). Shorter spans leave the remaining slots empty. Advances the fan, motor and
    // screw phases after all slots.
    VentTick tickVent(std::span<const std::int32_t> kinds, std::span<const std::int16_t> states);

    // One Timer_Transport45 run for one page; advances the inclined conveyors' phase.
    Frames tickTransport45(std::span<const std::int32_t> kinds, std::span<const std::int16_t> states);

    int fanPhase() const { return fanPhase_; }
    int motorPhase() const { return motorPhase_; }
    int screwPhase() const { return screwPhase_; }
    int animationPhase() const { return animationPhase_; }

private:
    std::uint8_t fanPhase_ = 0;         // 0..3
    std::uint8_t motorPhase_ = 0;       // 0..2
    std::uint8_t screwPhase_ = 0;       // 0..5
    std::int16_t animationPhase_ = 0;   // 0..3, inclined conveyors
};

}   // namespace anim
