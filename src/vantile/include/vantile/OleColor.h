#pragma once
// OLE colours: 0x00BBGGRR, or with the top bit set a reference to a system colour whose index is
// in the low byte. System colours come from a widget palette. Header-only: the control, its
// hosts and the program's printing convert colours with this one definition.

#include <QColor>
#include <QPalette>
#include <cstdint>
#include <optional>

namespace vantile {

using OleColor = std::uint32_t;

inline constexpr OleColor kSystemColorFlag = 0x80000000u;

// Standard system colour indices.
namespace syscolor {
inline constexpr int ButtonFace = 15;
inline constexpr int ButtonShadow = 16;
inline constexpr int ButtonText = 18;
inline constexpr int ButtonHighlight = 20;
inline constexpr int DarkShadow3D = 21;
inline constexpr int Light3D = 22;
}  // namespace syscolor

constexpr OleColor SystemColor(int index) {
    return kSystemColorFlag | static_cast<OleColor>(index & 0xFF);
}

constexpr bool IsSystemColor(OleColor color) {
    return (color & kSystemColorFlag) != 0;
}

namespace color_detail {

struct SystemRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// System colour index -> palette role, for the indices 0..30 of the platform's list (25 is not
// one of them).
inline std::optional<SystemRole> RoleOf(int index) {
    using P = QPalette;
    switch (index) {
        case 0:   // scroll bar
        case 10:  // active border
        case 11:  // inactive border
        case 15:  // button face
            return SystemRole{P::Active, P::Button};
        case 1:   // desktop
        case 4:   // menu
        case 30:  // menu bar
            return SystemRole{P::Active, P::Window};
        case 2:   // active caption
        case 13:  // highlight
        case 27:  // active caption gradient
        case 29:  // menu highlight
            return SystemRole{P::Active, P::Highlight};
        case 3:   // inactive caption
        case 28:  // inactive caption gradient
            return SystemRole{P::Inactive, P::Highlight};
        case 5:  // window
            return SystemRole{P::Active, P::Base};
        case 6:   // window frame
        case 21:  // 3-D dark shadow
            return SystemRole{P::Active, P::Shadow};
        case 7:  // menu text
            return SystemRole{P::Active, P::WindowText};
        case 8:  // window text
            return SystemRole{P::Active, P::Text};
        case 9:   // caption text
        case 14:  // highlighted text
            return SystemRole{P::Active, P::HighlightedText};
        case 12:  // application workspace
            return SystemRole{P::Active, P::Mid};
        case 16:  // button shadow
            return SystemRole{P::Active, P::Dark};
        case 17:  // grey text
            return SystemRole{P::Disabled, P::Text};
        case 18:  // button text
            return SystemRole{P::Active, P::ButtonText};
        case 19:  // inactive caption text
            return SystemRole{P::Inactive, P::HighlightedText};
        case 20:  // button highlight
            return SystemRole{P::Active, P::Light};
        case 22:  // 3-D light
            return SystemRole{P::Active, P::Midlight};
        case 23:  // tooltip text
            return SystemRole{P::Active, P::ToolTipText};
        case 24:  // tooltip background
            return SystemRole{P::Active, P::ToolTipBase};
        case 26:  // hot-tracked item
            return SystemRole{P::Active, P::Link};
        default:
            return std::nullopt;
    }
}

// The palette role of a system colour reference: the flag, zeros, and a known index.
inline std::optional<SystemRole> SystemRoleOf(OleColor color) {
    if ((color & 0xFFFFFF00u) != kSystemColorFlag) {
        return std::nullopt;
    }
    return RoleOf(static_cast<int>(color & 0xFFu));
}

}  // namespace color_detail

// True for an RGB value (high byte 0x00) and for a reference to one of the platform's system
// colours (high byte 0x80, then zeros, then a known index); false for everything else.
inline bool IsValidOleColor(OleColor color) {
    const OleColor high = color >> 24;
    return high == 0x00u || (high == 0x80u && color_detail::SystemRoleOf(color).has_value());
}

// The colour `color` stands for; nothing for a value that is not a valid OLE colour.
inline std::optional<QColor> ToQColor(OleColor color, const QPalette& palette) {
    if (IsSystemColor(color)) {
        const auto role = color_detail::SystemRoleOf(color);
        if (!role) {
            return std::nullopt;
        }
        return palette.color(role->group, role->role);
    }
    if ((color >> 24) != 0) {
        return std::nullopt;
    }
    return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                  static_cast<int>((color >> 16) & 0xFFu));
}

// The OLE colour (0x00BBGGRR) of an RGB colour.
inline OleColor FromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<OleColor>(rgb.red()) | (static_cast<OleColor>(rgb.green()) << 8) |
           (static_cast<OleColor>(rgb.blue()) << 16);
}

}  // namespace vantile
