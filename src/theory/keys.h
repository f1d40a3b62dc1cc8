// Keys, the Roman numerals of chords in a key, and moving chords to another key, spelled as the
// new key writes them. Standard library only.
#pragma once

#include <string>
#include <vector>

#include "theory/sequence.h"
#include "theory/spelling.h"

namespace quorvane::theory {

struct Key {
    int tonic = 0;  // pitch class above C
    bool minor = false;
    friend bool operator==(const Key&, const Key&) = default;
};

// "C major", "Eb major", "F# minor": the tonic as the key is written.
std::string KeyName(Key key);

// The 24 keys: C major up to B major, then C minor up to B minor.
std::vector<Key> AllKeys();

// The key whose diatonic chords (a minor key's with its raised seventh too) cover most of the
// cells' beats, its tonic chord at the song's start and at its end each counting one chord more,
// so that "C Bb F C" is in C major; among equals the first of AllKeys. C major for a song without
// known cells.
Key FindKey(const std::vector<SequenceCell>& cells, int beatsPerChord);

// The cell's numeral in the key ("I", "vi", "V7", "ii7", "Imaj7", "bVII", "V7/V", "I6", "V65"):
// upper case for major, augmented and dominant chords, lower for minor and diminished, the
// symbol's figures after it ("vii°7", "iiø7", "III+", "Iadd9"; a sixth chord "Iadd6",
// as "6" is the first inversion). Inverted triads and seventh chords take figured bass; other
// chords keep their figures. Empty for an unknown cell.
std::string RomanNumeral(const SequenceCell& cell, Key key);

// The chord's symbol: with ByChord its root and bass spelled as the key writes them (Eb, Ab, Bb7
// in Eb major); with Sharps or Flats as ChordSymbol writes it.
std::string SymbolInKey(const SequenceChord& chord, Key key, Spelling spelling);

// The chord's notes in interval-string order, the first `inversion` an octave up as SpellChord
// writes them, with ByChord named from the root SymbolInKey writes.
std::vector<SpelledNote> SpellChordInKey(const SequenceChord& chord, Key key, Spelling spelling);

// The key signature: sharps above 0, flats below (Eb major -3, E minor 1).
int KeyFifths(Key key);

// The cell moved by semitones (any sign). An unknown cell moves the root letter and slash bass
// of its text when it has them, and stays as written when it has none.
SequenceCell Transpose(const SequenceCell& cell, int semitones);
Key Transpose(Key key, int semitones);

}  // namespace quorvane::theory
