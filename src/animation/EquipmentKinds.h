#pragma once
// The 22 equipment kinds of a mimic page: which moving image a kind carries, where that image
// sits inside the element box, and the frame sets the animation steps through.
#include <cstdint>
#include <optional>

namespace anim {

// The frame picture arrays. Fans and motors use an inner image over a background; screws,
// conveyors and elevators use an inner image that covers the whole box.
enum class FrameSet : std::uint8_t {
    Vent1,        // Image_Vent1: fan impeller, first design
    Vent01,       // Image_Vent01: fan impeller, second design
    MotorHoriz,   // ImageMotorHoriz
    MotorVert,    // ImageMotorVert
    Snek,         // PictureSnek: screw conveyor
    KonveerR,     // PictureKonveer_R: belt conveyor
    NoriaL,       // PictureNoria_L: bucket elevator, left
    NoriaR,       // PictureNoria_R: bucket elevator, right
    KonveerL45,   // PictureKonveer_L45: inclined conveyor rising to the left
    KonveerR45,   // PictureKonveer_R45: inclined conveyor rising to the right
};
constexpr int FrameSetCount = 10;

// Number of frames in a set: fans, belts, elevators and inclined conveyors 4, motors 3,
// the screw 6.
int frameCount(FrameSet set);

struct Frame {
    FrameSet set = FrameSet::Vent1;
    int index = 0;
    friend bool operator==(const Frame &, const Frame &) = default;
};

struct EquipmentKindInfo {
    FrameSet set;       // frames of the inner image
    int initialFrame;   // picture given when the element is placed
    int dx, dy;         // inner image offset from the box's left and top
    bool motor;         // inner image is a Motor instance (kinds 8 and above), else Krylcatka
};

constexpr int EquipmentKindCount = 22;

// Kinds 0..21; nullopt for any other value.
std::optional<EquipmentKindInfo> equipmentKind(std::int32_t kind);

}   // namespace anim
