// The fixed musical vocabulary of the program: root texts, chord types, scales, the note table
// and the interval labels. Every table is constant data addressed by 0-based row; a selector's
// list position is the row number.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace quorvane::theory {

// One chord type: its interval string and the name shown in the chord type list.
struct ChordType {
    std::string_view intervals;
    std::string_view name;
};

// One scale: the name shown in the scale list and its interval string.
struct Scale {
    std::string_view name;
    std::string_view intervals;
};

// One row of the note table (row = key index): the note name, and the base staff top of its
// crotchet in the treble clef as decimal text with one leading blank.
struct NoteRow {
    std::string_view name;
    std::string_view staffTop;
};

// Root note texts, row = pitch class above C. Flats appear only here.
inline constexpr std::array<std::string_view, 12> RootNames{
    "C", "C#(Db)", "D", "D#(Eb)", "E", "F", "F#(Gb)", "G", "G#(Ab)", "A", "A#(Bb)", "B",
};

inline constexpr std::array<ChordType, 53> ChordTypes{
    ChordType{"0/4/7/", "Major"},
    ChordType{"0/3/7/", "Minor"},
    ChordType{"0/2/7/", "Sus 2nd"},
    ChordType{"0/5/7/", "Sus 4th"},
    ChordType{"0/3/6/", "Dim 5th"},
    ChordType{"0/4/8/", "Aug 5th"},
    ChordType{"0/4/7/9/", "Major 6th"},
    ChordType{"0/3/7/9/", "Minor 6th"},
    ChordType{"0/4/7/10/", "7th"},
    ChordType{"0/4/7/11/", "Major 7th"},
    ChordType{"0/3/7/10/", "Minor 7th"},
    ChordType{"0/3/6/9/", "Dim 7th"},
    ChordType{"0/4/6/10/", "7th b5th"},
    ChordType{"0/4/8/10/", "7th #5th"},
    ChordType{"0/4/7/10/13/", "7th b9th"},
    ChordType{"0/4/7/10/15/", "7th #9th"},
    ChordType{"0/4/7/11/14/", "Major 7th+9th"},
    ChordType{"0/4/7/10/14/", "9th"},
    ChordType{"0/4/6/10/14/", "9th b5th"},
    ChordType{"0/4/7/10/14/17/", "11th"},
    ChordType{"0/4/7/10/14/18/", "Aug 11th"},
    ChordType{"0/3/7/11/", "Minor + Major 7th"},
    ChordType{"0/3/7/10/14/", "Minor 9th"},
    ChordType{"0/3/7/11/14/", "Minor + Major 9th"},
    ChordType{"0/3/7/10/14/17/", "Minor 11th"},
    ChordType{"0/4/7/11/14/17/", "Major 11th"},
    ChordType{"0/3/7/11/14/17/", "Minor + Major 11th"},
    ChordType{"0/4/7/10/14/21/", "13th"},
    ChordType{"0/3/7/10/14/21/", "Minor 13th"},
    ChordType{"0/4/7/11/14/21/", "Major 13th"},
    ChordType{"0/3/7/11/14/21/", "Minor + Major 13th"},
    ChordType{"0/4/7/14/", "Add 9th"},
    ChordType{"0/3/7/14/", "Minor+9th"},
    ChordType{"0/4/7/9/14/", "6th+9th"},
    ChordType{"0/3/7/9/14/", "Minor 6th+9th"},
    ChordType{"0/4/7/10/17/", "7th+11th"},
    ChordType{"0/3/7/10/17/", "Minor 7th+11th"},
    ChordType{"0/4/7/11/17/", "Major 7th+11th"},
    ChordType{"0/3/7/11/17/", "Minor + Major 7th+11th"},
    ChordType{"0/4/7/10/21/", "7th+13th"},
    ChordType{"0/3/7/10/21/", "Minor 7th+13th"},
    ChordType{"0/4/7/11/21/", "Major 7th+13th"},
    ChordType{"0/3/7/11/21/", "Minor + Major 7th+13th"},
    ChordType{"0/4/8/10/13/", "7th #5th b9th"},
    ChordType{"0/3/6/10/", "Minor 7th b5th"},
    ChordType{"0/3/8/10/", "Minor 7th #5th"},
    ChordType{"0/3/7/10/13/", "Minor 7th b9th"},
    ChordType{"0/4/7/10/14/20/", "9th b13th"},
    ChordType{"0/5/7/9/", "6th Sus 4th"},
    ChordType{"0/5/7/10/", "7th Sus 4th"},
    ChordType{"0/5/7/11/", "Major 7th Sus 4th"},
    ChordType{"0/5/7/10/14/", "9th Sus 4th"},
    ChordType{"0/5/7/11/14/", "Major 9th Sus 4th"},
};

inline constexpr std::array<Scale, 36> Scales{
    Scale{"Major", "0/2/4/5/7/9/11/12/"},
    Scale{"Minor (Natural)", "0/2/3/5/7/8/10/12/"},
    Scale{"Harmonic Minor", "0/2/3/5/7/8/11/12/"},
    Scale{"Melodic Minor", "0/2/3/5/7/9/11/12/"},
    Scale{"Hungarian Minor", "0/2/3/6/7/8/11/12/"},
    Scale{"Romanian Minor", "0/2/3/6/7/9/10/12/"},
    Scale{"Pentatonic Major", "0/2/4/7/9/12/"},
    Scale{"Pentatonic Minor", "0/3/5/7/10/12/"},
    Scale{"Blues 1", "0/3/5/6/7/10/12/"},
    Scale{"Blues 2", "0/2/3/4/5/6/7/9/10/11/12/"},
    Scale{"Pentatonic Blues", "0/3/5/6/7/10/12/"},
    Scale{"Pentatonic Neutral", "0/2/5/7/10/12/"},
    Scale{"Ionian", "0/2/4/5/7/9/11/12/"},
    Scale{"Aeolian", "0/2/3/5/7/8/10/12/"},
    Scale{"Dorian", "0/2/3/5/7/9/10/12/"},
    Scale{"Mixolydian", "0/2/4/5/7/9/10/12/"},
    Scale{"Phrygian", "0/1/3/5/7/8/10/12/"},
    Scale{"Lydian", "0/2/4/6/7/9/11/12/"},
    Scale{"Locrian", "0/1/3/5/6/8/10/12/"},
    Scale{"Diminished Half", "0/1/3/4/6/7/9/10/12/"},
    Scale{"Diminished Whole", "0/2/3/5/6/8/9/11/12/"},
    Scale{"Whole", "0/2/4/6/8/10/12/"},
    Scale{"Augmented", "0/3/4/7/8/11/12/"},
    Scale{"Chromatic", "0/1/2/3/4/5/6/7/8/9/10/11/12/"},
    Scale{"Gypsy 1", "0/1/4/5/7/8/10/12/"},
    Scale{"Gypsy 2", "0/1/4/5/7/8/11/12/"},
    Scale{"Enigmatic", "0/1/4/6/8/10/11/12/"},
    Scale{"Neopolitan", "0/1/3/5/7/8/11/12/"},
    Scale{"Flamenco", "0/1/3/4/5/7/8/10/12/"},
    Scale{"Mixolydian Flattened 9th Sharpened 9th", "0/1/3/4/5/7/9/10/12/"},
    Scale{"Mixolydian Flattened 6th", "0/2/4/5/7/8/10/12/"},
    Scale{"Phrygian Sharpened 6th", "0/1/3/5/7/9/10/12/"},
    Scale{"Lydian Augmented", "0/2/4/6/8/9/11/12/"},
    Scale{"Lydian Flattened 7th", "0/2/4/6/7/9/10/12/"},
    Scale{"Locrian Sharpened 2nd", "0/2/3/5/6/8/10/12/"},
    Scale{"Super Locrian", "0/1/3/4/6/8/10/12/"},
};

// Keys 0..43: the three octaves of the keyboard and C to G above them.
inline constexpr std::array<NoteRow, 44> NoteTable{
    NoteRow{"C", " 5280"},   // 0
    NoteRow{"C#", " 5280"},  // 1
    NoteRow{"D", " 5220"},   // 2
    NoteRow{"D#", " 5220"},  // 3
    NoteRow{"E", " 5160"},   // 4
    NoteRow{"F", " 5100"},   // 5
    NoteRow{"F#", " 5100"},  // 6
    NoteRow{"G", " 5040"},   // 7
    NoteRow{"G#", " 5040"},  // 8
    NoteRow{"A", " 4980"},   // 9
    NoteRow{"A#", " 4980"},  // 10
    NoteRow{"B", " 4920"},   // 11
    NoteRow{"C", " 4860"},   // 12
    NoteRow{"C#", " 4860"},  // 13
    NoteRow{"D", " 4800"},   // 14
    NoteRow{"D#", " 4800"},  // 15
    NoteRow{"E", " 4740"},   // 16
    NoteRow{"F", " 4680"},   // 17
    NoteRow{"F#", " 4680"},  // 18
    NoteRow{"G", " 4620"},   // 19
    NoteRow{"G#", " 4620"},  // 20
    NoteRow{"A", " 4560"},   // 21
    NoteRow{"A#", " 4560"},  // 22
    NoteRow{"B", " 4500"},   // 23
    NoteRow{"C", " 4440"},   // 24
    NoteRow{"C#", " 4440"},  // 25
    NoteRow{"D", " 4380"},   // 26
    NoteRow{"D#", " 4380"},  // 27
    NoteRow{"E", " 4320"},   // 28
    NoteRow{"F", " 4260"},   // 29
    NoteRow{"F#", " 4260"},  // 30
    NoteRow{"G", " 4200"},   // 31
    NoteRow{"G#", " 4200"},  // 32
    NoteRow{"A", " 4140"},   // 33
    NoteRow{"A#", " 4140"},  // 34
    NoteRow{"B", " 4080"},   // 35
    NoteRow{"C", " 4020"},   // 36
    NoteRow{"C#", " 4020"},  // 37
    NoteRow{"D", " 3960"},   // 38
    NoteRow{"D#", " 3960"},  // 39
    NoteRow{"E", " 3900"},   // 40
    NoteRow{"F", " 3840"},   // 41
    NoteRow{"F#", " 3840"},  // 42
    NoteRow{"G", " 3780"},   // 43
};

// Row = distance in semitones above the root.
inline constexpr std::array<std::string_view, 24> IntervalLabels{
    "R", "2b", "2", "3b", "3",  "4",  "5b",  "5",  "5+",  "6",  "7",   "M7",
    "R", "9b", "9", "9#", "10", "11", "11#", "12", "13b", "13", "13#", "14",
};

// Caption suffix of the chord name for each inversion 0..3 (the number of raised notes).
inline constexpr std::array<std::string_view, 4> InversionCaptions{
    " Basic",
    " First Inversion",
    " Second Inversion",
    " Third Inversion",
};

// Bounds-checked row lookup for any of the tables: nullptr when the row is outside the table.
template <class Row, std::size_t N>
constexpr const Row* RowAt(const std::array<Row, N>& table, int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= N) {
        return nullptr;
    }
    return &table[static_cast<std::size_t>(row)];
}

}  // namespace quorvane::theory
