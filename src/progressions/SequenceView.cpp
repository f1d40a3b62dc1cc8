#include "progressions/SequenceView.h"

#include "theory/catalogue.h"

namespace quorvane::progressions {

std::string FullChordName(int rootIndex, int chordTypeIndex, int inversion,
                          theory::Spelling spelling) {
    const std::string root = theory::NameRoot(rootIndex, chordTypeIndex, spelling);
    const theory::ChordType* type = theory::RowAt(theory::ChordTypes, chordTypeIndex);
    const std::string_view* caption = theory::RowAt(theory::InversionCaptions, inversion);
    if (root.empty() || type == nullptr || caption == nullptr) {
        return {};
    }
    return root + std::string(type->name) + std::string(*caption);
}

std::vector<SequenceCellView> ComputeSequenceCells(
    const theory::Sequence& sequence, const std::vector<theory::PlacedChord>& placements,
    int selected, int playing, theory::Spelling spelling) {
    std::vector<SequenceCellView> cells;
    cells.reserve(sequence.size());
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        const theory::SequenceChord& chord = sequence[i];
        const int inversion = i < placements.size() ? placements[i].inversion : chord.inversion;
        const int index = static_cast<int>(i);
        cells.push_back(
            {theory::ChordSymbol(chord.rootIndex, chord.chordTypeIndex, inversion, spelling),
             FullChordName(chord.rootIndex, chord.chordTypeIndex, inversion, spelling),
             index == selected, index == playing});
    }
    return cells;
}

std::string LeadSheetLine(const std::vector<SequenceCellView>& cells) {
    std::string line;
    for (const SequenceCellView& cell : cells) {
        line.append("| ").append(cell.symbol).append(" ");
    }
    return cells.empty() ? line : line + "|";
}

std::string ProgressionTitle(const std::vector<SequenceCellView>& cells) {
    std::string title;
    for (const SequenceCellView& cell : cells) {
        title.append(title.empty() ? "" : " - ").append(cell.symbol);
    }
    return title;
}

}  // namespace quorvane::progressions
