#include "progressions/SequenceView.h"

#include "theory/catalogue.h"

namespace quorvane::progressions {

namespace {

// The root as a symbol writes it: its letter and any accidental ("Eb" of "Ebm7/Bb").
std::string SymbolRoot(const std::string& symbol) {
    std::size_t end = symbol.empty() ? 0 : 1;
    while (end < symbol.size() && (symbol[end] == '#' || symbol[end] == 'b')) {
        ++end;
    }
    return symbol.substr(0, end);
}

std::string NameWithRoot(const std::string& root, int chordTypeIndex, int inversion) {
    const theory::ChordType* type = theory::RowAt(theory::ChordTypes, chordTypeIndex);
    const std::string_view* caption = theory::RowAt(theory::InversionCaptions, inversion);
    if (root.empty() || type == nullptr || caption == nullptr) {
        return {};
    }
    return root + std::string(type->name) + std::string(*caption);
}

SequenceCellView UnknownCell(const theory::SequenceCell& cell) {
    SequenceCellView view;
    view.symbol = cell.text;
    view.fullName = "Unknown chord: " + cell.text;
    view.description = cell.why;
    view.known = false;
    return view;
}

std::size_t Characters(const std::string& text) {
    std::size_t count = 0;
    for (const char c : text) {
        count += (static_cast<unsigned char>(c) & 0b1100'0000) != 0b1000'0000 ? 1 : 0;
    }
    return count;
}

}  // namespace

std::string FullChordName(int rootIndex, int chordTypeIndex, int inversion,
                          theory::Spelling spelling) {
    return NameWithRoot(theory::NameRoot(rootIndex, chordTypeIndex, spelling), chordTypeIndex,
                        inversion);
}

std::vector<SequenceCellView> ComputeSequenceCells(
    const std::vector<theory::SequenceCell>& cells,
    const std::vector<theory::PlacedChord>& placements, int selected, int playing,
    theory::Spelling spelling, theory::Key key) {
    const std::string inKey = " in " + theory::KeyName(key);
    std::vector<SequenceCellView> views;
    views.reserve(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const theory::SequenceCell& cell = cells[i];
        SequenceCellView view = UnknownCell(cell);
        if (cell.known) {
            theory::SequenceCell placed = cell;
            if (i < placements.size()) {
                placed.chord.inversion = placements[i].inversion;
            }
            const theory::SequenceChord& chord = placed.chord;
            view.symbol = theory::SymbolInKey(chord, key, spelling);
            // By Chord the name's root is the symbol's, spelled in the key.
            view.fullName =
                spelling == theory::Spelling::ByChord
                    ? NameWithRoot(SymbolRoot(view.symbol), chord.chordTypeIndex, chord.inversion)
                    : FullChordName(chord.rootIndex, chord.chordTypeIndex, chord.inversion,
                                    spelling);
            view.numeral = theory::RomanNumeral(placed, key);
            view.description = view.numeral.empty() ? std::string() : view.numeral + inKey;
            view.known = true;
        }
        const int index = static_cast<int>(i);
        view.selected = index == selected;
        view.playing = index == playing;
        views.push_back(std::move(view));
    }
    return views;
}

std::string LeadSheetLine(const std::vector<SequenceCellView>& cells) {
    std::string line;
    for (const SequenceCellView& cell : cells) {
        line.append("| ").append(cell.symbol).append(" ");
    }
    return cells.empty() ? line : line + "|";
}

std::string NumeralsLine(const std::vector<SequenceCellView>& cells) {
    std::string line;
    for (const SequenceCellView& cell : cells) {
        line.append("| ").append(cell.known ? cell.numeral : cell.symbol).append(" ");
    }
    return cells.empty() ? line : line + "|";
}

std::string ChordProLines(const std::vector<SequenceCellView>& cells) {
    std::string lines;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        lines.append("[").append(cells[i].symbol).append(i % 4 == 3 ? "]\n" : "] ");
    }
    if (!lines.empty()) {
        lines.back() = '\n';
    }
    return lines;
}

std::string ProgressionTitle(const std::vector<SequenceCellView>& cells) {
    std::string title;
    for (const SequenceCellView& cell : cells) {
        title.append(title.empty() ? "" : " - ").append(cell.symbol);
    }
    return title;
}

std::string ProgressionFileTitle(const std::vector<SequenceCellView>& cells) {
    const std::string title = ProgressionTitle(cells);
    constexpr std::size_t kExtension = 4;  // ".mid"
    if (Characters(title) + kExtension <= kMaxFileNameCharacters) {
        return title;
    }
    constexpr std::size_t kEllipsis = 1;
    std::string cut;
    for (const SequenceCellView& cell : cells) {
        std::string longer = cut;
        longer.append(cut.empty() ? "" : " - ").append(cell.symbol);
        if (Characters(longer) + kEllipsis + kExtension > kMaxFileNameCharacters) {
            break;
        }
        cut = std::move(longer);
    }
    return cut + "\u2026";
}

}  // namespace quorvane::progressions
