#pragma once
// The selection the main window shows: root, chord type, scale, inversion, clef, spelling, the
// markers' identifier mode, Link Windows, and what else the chord held last is named. One plain
// value with one owner (the main window); every reader (the print sheet, the MIDI file's title,
// the log, the windows that follow the chord) reads this value, never a widget.

#include <string>

#include "theory/recognition.h"
#include "theory/spelling.h"
#include "views/ChordView.h"
#include "views/Keyboard.h"

namespace quorvane::views {

struct Selection {
    int rootIndex = 0;       // 0..11, row of the root list
    int chordTypeIndex = 0;  // 0..52
    int scaleIndex = 0;      // 0..35
    int inversion = 0;       // 0..3
    // The caption of the inversion last applied.
    std::string inversionCaption = " Basic";
    int clefOffset = 0;  // 0 treble, 120 bass
    theory::Spelling spelling = theory::Spelling::Sharps;
    IdentifierMode identifiers = IdentifierMode::Markers;
    bool linkWindows = true;
    // The held chord's other names shown under its name; none once the chord is chosen
    // otherwise.
    theory::HeldChordNames heldNames;

    friend bool operator==(const Selection&, const Selection&) = default;
};

// What the chord display is computed from; it refers to `selection`, which must outlive it.
ChordSelection ChordSelectionOf(const Selection& selection);

// The chord as a title: root, a blank, chord name and inversion caption ("C Major 7th Basic").
std::string ChordTitle(const Selection& selection);

}  // namespace quorvane::views
