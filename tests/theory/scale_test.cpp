#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "theory/theory.h"

namespace quorvane::theory {
namespace {

using V = std::vector<int>;

V Keys(const std::vector<ScaleNote>& notes) {
    V out;
    for (const ScaleNote& n : notes) {
        out.push_back(n.key);
    }
    return out;
}

V Tops(const std::vector<ScaleNote>& notes) {
    V out;
    for (const ScaleNote& n : notes) {
        out.push_back(n.staffTop);
    }
    return out;
}

std::vector<std::string_view> Names(const std::vector<ScaleNote>& notes) {
    std::vector<std::string_view> out;
    for (const ScaleNote& n : notes) {
        out.push_back(n.name);
    }
    return out;
}

TEST(BuildScale, WorkedExamples) {
    const auto cMajor = BuildScale(0, Scales[0].intervals, 0);
    EXPECT_EQ(Keys(cMajor), (V{0, 2, 4, 5, 7, 9, 11, 12}));
    EXPECT_EQ(Names(cMajor),
              (std::vector<std::string_view>{"C", "D", "E", "F", "G", "A", "B", "C"}));
    EXPECT_EQ(Tops(cMajor), (V{5280, 5220, 5160, 5100, 5040, 4980, 4920, 4860}));
    EXPECT_EQ(Tops(BuildScale(0, Scales[0].intervals, 120)),
              (V{5400, 5340, 5280, 5220, 5160, 5100, 5040, 4980}));
    for (const ScaleNote& n : cMajor) {
        EXPECT_FALSE(n.sharp);
    }

    const auto fSharpMajor = BuildScale(6, Scales[0].intervals, 0);
    EXPECT_EQ(Keys(fSharpMajor), (V{6, 8, 10, 11, 13, 15, 17, 18}));
    EXPECT_EQ(Names(fSharpMajor),
              (std::vector<std::string_view>{"F#", "G#", "A#", "B", "C#", "D#", "F", "F#"}));

    const auto aPentatonic = BuildScale(9, Scales[6].intervals, 0);
    EXPECT_EQ(Keys(aPentatonic), (V{9, 11, 13, 16, 18, 21}));
    EXPECT_EQ(Names(aPentatonic), (std::vector<std::string_view>{"A", "B", "C#", "E", "F#", "A"}));

    const auto chromatic = BuildScale(0, Scales[23].intervals, 0);
    EXPECT_EQ(Keys(chromatic), (V{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(chromatic[0].staffTop, 5280);
    EXPECT_EQ(chromatic[1].staffTop, 5280);
    EXPECT_TRUE(chromatic[1].sharp);

    const auto blues2 = BuildScale(0, Scales[9].intervals, 0);
    ASSERT_EQ(blues2.size(), 11u);
    V intervals;
    for (const ScaleNote& n : blues2) {
        intervals.push_back(n.interval);
    }
    EXPECT_EQ(intervals, (V{0, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12}));

    EXPECT_EQ(BuildScale(0, Scales[8].intervals, 0), BuildScale(0, Scales[10].intervals, 0));
}

TEST(BuildScale, PropertiesForEveryRootScaleAndClef) {
    for (std::size_t row = 0; row < Scales.size(); ++row) {
        const auto intervals = *ReadIntervals(Scales[row].intervals);
        for (int root = 0; root < 12; ++root) {
            for (int clef : {kTrebleClefOffset, kBassClefOffset}) {
                SCOPED_TRACE(testing::Message()
                             << Scales[row].name << " root " << root << " clef " << clef);
                const auto notes = BuildScale(root, Scales[row].intervals, clef);
                ASSERT_EQ(notes.size(), intervals.size());
                for (std::size_t i = 0; i < notes.size(); ++i) {
                    const ScaleNote& n = notes[i];
                    EXPECT_EQ(n.position, static_cast<int>(i));
                    EXPECT_EQ(n.interval, intervals[i]);
                    EXPECT_EQ(n.key, root + intervals[i]);
                    EXPECT_GE(n.key, 0);
                    EXPECT_LE(n.key, 23);
                    EXPECT_EQ(n.name, NoteTable[static_cast<std::size_t>(n.key)].name);
                    EXPECT_EQ(n.sharp, n.name.size() == 2);
                    EXPECT_EQ(n.staffTop, StaffTopForKey(n.key, clef));
                }
                EXPECT_EQ(notes.front().key, root);
                EXPECT_EQ(notes.back().key, root + 12);
                EXPECT_EQ(notes.front().name, notes.back().name);
                EXPECT_EQ(notes.front().staffTop - notes.back().staffTop, 420);
                if (root == 11) {
                    EXPECT_EQ(notes.back().staffTop, clef == 0 ? 4500 : 4620);
                }
            }
        }
    }
}

TEST(BuildScale, StringsOutsideTheCatalogue) {
    // An empty number text is the root again.
    EXPECT_EQ(Keys(BuildScale(2, "0//4/", 0)), (V{2, 2, 6}));
    EXPECT_TRUE(BuildScale(0, "", 0).empty());
    EXPECT_EQ(Keys(BuildScale(0, "0/2/4", 0)), (V{0, 2}));
    // Unreadable, off the keyboard, too many for the staff, or a root outside 0..11: no notes.
    EXPECT_TRUE(BuildScale(0, "0/2/x/", 0).empty());
    EXPECT_TRUE(BuildScale(0, "0/2/4/-5/", 0).empty());
    EXPECT_TRUE(BuildScale(0, "0/99999999999/", 0).empty());
    EXPECT_TRUE(BuildScale(11, "0/25/", 0).empty());
    EXPECT_EQ(Keys(BuildScale(11, "0/24/", 0)), (V{11, 35}));
    std::string twentyOne;
    for (int i = 0; i < 21; ++i) {
        twentyOne += std::to_string(i) + "/";
    }
    EXPECT_EQ(BuildScale(0, twentyOne, 0).size(), 21u);
    EXPECT_TRUE(BuildScale(0, twentyOne + "21/", 0).empty());
    for (int root : {-1, 12, INT_MIN, INT_MAX}) {
        EXPECT_TRUE(BuildScale(root, Scales[0].intervals, 0).empty()) << "root " << root;
    }
}

// Chords, scales and the reader read every string the same way.
TEST(ReadingRule, SharedByVoiceChordAndBuildScale) {
    const std::string_view texts[] = {
        "0/4/7/",          "0//7/", "/",      "0/4/7",  "0/4/7/x", "0/4/x/", "0/44/",
        "0/2/4/5/7/9/11/", "",      "3/1/2/", "0/0/0/", "0/-1/",   "00012/"};
    for (const std::string_view text : texts) {
        SCOPED_TRACE(text);
        const auto read = ReadIntervals(text);
        const auto chord = VoiceChord(text, 0, 0, 0);
        const auto scale = BuildScale(0, text, 0);
        if (!read) {
            EXPECT_TRUE(chord.empty());
            EXPECT_TRUE(scale.empty());
            continue;
        }
        V chordIntervals;
        for (const ChordNote& n : chord) {
            chordIntervals.push_back(n.interval);
        }
        V scaleIntervals;
        for (const ScaleNote& n : scale) {
            scaleIntervals.push_back(n.interval);
        }
        EXPECT_EQ(scaleIntervals, *read);
        EXPECT_EQ(chordIntervals, read->size() <= 6 ? *read : V{});
    }
}

}  // namespace
}  // namespace quorvane::theory
