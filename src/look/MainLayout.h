#pragma once
// The main window's layout (twips in its client area): what the window builds its controls from
// and what the printed chord sheet draws them from, so the two cannot drift apart.

#include <QFont>
#include <QString>
#include <array>
#include <cstddef>
#include <string_view>

#include "views/Keyboard.h"
#include "views/Staff.h"

namespace quorvane::look {

inline constexpr int kMainClientWidth = 8550;
inline constexpr int kMainClientHeight = 6225;

// lblNoteName at its design size; the caption sets its real width (LayOutName).
inline constexpr views::TwipsRect kNameLabel{3585, 180, 1080, 435};
// The name never runs closer than this to the window's edge.
inline constexpr int kNameMargin = 120;

struct Caption {
    std::string_view text;
    views::TwipsRect rect;
};

// Label1..Label5: the captions of the three selectors, then the scale and chord areas. Label5
// stands where the chord view puts it (it moves left of a high chord's signs).
inline constexpr std::array<Caption, 5> kMainLabels{{{"Root Note:", {120, 3480, 945, 195}},
                                                     {"Chord Type:", {1440, 3480, 1050, 195}},
                                                     {"Scale:", {3960, 3480, 555, 195}},
                                                     {"Scale:", views::kScaleLabel},
                                                     {"Chord:", views::kChordLabel}}};
inline constexpr std::size_t kChordLabelIndex = 4;

// cboRootNote, cboChordTypes and cboScales, beneath the first three labels.
inline constexpr std::array<views::TwipsRect, 3> kMainSelectors{
    {{120, 3720, 1215, 315}, {1440, 3720, 2415, 315}, {3960, 3720, 2775, 315}}};

inline constexpr views::TwipsRect kPlayButton{7740, 3600, 612, 492};

// optClef(0) "Treble Clef" and optClef(1) "Bass Clef".
inline constexpr std::array<Caption, 2> kClefOptions{
    {{"Treble Clef", {120, 5580, 1275, 375}}, {"Bass Clef", {1440, 5580, 1275, 375}}}};

// Where the chord-name label stands for a caption, in logical pixels: its font (the name font,
// shrunk when the caption would not fit the window), its left edge and its size. The label grows
// to the right from its layout position; a name that would run past the window's edge moves left
// as far as needed.
struct NameLayout {
    QFont font;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
NameLayout LayOutName(const QString& caption);

}  // namespace quorvane::look
