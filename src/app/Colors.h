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
