#pragma once
// Colour values as the controls keep them: 0x00BBGGRR, or, with the top bit set, a system colour
// named by the index in the low byte, taken from the palette.
#include <QColor>
#include <QPalette>
#include <QVariant>
#include <cstdint>

namespace controls {

// A stored colour value, signed or unsigned (0x80000005 may come back either way).
inline bool colorValueFrom(const QVariant &stored, std::int32_t &value)
{
    bool ok = false;
    const qlonglong v = stored.toLongLong(&ok);
    if (!ok || v < INT32_MIN || v > static_cast<qlonglong>(UINT32_MAX))
        return false;
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return true;
}

inline QColor colorFromValue(std::int32_t value, const QPalette &palette)
{
    const auto bits = static_cast<std::uint32_t>(value);
    if ((bits & 0x80000000u) == 0)
        return QColor(static_cast<int>(bits & 0xFFu), static_cast<int>((bits >> 8) & 0xFFu),
                      static_cast<int>((bits >> 16) & 0xFFu));
    using P = QPalette;
    switch (bits & 0xFFu) {
    case 0: return palette.color(P::Active, P::Button);               // scroll bar
    case 1: return palette.color(P::Active, P::Window);               // desktop
    case 2: return palette.color(P::Active, P::Highlight);            // active caption
    case 3: return palette.color(P::Inactive, P::Highlight);          // inactive caption
    case 4: return palette.color(P::Active, P::Window);               // menu
    case 5: return palette.color(P::Active, P::Base);                 // window background
    case 6: return palette.color(P::Active, P::Shadow);               // window frame
    case 7: return palette.color(P::Active, P::WindowText);           // menu text
    case 8: return palette.color(P::Active, P::WindowText);           // window text
    case 9: return palette.color(P::Active, P::HighlightedText);      // caption text
    case 10: return palette.color(P::Active, P::Window);              // active border
    case 11: return palette.color(P::Inactive, P::Window);            // inactive border
    case 12: return palette.color(P::Active, P::Mid);                 // application workspace
    case 13: return palette.color(P::Active, P::Highlight);           // highlight
    case 14: return palette.color(P::Active, P::HighlightedText);     // highlight text
    case 15: return palette.color(P::Active, P::Button);              // button face
    case 16: return palette.color(P::Active, P::Dark);                // button shadow
    case 17: return palette.color(P::Disabled, P::Text);              // grey text
    case 18: return palette.color(P::Active, P::ButtonText);          // button text
    case 19: return palette.color(P::Inactive, P::HighlightedText);   // inactive caption text
    case 20: return palette.color(P::Active, P::Light);               // 3D highlight
    case 21: return palette.color(P::Active, P::Shadow);              // 3D dark shadow
    case 22: return palette.color(P::Active, P::Midlight);            // 3D light
    case 23: return palette.color(P::Active, P::ToolTipText);         // tooltip text
    case 24: return palette.color(P::Active, P::ToolTipBase);         // tooltip background
    default: return palette.color(P::Active, P::Base);                // unknown index
    }
}

}   // namespace controls
