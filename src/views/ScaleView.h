#pragma once
// What the scale display shows for a selection: the colour of every key block and the 21 scale
// note slots on the staff, each with its head, "#" sign and ledger lines. Computed afresh from the
// selection every time; the main window only applies it to its widgets.

#include <array>
#include <string>
#include <vector>

#include "views/Keyboard.h"
#include "views/Staff.h"

namespace quorvane::views {

// A scale note on a white key, and on a black key.
inline constexpr OleColor kScaleWhiteKeyColor = Rgb(127, 200, 255);
inline constexpr OleColor kScaleBlackKeyColor = Rgb(64, 100, 128);

struct ScaleView {
    std::array<NoteSlotView, kScaleSlotCount> noteSlots{};
    std::array<OleColor, kKeyCount> keyColors{};
    // The root and name of the scale ("C Major"), its notes by name in slot order ("C, D, ..."),
    // and what assistive technology reads of it on the keyboard and on the staff ("none" for no
    // notes).
    std::string title;
    std::string noteNames;
    // The descriptions give each note its written octave.
    std::string keyboardDescription;  // "Scale C Major, keys coloured: C4, D4, ... C5."
    std::string staffDescription;     // "Scale C Major: C4, D4, E4, F4, G4, A4, B4, C5."
    friend bool operator==(const ScaleView&, const ScaleView&) = default;
};

// With Sharps the title keeps the root list's text ("C#(Db) Major").
ScaleView ComputeScaleView(int rootIndex, int scaleIndex, int clefOffset,
                           theory::Spelling spelling = theory::Spelling::Sharps);

}  // namespace quorvane::views
