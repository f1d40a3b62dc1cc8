#pragma once
// OLE colours: 0x00BBGGRR, or with the top bit set a reference to a system colour whose index is
// in the low byte. System colours come from a widget palette.

#include <QColor>
#include <QPalette>
#include <cstdint>
#include <optional>

#include "vantile/vantilectl_export.h"

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

// The colour `color` stands for; nothing for a system colour index no palette role matches.
VANTILECTL_EXPORT std::optional<QColor> ToQColor(OleColor color, const QPalette& palette);

// The OLE colour (0x00BBGGRR) of an RGB colour.
VANTILECTL_EXPORT OleColor FromQColor(const QColor& color);

}  // namespace vantile
