#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "theory/keys.h"
#include "theory/symbols.h"

namespace quorvane::theory {
namespace {

std::vector<SequenceCell> Cells(const char* chart) {
    return ReadChordSymbols(chart).cells;
}

std::string Numerals(const char* chart, Key key) {
    std::string out;
    for (const SequenceCell& cell : Cells(chart)) {
        out += (out.empty() ? "" : " ") + RomanNumeral(cell, key);
    }
    return out;
}

constexpr Key kC{0, false};
constexpr Key kAMinor{9, true};

TEST(Keys, NumeralsAsHarmonyIsTaught) {
    const struct {
        const char* chart;
        Key key;
        const char* numerals;
    } cases[] = {
        {"| C | Am | F | G7 |", kC, "I vi IV V7"},
        {"| Dm7 | G7 | Cmaj7 |", kC, "ii7 V7 Imaj7"},
        {"| C | Bb | F | C |", kC, "I bVII IV I"},
        {"| Am | Dm | E7 | Am |", kAMinor, "i iv V7 i"},
        {"D7 E7 A7 C7 D", kC, "V7/V V7/vi V7/ii V7/IV V/V"},
        {"Bdim Bm7b5 Bdim7 Caug Eb Ab Fm", kC, "vii\u00B0 vii\u00F87 vii\u00B07 I+ bIII bVI iv"},
        {"C/E C/G G7/B G7/D G7/F Bm7b5/D", kC, "I6 I64 V65 V43 V42 vii\u00F865"},
        {"Csus4 Cadd9 C6 G9 G#dim7 C G Bb Bbdim", kAMinor,
         "IIIsus4 IIIadd9 IIIadd6 VII9 #vii\u00B07 III VII bII #i\u00B0"},
        {"E7/G# B7 Bbmaj7", kAMinor, "V65 V7/v bIImaj7"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Numerals(c.chart, c.key), c.numerals) << c.chart;
    }
}

TEST(Keys, FindsTheKeyCoveringMostBeatsAndPrefersTheTonicAtTheEnds) {
    EXPECT_EQ(FindKey(Cells("| C | Am | F | G7 |"), 4), kC);
    EXPECT_EQ(FindKey(Cells("Am F C G"), 4), kAMinor);
    EXPECT_EQ(FindKey(Cells("| Am | Dm | E7 | Am |"), 4), kAMinor);
    EXPECT_EQ(FindKey(Cells("| C | Bb | F | C |"), 2), kC);
    EXPECT_EQ(FindKey(Cells("Eb Cm Ab Bb7 Eb"), 4), (Key{3, false}));
    EXPECT_EQ(FindKey(Cells("C7alt"), 4), kC);
}

TEST(Keys, NamesAndSymbolsAreSpelledInTheKey) {
    std::string names;
    for (const Key key : AllKeys()) {
        names += KeyName(key) + ",";
    }
    EXPECT_EQ(names,
              "C major,Db major,D major,Eb major,E major,F major,F# major,G major,Ab major,A "
              "major,Bb major,B major,C minor,C# minor,D minor,Eb minor,E minor,F minor,F# "
              "minor,G minor,G# minor,A minor,Bb minor,B minor,");
    // A song moved from C to Eb reads in Eb, the key moving with it.
    const Key eb = Transpose(kC, 3);
    std::string moved;
    for (const SequenceCell& cell : Cells("C Am F G7 Dm7/C E7/G#")) {
        moved += SymbolInKey(Transpose(cell, 3).chord, eb, Spelling::ByChord) + " ";
    }
    EXPECT_EQ(moved, "Eb Cm Ab Bb7 Fm7/Eb G7/B ");
    EXPECT_EQ(SymbolInKey({1, 0, 0}, Key{6, false}, Spelling::ByChord), "C#");
    EXPECT_EQ(SymbolInKey({8, 11, 0}, kC, Spelling::ByChord), "G#dim7");
    EXPECT_EQ(SymbolInKey({1, 0, 0}, Key{5, false}, Spelling::ByChord), "Db");
    EXPECT_EQ(SymbolInKey({3, 0, 0}, Key{3, true}, Spelling::Sharps), "D#");
    EXPECT_EQ(Transpose(Cells("C7alt")[0], -1).text, "B7alt");
    EXPECT_EQ(Transpose(ReadChordSymbol("C\u266F7alt/E").value(), 2).text, "Eb7alt/F#");
    EXPECT_EQ(Transpose(ReadChordSymbol("N.C.").value(), 2).text, "N.C.");
}

}  // namespace
}  // namespace quorvane::theory
