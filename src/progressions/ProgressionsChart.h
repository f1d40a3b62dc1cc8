#pragma once
// The chord chart of the progressions window as plain data: the fifteen boxes with their places,
// colours, fonts and offsets above the root, the 24 lines that join them, and the captions for a
// root. No widgets here.

#include <array>
#include <string>

#include "theory/spelling.h"
#include "views/Keyboard.h"

namespace quorvane::progressions {

inline constexpr int kBoxCount = 15;
inline constexpr int kLineCount = 24;

// Client area of the window, in twips.
inline constexpr int kClientWidth = 5475;
inline constexpr int kClientHeight = 4185;

// Screens at least this wide (twips) place the window beside the main window.
inline constexpr int kWideScreenTwips = 12288;
inline constexpr int kNarrowScreenLeft = 100;  // twips

inline constexpr int kEdgeBump = 1;
inline constexpr views::OleColor kLineColor = 0x00404040;  // dark grey
inline constexpr int kLineWidthPixels = 6;

struct BoxLayout {
    int left, top, width, height;  // twips
    views::OleColor backColor;     // 0x00BBGGRR
    int offset;                    // semitones above the root
    bool minor;                    // "m" follows the root text
    double fontPoints;
    const char* createdCaption;  // the caption the box has before any refresh
};

inline constexpr views::OleColor kRootColor = 0x0080FFFF;
inline constexpr views::OleColor kLeftColor = 0x00FFFF80;
inline constexpr views::OleColor kRightColor = 0x00FF8080;
inline constexpr views::OleColor kMiddleColor = 0x0080FF80;
inline constexpr views::OleColor kBottomColor = 0x008080FF;

inline constexpr std::array<BoxLayout, kBoxCount> kBoxes{{
    {2040, 120, 1395, 735, kRootColor, 0, false, 12.0, "C"},
    {120, 840, 975, 375, kLeftColor, 5, false, 8.25, "F"},
    {120, 1920, 975, 375, kLeftColor, 10, false, 8.25, "Bb"},
    {120, 2760, 975, 375, kLeftColor, 3, false, 8.25, "Eb"},
    {120, 3600, 975, 375, kLeftColor, 8, false, 8.25, "Ab"},
    {4440, 840, 975, 375, kRightColor, 7, false, 8.25, "G"},
    {4440, 1920, 975, 375, kRightColor, 2, false, 8.25, "D"},
    {4440, 2760, 975, 375, kRightColor, 9, false, 8.25, "A"},
    {4440, 3600, 975, 375, kRightColor, 4, false, 8.25, "E"},
    {1200, 1920, 975, 375, kMiddleColor, 2, true, 8.25, "Dm"},
    {2280, 1920, 975, 375, kMiddleColor, 9, true, 8.25, "Am"},
    {3360, 1920, 975, 375, kMiddleColor, 4, true, 8.25, "Em"},
    {1200, 3600, 975, 375, kBottomColor, 2, true, 8.25, "Dm"},
    {2280, 3600, 975, 375, kBottomColor, 9, true, 8.25, "Am"},
    {3360, 3600, 975, 375, kBottomColor, 4, false, 8.25, "E"},
}};

struct LineLayout {
    int x1, y1, x2, y2;  // twips
};

// Line1..Line24 in order.
inline constexpr std::array<LineLayout, kLineCount> kLines{{
    {2772, 720, 2772, 1920},  {2772, 2280, 2772, 3600}, {4680, 1032, 1680, 1926},
    {840, 1032, 3846, 1926},  {4686, 1032, 2772, 1926}, {4680, 1032, 3840, 1926},
    {840, 1032, 2766, 1926},  {840, 1032, 1680, 1932},  {3360, 432, 4932, 432},
    {2160, 432, 600, 432},    {600, 1212, 600, 1920},   {612, 2280, 612, 2760},
    {612, 3120, 612, 3600},   {4932, 1212, 4932, 1920}, {4932, 2280, 4932, 2760},
    {4932, 3120, 4932, 3600}, {3840, 2640, 3840, 2280}, {1680, 2640, 3840, 2640},
    {1680, 2640, 1680, 2280}, {3840, 3240, 1680, 3240}, {600, 432, 600, 840},
    {4932, 432, 4932, 840},   {1680, 3240, 1680, 3600}, {3840, 3240, 3840, 3600},
}};

using Captions = std::array<std::string, kBoxCount>;

// The fifteen captions for a root (0..11): the root list's text at root + offset, with "m"
// after the minor chords; in another spelling each chord's root as that spelling writes the
// chord ("Ebm", "Db").
Captions ProgCaptions(int rootIndex, theory::Spelling spelling = theory::Spelling::Sharps);

// The captions the boxes carry when the window is created.
Captions CreatedCaptions();

struct Placement {
    int left, top;  // twips
};

// Where the window stands when it is created: beside the main window on a screen at least
// 12288 twips wide, else near the left edge; always at the top.
Placement PlaceWindow(int screenWidthTwips, int mainOuterWidthTwips);

}  // namespace quorvane::progressions
