#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "theory/spelling.h"
#include "theory/theory.h"

namespace quorvane::theory {
namespace {

constexpr Spelling kAll[] = {Spelling::Sharps, Spelling::Flats, Spelling::ByChord};

std::string Names(const std::vector<SpelledNote>& notes) {
    std::string out;
    for (const SpelledNote& n : notes) {
        out += (out.empty() ? "" : " ") + n.Name();
    }
    return out;
}

int Sounds(const SpelledNote& n) {
    constexpr int kPitch[] = {0, 2, 4, 5, 7, 9, 11};
    return 12 * (n.octave - 4) + kPitch[n.letter] + n.alter;
}

// Builds a symbol's suffix the way a lead-sheet reader does, as intervals above the root: the
// quality, the highest extension (its seventh major after "maj", diminished after "dim"), then
// alterations and additions in any order. -1 stands for the seventh.
std::set<int> ReadSuffix(std::string_view s) {
    struct Token {
        std::string_view text;
        int from;  // the note it replaces, or 0 to add
        std::vector<int> to;
    };
    static const std::vector<Token> kHead = {
        {"dim", 7, {3, 6}},      {"aug", 7, {8}},    {"maj", 0, {}},
        {"m", 4, {3}},           {"(maj", 0, {}},    {"13", 0, {-1, 14, 21}},
        {"11", 0, {-1, 14, 17}}, {"9", 0, {-1, 14}}, {"7", 0, {-1}},
        {"6/9", 0, {9, 14}},     {"6", 0, {9}}};
    static const std::vector<Token> kTail = {
        {")", 0, {}},       {"b5", 7, {6}},     {"#5", 7, {8}},   {"b9", 0, {13}},
        {"#9", 0, {15}},    {"#11", 0, {18}},   {"b13", 0, {20}}, {"add9", 0, {14}},
        {"add11", 0, {17}}, {"add13", 0, {21}}, {"sus2", 4, {2}}, {"sus4", 4, {5}}};
    std::set<int> notes{0, 4, 7};
    int seventh = 10;
    const auto read = [&](const Token& t) {
        if (!s.starts_with(t.text)) {
            return;
        }
        s.remove_prefix(t.text.size());
        seventh = t.text.ends_with("maj") ? 11 : (t.text == "dim" ? 9 : seventh);
        if (t.from == 0 || notes.erase(t.from) != 0) {
            for (const int n : t.to) {
                notes.insert(n < 0 ? seventh : n);
            }
        }
    };
    std::for_each(kHead.begin(), kHead.end(), read);
    if (notes.contains(3) && notes.contains(4)) {
        notes.erase(4);  // "dim" lowers the third as well as the fifth
    }
    for (std::size_t before = s.size() + 1; !s.empty() && s.size() < before;) {
        before = s.size();
        std::for_each(kTail.begin(), kTail.end(), read);
    }
    return s.empty() ? notes : std::set<int>{-1};
}

TEST(ChordSymbol, EverySymbolRebuildsItsCatalogueChord) {
    for (int type = 0; type < 53; ++type) {
        const auto intervals = ReadIntervals(ChordTypes[type].intervals).value();
        EXPECT_EQ(ReadSuffix(ChordSuffix(type)), std::set<int>(intervals.begin(), intervals.end()))
            << ChordTypes[type].name << " as " << ChordSuffix(type);
    }
}

TEST(ChordSymbol, WorkedExamples) {
    struct Case {
        int root, type, inversion;
        Spelling spelling;
        std::string symbol;
    };
    const Case cases[] = {
        {0, 9, 0, Spelling::Sharps, "Cmaj7"},    {0, 44, 0, Spelling::Sharps, "Cm7b5"},
        {0, 15, 0, Spelling::Sharps, "C7#9"},    {0, 51, 0, Spelling::Sharps, "C9sus4"},
        {0, 33, 0, Spelling::Sharps, "C6/9"},    {0, 11, 0, Spelling::Sharps, "Cdim7"},
        {0, 5, 0, Spelling::Sharps, "Caug"},     {0, 0, 1, Spelling::Sharps, "C/E"},
        {0, 9, 3, Spelling::Sharps, "Cmaj7/B"},  {3, 10, 2, Spelling::ByChord, "Ebm7/Bb"},
        {3, 10, 2, Spelling::Sharps, "D#m7/A#"}, {3, 10, 2, Spelling::Flats, "Ebm7/Bb"},
        {11, 27, 3, Spelling::ByChord, "B13/A"}, {1, 16, 1, Spelling::Flats, "Dbmaj9/F"},
        {0, 0, 4, Spelling::Sharps, ""},         {12, 0, 0, Spelling::Sharps, ""},
        {0, 53, 0, Spelling::Sharps, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChordSymbol(c.root, c.type, c.inversion, c.spelling), c.symbol);
    }
}

TEST(SpellChord, ByChordSpellsByDegreeAndChoosesTheSimplerRoot) {
    struct Case {
        int root, type;
        std::string notes;
    };
    const Case cases[] = {
        {1, 1, "C# E G#"},      {1, 0, "Db F Ab"},      {3, 0, "Eb G Bb"},
        {3, 10, "Eb Gb Bb Db"}, {6, 0, "F# A# C#"},     {0, 5, "C E G#"},
        {4, 5, "E G# B#"},      {0, 15, "C E G Bb D#"}, {3, 47, "Eb G Bb Db F Cb"},
        {0, 11, "C Eb Gb A"},   {3, 11, "D# F# A C"},   {11, 4, "B D F"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Names(SpellChord(c.root, c.type, 0, Spelling::ByChord)), c.notes);
    }
    EXPECT_EQ(ChordRootName(3, 10, Spelling::Sharps), "D#");
    EXPECT_EQ(ChordRootName(3, 10, Spelling::Flats), "Eb");
}

// Every chord and scale, every spelling: each written note sounds its key, carries at most one
// sign, Sharps writes what the note table names, Flats never a sharp, and a chord spelled by
// chord never puts two notes on one step.
TEST(Spelling, EveryChordAndScaleIsWrittenAsItSounds) {
    for (int root = 0; root < 12; ++root) {
        for (const Spelling spelling : kAll) {
            const auto check = [&](const std::vector<SpelledNote>& notes,
                                   const std::vector<int>& keys, bool chord) {
                ASSERT_EQ(notes.size(), keys.size());
                SCOPED_TRACE(Names(notes));
                std::set<int> steps;
                for (std::size_t i = 0; i < notes.size(); ++i) {
                    EXPECT_EQ(Sounds(notes[i]), keys[i]);
                    EXPECT_LE(std::abs(notes[i].alter), 1);
                    EXPECT_TRUE(spelling != Spelling::Sharps ||
                                notes[i].Name() == NoteName(keys[i]));
                    EXPECT_TRUE(spelling != Spelling::Flats || notes[i].alter <= 0);
                    steps.insert(notes[i].Step());
                }
                EXPECT_TRUE(!chord || spelling != Spelling::ByChord ||
                            steps.size() == notes.size());
            };
            for (int type = 0; type < 53; ++type) {
                for (int inversion = 0; inversion < 4; ++inversion) {
                    std::vector<int> keys;
                    for (const ChordNote& n :
                         VoiceChord(ChordTypes[type].intervals, root, inversion, 0)) {
                        keys.push_back(n.soundingKey);
                    }
                    check(SpellChord(root, type, inversion, spelling), keys, true);
                }
            }
            for (int scale = 0; scale < 36; ++scale) {
                std::vector<int> keys;
                for (const ScaleNote& n : BuildScale(root, Scales[scale].intervals, 0)) {
                    keys.push_back(n.key);
                }
                check(SpellScale(root, scale, spelling), keys, false);
            }
        }
    }
}

TEST(SpellScale, SevenNoteScalesTakeOneLetterPerDegree) {
    EXPECT_EQ(Names(SpellScale(10, 0, Spelling::Flats)), "Bb C D Eb F G A Bb");
    EXPECT_EQ(Names(SpellScale(10, 0, Spelling::ByChord)), "Bb C D Eb F G A Bb");
    EXPECT_EQ(Names(SpellScale(6, 0, Spelling::ByChord)), "F# G# A# B C# D# E# F#");
    EXPECT_EQ(Names(SpellScale(3, 1, Spelling::ByChord)), "Eb F Gb Ab Bb Cb Db Eb");
    EXPECT_EQ(Names(SpellScale(0, 8, Spelling::ByChord)), "C Eb F Gb G Bb C");
    EXPECT_EQ(ScaleRootName(1, 0, Spelling::ByChord), "Db");
    EXPECT_EQ(SpellScale(11, 3, Spelling::ByChord)[2].NameWithOctave(), "D5");
    EXPECT_EQ(SpellChord(1, 1, 0, Spelling::ByChord)[0].NameWithOctave(), "C#4");
    EXPECT_EQ(SpellChord(3, 47, 0, Spelling::ByChord)[5].NameWithOctave(), "Cb6");
}

}  // namespace
}  // namespace quorvane::theory
