// How notes are written: each key's letter, sign and octave in one of three spellings (sharps,
// flats, or as a musician spells the chord or scale by its degrees), and the chords' lead-sheet
// symbols. Pure functions over the catalogue; the standard library only.
#pragma once

#include <string>
#include <vector>

namespace quorvane::theory {

enum class Spelling { Sharps, Flats, ByChord };

// A written note: a letter with at most one sharp or flat, in an octave. Key 0 is C4; the octave
// is the letter's, so Cb5 sounds as B4 and B#4 as C5.
struct SpelledNote {
    int letter = 0;  // 0 C, 1 D, 2 E, 3 F, 4 G, 5 A, 6 B
    int alter = 0;   // -1 flat, 0 natural, +1 sharp
    int octave = 4;

    std::string Name() const;            // "Eb"
    std::string NameWithOctave() const;  // "Eb4"
    // Diatonic steps above C4: the note's line or space on the staff.
    int Step() const { return 7 * (octave - 4) + letter; }

    friend bool operator==(const SpelledNote&, const SpelledNote&) = default;
};

// The chord's lead-sheet symbol in ASCII, in the spelling: "Cmaj7", "Cm7b5", "C7#9", "C/E",
// "Ebm7/Bb"; the slash bass is the voicing's lowest note (none when it is the root). Empty
// outside the catalogue (root 0..11, chord type 0..52, inversion 0..3).
std::string ChordSymbol(int rootIndex, int chordTypeIndex, int inversion, Spelling spelling);

// The root's written name for this chord in the spelling ("C#", "Db", "Eb", "F#").
std::string ChordRootName(int rootIndex, int chordTypeIndex, Spelling spelling);

// The root as the chord's full name writes it: the root list's text ("D#(Eb)") with Sharps, as
// the name always read, else the chord's written root ("Eb"). Empty outside the catalogue.
std::string NameRoot(int rootIndex, int chordTypeIndex, Spelling spelling);

// The symbol's text after the root ("maj7", "m7b5", "" for a major triad); empty outside the
// catalogue.
std::string ChordSuffix(int chordTypeIndex);

// The chord's notes in interval-string order as written, the first `inversion` an octave up (as
// the voicing raises them). Empty outside the catalogue.
std::vector<SpelledNote> SpellChord(int rootIndex, int chordTypeIndex, int inversion,
                                    Spelling spelling);

// The scale's notes in interval-string order as written. Empty outside the catalogue (root
// 0..11, scale 0..35).
std::vector<SpelledNote> SpellScale(int rootIndex, int scaleIndex, Spelling spelling);

// The root's written name for this scale in the spelling.
std::string ScaleRootName(int rootIndex, int scaleIndex, Spelling spelling);

// A key named on its own, without a chord or scale around it: with ByChord, as with Sharps.
// Keys may be any value; the octave follows key 0 = C4.
SpelledNote SpellKey(int key, Spelling spelling);

// The name of a pitch class (0..11) on its own, as SpellKey names it.
std::string PitchClassName(int pitchClass, Spelling spelling);

// Top of the crotchet of a note on `step` (SpelledNote::Step) for the clef offset, in twips.
int StaffTopForStep(int step, int clefOffset);

}  // namespace quorvane::theory
