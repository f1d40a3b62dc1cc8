#pragma once
// What the chord sequence window shows for its cells, as plain values: each cell's large symbol,
// its full name as the main window names a chord, its Roman numeral in the key, whether it is
// selected or playing, and for a symbol the catalogue does not know, why; and the sequence as a
// lead-sheet line, a numerals line and a file name. No widgets here.

#include <string>
#include <vector>

#include "theory/keys.h"
#include "theory/sequence.h"
#include "theory/spelling.h"

namespace quorvane::progressions {

struct SequenceCellView {
    std::string symbol;       // "Am7/G"; an unknown cell's text as written
    std::string fullName;     // "AMinor 7th Third Inversion"; "Unknown chord: C7alt"
    std::string numeral;      // "vi"; empty for an unknown cell
    std::string description;  // "vi in C major"; for an unknown cell, why it names no chord
    bool known = true;
    bool selected = false;
    bool playing = false;

    friend bool operator==(const SequenceCellView&, const SequenceCellView&) = default;
};

// The full name as the main window's name label writes it in the spelling: root, chord name,
// inversion caption, without blanks between root and name ("AMinor Basic", "EbMinor 7th Basic").
std::string FullChordName(int rootIndex, int chordTypeIndex, int inversion,
                          theory::Spelling spelling);

// The cells, each in the inversion it plays in, named and symbolised in the spelling (By Chord
// spells them as `key` writes them) with their numerals in `key`. `selected` and `playing` are
// cell indices, -1 for none.
std::vector<SequenceCellView> ComputeSequenceCells(
    const std::vector<theory::SequenceCell>& cells,
    const std::vector<theory::PlacedChord>& placements, int selected, int playing,
    theory::Spelling spelling, theory::Key key);

// "| C | Am | F | G7 |"; empty for an empty row.
std::string LeadSheetLine(const std::vector<SequenceCellView>& cells);
// "| I | vi | IV | V7 |"; an unknown cell stands as written.
std::string NumeralsLine(const std::vector<SequenceCellView>& cells);
// "[C] [Am] [F] [G7]", four chords a line, as a ChordPro song's body writes them.
std::string ChordProLines(const std::vector<SequenceCellView>& cells);
// "C - Am - F - G7", which names the progression's MIDI track.
std::string ProgressionTitle(const std::vector<SequenceCellView>& cells);

// Most characters a progression's MIDI file name has, ".mid" included.
inline constexpr std::size_t kMaxFileNameCharacters = 100;
// The title that names the progression's MIDI file: the whole title when its file name fits in
// kMaxFileNameCharacters, else cut after the last chord that fits and ended with "…".
std::string ProgressionFileTitle(const std::vector<SequenceCellView>& cells);

}  // namespace quorvane::progressions
