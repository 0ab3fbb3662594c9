#include "animation/EquipmentKinds.h"

#include <array>

namespace anim {

int frameCount(FrameSet set)
{
    switch (set) {
    case FrameSet::MotorHoriz:
    case FrameSet::MotorVert: return 3;
    case FrameSet::Snek: return 6;
    default: return 4;
    }
}

std::optional<EquipmentKindInfo> equipmentKind(std::int32_t kind)
{
    using F = FrameSet;
    static constexpr std::array<EquipmentKindInfo, EquipmentKindCount> kinds{{
        {F::Vent1, 0, 12, 12, false},    {F::Vent1, 0, 8, 12, false},    {F::Vent1, 0, 8, 8, false},
        {F::Vent1, 0, 12, 8, false},     {F::Vent01, 0, 6, 9, false},    {F::Vent01, 0, 11, 6, false},
        {F::Vent01, 0, 14, 11, false},   {F::Vent01, 0, 9, 14, false},   {F::MotorHoriz, 1, 8, 47, true},
        {F::MotorVert, 1, 4, 8, true},   {F::MotorHoriz, 1, 8, 4, true}, {F::MotorVert, 1, 47, 8, true},
        {F::MotorHoriz, 1, 4, 36, true}, {F::MotorVert, 1, 3, 4, true},  {F::MotorHoriz, 1, 4, 3, true},
        {F::MotorVert, 1, 36, 4, true},  {F::Snek, 0, 0, 0, true},       {F::KonveerR, 0, 0, 0, true},
        {F::NoriaL, 0, 0, 0, true},      {F::NoriaR, 0, 0, 0, true},     {F::KonveerL45, 0, 0, 0, true},
        {F::KonveerR45, 0, 0, 0, true},
    }};
    if (kind < 0 || kind >= EquipmentKindCount)
        return std::nullopt;
    return kinds[static_cast<std::size_t>(kind)];
}

}   // namespace anim
