#pragma once
// Every window position and size in this program is written in twips (1/1440 inch), as the
// layouts give them. This is the one place where twips become logical pixels; Qt's device pixel
// ratio then maps logical pixels to the screen, so high-DPI screens need nothing more here.

namespace quorvane::views {

inline constexpr int kTwipsPerPixel = 15;

// Whole logical pixels for a twips value, rounded to nearest (halves away from zero).
constexpr int TwipsToPixels(int twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

// Exact logical pixels, for painting with floating-point coordinates.
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

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A control's rectangle: left, top, width, height in twips to logical pixels.
constexpr PixelRect TwipsToPixels(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

}  // namespace quorvane::views
