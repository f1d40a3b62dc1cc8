#pragma once
// The control's twips rule: sizes, caption places and mouse positions are in twips (1/1440 inch),
// 15 to a logical pixel, as its hosts write their layouts. The library is a deliverable of its
// own and links nothing of the program, so the rule is written here once on purpose; the program
// keeps its own copy for its windows (views/Twips.h) and checks at compile time that the two
// agree.

#include <cmath>

namespace vantile {

inline constexpr int kTwipsPerPixel = 15;

// Exact logical pixels for a twips value.
constexpr double TwipsToPixelsF(double twips) {
    return twips / kTwipsPerPixel;
}

// Twips for a logical pixel position (mouse events arrive in logical pixels).
constexpr double PixelsToTwips(double pixels) {
    return pixels * kTwipsPerPixel;
}

// Font sizes: a point is 20 twips, so a font of `points` is this many logical pixels high.
constexpr double PointsToPixels(double points) {
    return TwipsToPixelsF(points * 20.0);
}

// Whole pixels for a size in twips, rounded to nearest with halves to even (nearbyint in the
// default rounding mode).
inline int PixelsFromTwips(double twips) {
    return static_cast<int>(std::nearbyint(TwipsToPixelsF(twips)));
}

}  // namespace vantile
