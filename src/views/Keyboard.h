#pragma once
// The three-octave keyboard panel of the main window: where every key, divider, black-key shape
// and marker stands (twips, relative to the panel's drawing area), which pitch class a press
// selects, and what a marker shows in each identifier mode. Plain values, no widgets.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "theory/theory.h"

namespace quorvane::views {

// OLE colour: 0x00BBGGRR (red in the low byte).
using OleColor = std::uint32_t;

constexpr OleColor Rgb(int red, int green, int blue) {
    return static_cast<OleColor>(red & 0xFF) | (static_cast<OleColor>(green & 0xFF) << 8) |
           (static_cast<OleColor>(blue & 0xFF) << 16);
}

inline constexpr OleColor kWhite = 0x00FFFFFF;
inline constexpr OleColor kBlack = 0x00000000;

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

struct TwipsVLine {
    int x = 0;
    int y1 = 0;
    int y2 = 0;
    friend constexpr bool operator==(const TwipsVLine&, const TwipsVLine&) = default;
};

inline constexpr int kKeyCount = theory::kKeyboardKeys;
inline constexpr int kBlackKeyCount = 15;
inline constexpr int kDividerCount = 20;
inline constexpr int kOctaveWidth = 2730;  // seven white keys of 390
inline constexpr int kWhiteKeyWidth = 390;
inline constexpr int kWhiteKeyHeight = 2310;
inline constexpr int kBlackKeyWidth = 300;
inline constexpr int kBlackKeyHeight = 1305;

// The panel in the window (outer size, border included) and its drawing area.
inline constexpr TwipsRect kKeyboardPanel{120, 840, 8265, 2385};
inline constexpr int kKeyboardDrawingWidth = 8205;
inline constexpr int kKeyboardDrawingHeight = 2325;
inline constexpr int kKeyboardBorder = (kKeyboardPanel.width - kKeyboardDrawingWidth) / 2;

// The markers' stored design properties.
inline constexpr OleColor kMarkerDesignColor = 0x00C0C0FF;  // red 255, green 192, blue 192
inline constexpr int kMarkerDesignEdge = 3;                 // raised
inline constexpr std::string_view kMarkerFontName = "Terminal";
inline constexpr double kMarkerFontPoints = 6.0;
inline constexpr int kMarkerFontCharset = 255;  // OEM character set

// Pitch classes 1, 3, 6, 8 and 10 are black keys.
constexpr bool IsBlackKey(int key) {
    const int pc = ((key % 12) + 12) % 12;
    return pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10;
}

// Left edge of key k: one octave is 2730 twips, the pitch class gives the offset within it.
constexpr int KeyLeft(int key) {
    constexpr std::array<int, 12> offsets{0,    240,  390,  630,  780,  1170,
                                          1410, 1560, 1800, 1950, 2190, 2340};
    return kOctaveWidth * (key / 12) + offsets[static_cast<std::size_t>(key % 12)];
}

// The highlight block of key k (what the user sees as the key).
constexpr TwipsRect KeyBlockRect(int key) {
    return IsBlackKey(key) ? TwipsRect{KeyLeft(key), 0, kBlackKeyWidth, kBlackKeyHeight}
                           : TwipsRect{KeyLeft(key), 0, kWhiteKeyWidth, kWhiteKeyHeight};
}

// The marker of key k: low on a white key, high on a black one.
constexpr TwipsRect MarkerRect(int key) {
    return IsBlackKey(key) ? TwipsRect{KeyLeft(key) + 15, 600, 270, 375}
                           : TwipsRect{KeyLeft(key) + 60, 1530, 270, 375};
}

// Divider i (0..19) between two white keys.
constexpr TwipsVLine DividerLine(int i) {
    return {kWhiteKeyWidth * (i + 1), 0, 2280};
}

// Key index of the b-th black key from the left (b = 0..14).
constexpr int BlackKeyIndex(int b) {
    constexpr std::array<int, 5> pcs{1, 3, 6, 8, 10};
    return 12 * (b / 5) + pcs[static_cast<std::size_t>(b % 5)];
}

// The b-th black-key shape beneath the blocks: 315 wide, the first one 300.
constexpr TwipsRect BlackKeyShapeRect(int b) {
    return {KeyLeft(BlackKeyIndex(b)), 0, b == 0 ? 300 : 315, kBlackKeyHeight};
}

inline constexpr TwipsRect kKeyboardOutline{0, 0, kKeyboardDrawingWidth, kKeyboardDrawingHeight};

// A key block's Tag: its own colour as a colour literal, the only record of its normal colour.
std::string_view KeyBlockTag(int key);

// The normal colour a Tag stands for: white for "&H00FFFFFF&", black for anything else.
OleColor ColorFromTag(std::string_view tag);

// Pitch class 0..11 under a press at (x, y) in the drawing area, in twips. x is rounded to the
// nearest whole twip (halves to even); below the black keys only the white zones count.
int PitchClassAtPoint(float x, float y);

// The key 0..35 under a press at (x, y) in the drawing area, as PitchClassAtPoint finds its pitch
// class; -1 right of the last key (where that C would be).
int KeyAtPoint(float x, float y);

enum class IdentifierMode { Markers = 0, Names = 1, Numbers = 2 };

// What the marker of key k shows: nothing, the key's name, or its interval above the root.
std::string MarkerCaption(int key, IdentifierMode mode, int root);

// Held keys are drawn pressed in a warm shade, told apart at a glance from the keys' own white
// and black and from the scale's blues.
inline constexpr OleColor kHeldWhiteKeyColor = Rgb(255, 170, 60);
inline constexpr OleColor kHeldBlackKeyColor = Rgb(190, 95, 0);

// The MIDI note key 0 sounds at octave shift 0: middle C.
inline constexpr int kKeyZeroNote = 60;

// The keys drawn pressed, and what that says in words ("Held: C4, E4, G4." or "Held: none.").
struct HeldView {
    std::array<bool, kKeyCount> held{};
    std::string description;
};

// `notes` are MIDI note numbers; key k sounds as note 60 + k + 12 x `octave`, so a note is drawn
// on the key that sounds it. Notes beyond the three drawn octaves are left out.
HeldView ComputeHeldView(const std::vector<int>& notes, int octave);

// The colours a key shows: its held shade where it is held, else `colors`.
std::array<OleColor, kKeyCount> WithHeldKeys(const std::array<OleColor, kKeyCount>& colors,
                                             const HeldView& held);

}  // namespace quorvane::views
