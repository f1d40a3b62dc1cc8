#include "vantile/OleColor.h"

namespace vantile {

namespace {

struct SystemRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// System colour index -> palette role, for the indices 0..30 of the platform's list.
std::optional<SystemRole> RoleOf(int index) {
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

}  // namespace

std::optional<QColor> ToQColor(OleColor color, const QPalette& palette) {
    if (IsSystemColor(color)) {
        if ((color & 0x7FFFFF00u) != 0) {
            return std::nullopt;
        }
        const auto role = RoleOf(static_cast<int>(color & 0xFFu));
        if (!role) {
            return std::nullopt;
        }
        return palette.color(role->group, role->role);
    }
    return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                  static_cast<int>((color >> 16) & 0xFFu));
}

OleColor FromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<OleColor>(rgb.red()) | (static_cast<OleColor>(rgb.green()) << 8) |
           (static_cast<OleColor>(rgb.blue()) << 16);
}

}  // namespace vantile
