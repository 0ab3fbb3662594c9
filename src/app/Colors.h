#pragma once
// Colours as the project files and controls store them: 0x00BBGGRR, or, with the top bit set,
// a system colour named by its index in the low byte (5 window background, 8 window text, ...),
// taken from the palette.
#include <QColor>
#include <QPalette>
#include <cstdint>

QColor colorFromBgr(std::int32_t v, const QPalette &palette);
// Uses the application's palette when a GUI application exists, a light default otherwise.
QColor colorFromBgr(std::int32_t v);
std::int32_t bgrFromColor(const QColor &color);

// The plain colours the program itself uses, as 0x00BBGGRR.
namespace colors {
constexpr std::int32_t Black = 0x000000;
constexpr std::int32_t White = 0xFFFFFF;
constexpr std::int32_t Red = 0x0000FF;
constexpr std::int32_t Blue = 0xFF0000;
constexpr std::int32_t DarkGreen = 0x008000;
constexpr std::int32_t Teal = 0x808000;
constexpr std::int32_t Grey = 0x808080;
constexpr std::int32_t Silver = 0xC0C0C0;
constexpr std::int32_t LightGrey = 0xE0E0E0;
}   // namespace colors
