#include "app/Colors.h"

#include <QGuiApplication>

namespace {

struct SystemColor {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Windows system colour index → nearest palette entry.
SystemColor systemColor(int index)
{
    using P = QPalette;
    switch (index) {
    case 0: return {P::Active, P::Button};               // scroll bar
    case 1: return {P::Active, P::Window};               // desktop
    case 2: return {P::Active, P::Highlight};            // active caption
    case 3: return {P::Inactive, P::Highlight};          // inactive caption
    case 4: return {P::Active, P::Window};               // menu
    case 5: return {P::Active, P::Base};                 // window background
    case 6: return {P::Active, P::Shadow};               // window frame
    case 7: return {P::Active, P::WindowText};           // menu text
    case 8: return {P::Active, P::WindowText};           // window text
    case 9: return {P::Active, P::HighlightedText};      // caption text
    case 10: return {P::Active, P::Window};              // active border
    case 11: return {P::Inactive, P::Window};            // inactive border
    case 12: return {P::Active, P::Mid};                 // application workspace
    case 13: return {P::Active, P::Highlight};           // highlight
    case 14: return {P::Active, P::HighlightedText};     // highlight text
    case 15: return {P::Active, P::Button};              // button face
    case 16: return {P::Active, P::Dark};                // button shadow
    case 17: return {P::Disabled, P::Text};              // gray text
    case 18: return {P::Active, P::ButtonText};          // button text
    case 19: return {P::Inactive, P::HighlightedText};   // inactive caption text
    case 20: return {P::Active, P::Light};               // 3D highlight
    case 21: return {P::Active, P::Shadow};              // 3D dark shadow
    case 22: return {P::Active, P::Midlight};            // 3D light
    case 23: return {P::Active, P::ToolTipText};         // tooltip text
    case 24: return {P::Active, P::ToolTipBase};         // tooltip background
    case 26: return {P::Active, P::Link};                // hot-tracked item
    case 27: return {P::Active, P::Highlight};           // active caption gradient
    case 28: return {P::Inactive, P::Highlight};         // inactive caption gradient
    case 29: return {P::Active, P::Highlight};           // menu highlight
    case 30: return {P::Active, P::Window};              // menu bar
    default: return {P::Active, P::Base};                // unknown: window background
    }
}

QPalette defaultPalette()
{
    // Light palette derived from the classic button face; white window background, black text.
    return QPalette(QColor(240, 240, 240));
}

}   // namespace

QColor colorFromBgr(std::int32_t v, const QPalette &palette)
{
    const auto bits = static_cast<std::uint32_t>(v);
    if ((bits & 0x80000000u) != 0) {
        const SystemColor sc = systemColor(static_cast<int>(bits & 0xFFu));
        return palette.color(sc.group, sc.role);
    }
    return QColor(static_cast<int>(bits & 0xFFu), static_cast<int>((bits >> 8) & 0xFFu),
                  static_cast<int>((bits >> 16) & 0xFFu));
}

QColor colorFromBgr(std::int32_t v)
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
        return colorFromBgr(v, QGuiApplication::palette());
    return colorFromBgr(v, defaultPalette());
}

std::int32_t bgrFromColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    const auto bits = static_cast<std::uint32_t>(rgb.red()) | (static_cast<std::uint32_t>(rgb.green()) << 8)
        | (static_cast<std::uint32_t>(rgb.blue()) << 16);
    return static_cast<std::int32_t>(bits);
}
