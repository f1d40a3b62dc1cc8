#include <gtest/gtest.h>

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

// Builds a symbol's suffix the way a lead-sheet reader does, as intervals above the root.
std::set<int> ReadSuffix(std::string_view s) {
    std::set<int> notes{0, 4, 7};
    const auto take = [&s](std::string_view token) {
        const bool found = s.starts_with(token);
        s.remove_prefix(found ? token.size() : 0);
        return found;
    };
    const auto swap = [&notes](int from, int to) {
        if (notes.erase(from) != 0) {
            notes.insert(to);
        }
    };
    if (take("dim"))
        notes = {0, 3, 6};
    if (take("aug"))
        swap(7, 8);
    bool major = take("maj");
    if (!major && take("m"))
        swap(4, 3);
    major = (take("(") && take("maj")) || major;
    const int seventh = major ? 11 : (notes.contains(6) && notes.contains(3) ? 9 : 10);
    if (take("13"))
        notes.insert({seventh, 14, 21});
    if (take("11"))
        notes.insert({seventh, 14, 17});
    if (take("9"))
        notes.insert({seventh, 14});
    if (take("7"))
        notes.insert(seventh);
    if (take("6/9"))
        notes.insert({9, 14});
    if (take("6"))
        notes.insert(9);
    for (std::size_t before = s.size() + 1; !s.empty() && s.size() < before;) {
        before = s.size();
        take(")");
        if (take("b5"))
            swap(7, 6);
        if (take("#5"))
            swap(7, 8);
        if (take("b9"))
            notes.insert(13);
        if (take("#9"))
            notes.insert(15);
        if (take("#11"))
            notes.insert(18);
        if (take("b13"))
            notes.insert(20);
        if (take("add9"))
            notes.insert(14);
        if (take("add11"))
            notes.insert(17);
        if (take("add13"))
            notes.insert(21);
        if (take("sus2"))
            swap(4, 2);
        if (take("sus4"))
            swap(4, 5);
    }
    if (!s.empty())
        notes.insert(-1);  // unread text: never matches
    return notes;
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
