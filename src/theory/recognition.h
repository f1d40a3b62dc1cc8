// Naming a played chord: the notes held on a MIDI keyboard looked up in the chord catalogue.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "theory/spelling.h"

namespace quorvane::theory {

struct RecognisedChord {
    int chordTypeIndex;  // row of ChordTypes
    int rootIndex;       // row of RootNames: the root's pitch class above C
    int inversion;       // 0..3, as the Inversions menu numbers them

    friend bool operator==(const RecognisedChord&, const RecognisedChord&) = default;
};

// The catalogue chord whose pitch classes (root plus each interval, octaves folded) are exactly
// those of the held MIDI note numbers, or nullopt when none is, or fewer than three distinct
// pitch classes are held. Note numbers outside 0..127 are ignored, repeats do not matter.
//
// Several chords can share a set (C Major 6th and A Minor 7th): the one whose root is the
// lowest held note wins, then the lowest catalogue row, then the lowest root, so the same held
// notes always name the same chord. The inversion is the place in the chord's interval list of
// the lowest held note's pitch class when that place is 0 to 3, otherwise 0.
std::optional<RecognisedChord> RecogniseChord(std::span<const int> heldMidiNotes);

// Everything the held notes can be named as: the chord RecogniseChord names, the other catalogue
// chords of the same pitch classes in the same tie order, each with the inversion of the lowest
// held note, and whether the names are of chords with their perfect fifth left out. Chords
// without their fifth are looked at only when no catalogue chord has exactly the held pitch
// classes (C E Bb is C 7th without its fifth, C E B D C Major 9th without it).
struct HeldChordNames {
    std::optional<RecognisedChord> chord;
    std::vector<RecognisedChord> others;
    bool noFifth = false;

    friend bool operator==(const HeldChordNames&, const HeldChordNames&) = default;
};
HeldChordNames NameHeldChord(std::span<const int> heldMidiNotes);

// What a player reads beside the chosen name: "no 5th" when the fifth is left out, then the
// other names ("also A Minor 7th, first inversion; ..."), joined by "; ". Empty when there is
// neither.
std::string OtherNamesText(const HeldChordNames& names);

// The same as lead-sheet symbols in the spelling: the chord without its fifth as "C7(no5)", then
// the other names ("also Am7/C; ..."), joined by "; ". Empty when there is neither.
std::string OtherNamesSymbols(const HeldChordNames& names, Spelling spelling);

// The held notes' names ("E G C"), lowest first, each distinct note number once, separated by
// one blank; note numbers outside 0..127 are left out.
std::string HeldNoteNames(std::span<const int> heldMidiNotes);

}  // namespace quorvane::theory
