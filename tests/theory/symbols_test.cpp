#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "theory/catalogue.h"
#include "theory/keys.h"
#include "theory/spelling.h"
#include "theory/symbols.h"

namespace quorvane::theory {
namespace {

int LowestPitchClass(const SequenceChord& chord) {
    const std::vector<int> keys = PlacedKeys(chord, {chord.inversion, 0});
    return *std::min_element(keys.begin(), keys.end()) % 12;
}

// Every symbol the program writes, in each spelling and spelled in each key, reads back as the
// chord that writes the same symbol.
TEST(ChordSymbols, EverySymbolWrittenReadsBack) {
    for (int root = 0; root < 12; ++root) {
        for (int type = 0; type < static_cast<int>(ChordTypes.size()); ++type) {
            for (int inversion = 0; inversion < 4; ++inversion) {
                const SequenceChord chord{root, type, inversion};
                std::vector<std::pair<std::string, Key>> written;
                for (const Spelling spelling : {Spelling::Sharps, Spelling::Flats}) {
                    written.emplace_back(ChordSymbol(root, type, inversion, spelling), Key{});
                }
                for (const Key key : AllKeys()) {
                    written.emplace_back(SymbolInKey(chord, key, Spelling::ByChord), key);
                }
                written.emplace_back(ChordSymbol(root, type, inversion, Spelling::ByChord), Key{});
                for (const auto& [symbol, key] : written) {
                    const std::optional<SequenceCell> cell = ReadChordSymbol(symbol);
                    ASSERT_TRUE(cell && cell->known) << symbol;
                    EXPECT_EQ(cell->chord.rootIndex, root) << symbol;
                    EXPECT_EQ(cell->chord.chordTypeIndex, type) << symbol;
                    EXPECT_EQ(LowestPitchClass(cell->chord), LowestPitchClass(chord)) << symbol;
                }
            }
        }
    }
}

TEST(ChordSymbols, LeadSheetVariantsNameCatalogueChords) {
    const struct {
        const char* written;
        const char* as;  // the program's own symbol for the chord
    } cases[] = {
        {"CM7", "Cmaj7"},
        {"C\u03947", "Cmaj7"},
        {"Cma7", "Cmaj7"},
        {"C\u0394", "Cmaj7"},
        {"Cmaj9", "Cmaj9"},
        {"Cmin", "Cm"},
        {"C-", "Cm"},
        {"C-7", "Cm7"},
        {"Cm7b5", "Cm7b5"},
        {"C\u00F8", "Cm7b5"},
        {"C\u00F87", "Cm7b5"},
        {"C\u00B0", "Cdim"},
        {"C\u00B07", "Cdim7"},
        {"Co7", "Cdim7"},
        {"C+", "Caug"},
        {"C+7", "C7#5"},
        {"C7+5", "C7#5"},
        {"C7(b9)", "C7b9"},
        {"C7-9", "C7b9"},
        {"C11", "C11"},
        {"C13", "C13"},
        {"C69", "C6/9"},
        {"C6/9", "C6/9"},
        {"C(add9)", "Cadd9"},
        {"Cmadd9", "Cmadd9"},
        {"Csus", "Csus4"},
        {"Cmmaj7", "Cm(maj7)"},
        {"CmM7", "Cm(maj7)"},
        {"C-\u03947", "Cm(maj7)"},
        {"CMi7", "Cm7"},
        {"C7(no5)", "C7"},
        {"C\u266F", "C#"},
        {"D\u266Dm", "C#m"},
        {"C/E", "C/E"},
        {"G7/F", "G7/F"},
        {"C/Bb", "C7/A#"},
        {"Am/F#", "F#m7b5"},
        {"C6/9/E", "C6/9/E"},
        {"Cb", "B"},
        {"E#m", "Fm"},
    };
    for (const auto& c : cases) {
        const std::optional<SequenceCell> cell = ReadChordSymbol(c.written);
        ASSERT_TRUE(cell && cell->known) << c.written;
        EXPECT_EQ(ChordSymbol(cell->chord.rootIndex, cell->chord.chordTypeIndex,
                              cell->chord.inversion, Spelling::Sharps),
                  c.as)
            << c.written;
    }
}

TEST(ChordSymbols, UnknownSymbolsAreKeptAsWrittenAndOthersRefused) {
    for (const char* unknown : {"C7alt", "C/D", "Cmaj7#11", "C5", "N.C.", "Cadd9/D"}) {
        const std::optional<SequenceCell> cell = ReadChordSymbol(unknown);
        ASSERT_TRUE(cell) << unknown;
        EXPECT_FALSE(cell->known) << unknown;
        EXPECT_EQ(cell->text, unknown);
        EXPECT_FALSE(cell->why.empty()) << unknown;
    }
    for (const char* none : {"hello", "c", "Cx", "H7", "C/Ex", ""}) {
        EXPECT_FALSE(ReadChordSymbol(none)) << none;
    }
    EXPECT_EQ(ReadChordSymbols("| C | Am | F | G7 |").cells.size(), 4u);
    EXPECT_EQ(ReadChordSymbols("|: Cmaj7, Am7 :| % ").cells.size(), 3u);
    EXPECT_EQ(ReadChordSymbols("[C] [Am] [F] [G7]").cells.size(), 4u);
    EXPECT_EQ(ReadChordSymbols("G7(b9,#5), C - Am").cells.size(), 3u);
    const SymbolsRead bad = ReadChordSymbols("C Am hello G");
    EXPECT_TRUE(bad.cells.empty());
    EXPECT_NE(bad.error.find("hello"), std::string::npos);
}

}  // namespace
}  // namespace quorvane::theory
