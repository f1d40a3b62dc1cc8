#pragma once
// What the chord sequence window shows for its progression, as plain values: each cell's large
// symbol, its full name as the main window names a chord, and whether it is selected or playing;
// and the progression as a lead-sheet line and a file name. No widgets here.

#include <string>
#include <vector>

#include "theory/sequence.h"
#include "theory/spelling.h"

namespace quorvane::progressions {

struct SequenceCellView {
    std::string symbol;    // "Am7/G"
    std::string fullName;  // "AMinor 7th Third Inversion"
    bool selected = false;
    bool playing = false;

    friend bool operator==(const SequenceCellView&, const SequenceCellView&) = default;
};

// The full name as the main window's name label writes it in the spelling: root, chord name,
// inversion caption, without blanks between root and name ("AMinor Basic", "EbMinor 7th Basic").
std::string FullChordName(int rootIndex, int chordTypeIndex, int inversion,
                          theory::Spelling spelling);

// The cells, each in the inversion it plays in, named and symbolised in the spelling.
// `selected` and `playing` are cell indices, -1 for none.
std::vector<SequenceCellView> ComputeSequenceCells(
    const theory::Sequence& sequence, const std::vector<theory::PlacedChord>& placements,
    int selected, int playing, theory::Spelling spelling);

// "| C | Am | F | G7 |"; empty for an empty row.
std::string LeadSheetLine(const std::vector<SequenceCellView>& cells);
// "C - Am - F - G7", which names the progression's MIDI file.
std::string ProgressionTitle(const std::vector<SequenceCellView>& cells);

}  // namespace quorvane::progressions
