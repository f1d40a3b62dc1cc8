// A chord progression as a plain value, and the voicing that leads its voices smoothly: each
// chord after the first takes the inversion and octave on the keyboard that move its notes
// least from the chord before. Standard library only.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quorvane::theory {

inline constexpr std::size_t kMaxSequenceChords = 512;

// A chord as the user picked it: root 0..11, row of ChordTypes, inversion 0..3.
struct SequenceChord {
    int rootIndex = 0;
    int chordTypeIndex = 0;
    int inversion = 0;

    friend bool operator==(const SequenceChord&, const SequenceChord&) = default;
};

using Sequence = std::vector<SequenceChord>;

// A cell of a song: a catalogue chord, or a symbol the catalogue does not know, kept as written
// so that nothing typed or opened is lost.
struct SequenceCell {
    SequenceChord chord;  // meaningful when known
    bool known = true;
    std::string text;  // as written, for unknown cells (empty for known ones)
    std::string why;   // for unknown cells: why it names no catalogue chord
    friend bool operator==(const SequenceCell&, const SequenceCell&) = default;
};

enum class Voicing { AsShown, Smooth };

// Where a chord sounds: its inversion and a whole number of octaves above the keyboard's
// placement of that inversion.
struct PlacedChord {
    int inversion = 0;
    int octaveShift = 0;

    friend bool operator==(const PlacedChord&, const PlacedChord&) = default;
};

// The keys (0..35) a chord sounds on at that placement, in interval-string order; empty when
// the chord cannot be voiced there or a key falls off the keyboard.
std::vector<int> PlacedKeys(const SequenceChord& chord, PlacedChord placement);

// How far one chord's keys move from the last: for each key the distance in semitones to the
// nearest key of `from`, summed. Nothing to move from costs nothing.
int MotionCost(const std::vector<int>& from, const std::vector<int>& to);

// One placement a chord, in order. As shown, every chord stays as it was added. Smooth keeps the
// first as added and gives every later one the placement of least motion from the one before
// (ties to the lower bass); a chord that cannot be voiced keeps its own inversion and leaves the
// next to follow the last chord that could.
std::vector<PlacedChord> PlaceSequence(const Sequence& sequence, Voicing voicing);

}  // namespace quorvane::theory
