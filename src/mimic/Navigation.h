#pragma once
// Where a navigation label (Go_Block_Label) leads, and which value label gives the set-point
// dialog its starting text.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace mimic {

struct NavTarget {
    enum class Action { None, Page, Trend, Journal, SetPoint };
    Action action = Action::None;
    int value = 0;   // page 0..7, trend group 0..7, or block 1..99
};

// 201..208 page target - 201; 211..218 trend group target - 211; 99 the journal;
// 101..199 the set-point of block target - 100; anything else nothing.
NavTarget navigationTarget(int target);

// A present value label of the page on show, as the search sees it.
struct ValueLabelSpot {
    int slot = 0;
    int left = 0;
    int top = 0;
    int block = 0;
};

// The first label (in the given order, slots 1..32) that lies under the navigation label at
// (navLeft, navTop): navTop < top < navTop + 60 and navLeft - 5 < left < navLeft + 67, and whose
// own block is of a set-point type. Returns its slot.
std::optional<int> findSetPointLabel(std::span<const ValueLabelSpot> labels, int navLeft, int navTop,
                                     const std::array<std::int16_t, 100> &blockType);

}   // namespace mimic
