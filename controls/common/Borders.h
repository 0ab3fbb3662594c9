#pragma once
// Borders and value checks shared by the drawing primitives of the controls.
#include <Qt>

namespace controls {

// Border styles run from 0 (transparent) to 6 (inside solid); widths from 1 to 8192.
constexpr int MaxBorderStyle = 6;
constexpr int MaxBorderWidth = 8192;

// Sets field to value when it lies in lowest..highest; otherwise returns false, changing nothing.
inline bool assignWithin(int &field, int value, int lowest, int highest)
{
    if (value < lowest || value > highest)
        return false;
    field = value;
    return true;
}

// The pen of a border style; solid (1) and inside solid (6) both draw solid lines.
inline Qt::PenStyle penStyle(int borderStyle)
{
    switch (borderStyle) {
    case 2: return Qt::DashLine;
    case 3: return Qt::DotLine;
    case 4: return Qt::DashDotLine;
    case 5: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

}   // namespace controls
