#include "mimic/Navigation.h"

#include "app/Blocks.h"
#include "link/SetPoint.h"

namespace mimic {

NavTarget navigationTarget(int target)
{
    using A = NavTarget::Action;
    if (target >= 201 && target <= 208)
        return {A::Page, target - 201};
    if (target >= 211 && target <= 218)
        return {A::Trend, target - 211};
    if (target == block::Journal)
        return {A::Journal, 0};
    if (target >= 101 && target <= 199)
        return {A::SetPoint, target - 100};
    return {};
}

std::optional<int> findSetPointLabel(std::span<const ValueLabelSpot> labels, int navLeft, int navTop,
                                     const std::array<std::int16_t, 100> &blockType)
{
    for (const ValueLabelSpot &l : labels) {
        if (!(navTop < l.top && l.top < navTop + 60))
            continue;
        if (!(navLeft - 5 < l.left && l.left < navLeft + 67))
            continue;
        if (l.block < 1 || l.block >= static_cast<int>(blockType.size()))
            continue;
        if (setpoint::typeAccepts(blockType[static_cast<std::size_t>(l.block)]))
            return l.slot;
    }
    return std::nullopt;
}

}   // namespace mimic
