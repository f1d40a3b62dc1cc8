#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "theory/theory.h"

namespace quorvane::theory {
namespace {

std::vector<int> Field(const ChordVoicing& v, int ChordNote::*field) {
    std::vector<int> out;
    for (const ChordNote& n : v) {
        out.push_back(n.*field);
    }
    return out;
}

std::vector<bool> Sharps(const ChordVoicing& v) {
    std::vector<bool> out;
    for (const ChordNote& n : v) {
        out.push_back(n.sharp);
    }
    return out;
}

using V = std::vector<int>;

TEST(VoiceChord, WorkedExamples) {
    struct Case {
        std::string_view intervals;
        int root;
        int inversion;
        int clef;
        V keys;
        V sounding;
        V tops;
    };
    const Case cases[] = {
        {"0/4/7/", 0, 0, 0, {0, 4, 7}, {0, 4, 7}, {5280, 5160, 5040}},
        {"0/4/7/", 0, 1, 0, {0, 4, 7}, {12, 4, 7}, {4860, 5160, 5040}},
        {"0/4/7/", 0, 2, 0, {0, 4, 7}, {12, 16, 7}, {4860, 4740, 5040}},
        {"0/4/7/", 0, 3, 0, {0, 4, 7}, {12, 16, 19}, {4860, 4740, 4620}},
        {"0/4/7/", 0, 0, 120, {0, 4, 7}, {0, 4, 7}, {5400, 5280, 5160}},
        {"0/4/7/", 1, 0, 0, {1, 5, 8}, {1, 5, 8}, {5280, 5100, 5040}},
        {"0/4/7/10/14/21/",
         11,
         0,
         0,
         {11, 15, 18, 21, 25, 32},
         {11, 15, 18, 21, 25, 32},
         {4920, 4800, 4680, 4560, 4440, 4200}},
        {"0/4/7/11/", 11, 3, 0, {11, 15, 18, 22}, {23, 27, 30, 22}, {4500, 4380, 4260, 4560}},
        {"0/3/7/10/", 0, 0, 0, {0, 3, 7, 10}, {0, 3, 7, 10}, {5280, 5220, 5040, 4980}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.intervals << " root " << c.root << " inv "
                                        << c.inversion << " clef " << c.clef);
        const ChordVoicing v = VoiceChord(c.intervals, c.root, c.inversion, c.clef);
        EXPECT_EQ(Field(v, &ChordNote::key), c.keys);
        EXPECT_EQ(Field(v, &ChordNote::soundingKey), c.sounding);
        EXPECT_EQ(Field(v, &ChordNote::staffTop), c.tops);
    }
    EXPECT_EQ(Sharps(VoiceChord("0/4/7/", 1, 0, 0)), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(Sharps(VoiceChord("0/4/7/", 0, 0, 0)), (std::vector<bool>{false, false, false}));
}

// Every root, chord type, inversion and clef of the catalogue.
TEST(VoiceChord, PropertiesOverTheWholeCatalogue) {
    for (std::size_t row = 0; row < ChordTypes.size(); ++row) {
        const auto intervals = *ReadIntervals(ChordTypes[row].intervals);
        for (int root = 0; root < 12; ++root) {
            const ChordVoicing basic = VoiceChord(ChordTypes[row].intervals, root, 0, 0);
            for (int inversion = 0; inversion < 4; ++inversion) {
                for (int clef : {kTrebleClefOffset, kBassClefOffset}) {
                    SCOPED_TRACE(testing::Message()
                                 << "row " << row << " root " << root << " inversion " << inversion
                                 << " clef " << clef);
                    const ChordVoicing v =
                        VoiceChord(ChordTypes[row].intervals, root, inversion, clef);
                    ASSERT_EQ(v.size(), intervals.size());
                    for (std::size_t i = 0; i < v.size(); ++i) {
                        const ChordNote& n = v[i];
                        EXPECT_EQ(n.position, static_cast<int>(i));  // list order unchanged
                        EXPECT_EQ(n.interval, intervals[i]);
                        EXPECT_EQ(n.key, root + intervals[i]);
                        EXPECT_EQ(n.raised, n.position < inversion);
                        EXPECT_EQ(n.soundingKey, n.raised ? n.key + 12 : n.key);
                        EXPECT_GE(n.soundingKey, 0);
                        EXPECT_LE(n.soundingKey, 35);
                        EXPECT_LE(n.key, 32);
                        EXPECT_EQ(n.sharp, NoteName(n.key).size() == 2);
                        EXPECT_EQ(n.sharp, NoteName(n.soundingKey).size() == 2);
                        // Raised notes stand one octave (420 twips) higher; the bass clef only
                        // moves every note 120 lower.
                        EXPECT_EQ(n.staffTop, basic[i].staffTop + clef - (n.raised ? 420 : 0));
                        EXPECT_EQ(n.staffTop, StaffTopForKey(n.soundingKey, clef));
                        if (n.raised) {
                            EXPECT_LE(n.soundingKey, 31);
                        }
                    }
                }
            }
        }
    }
}

TEST(VoiceChord, ThirdInversionRaisesOnlyTheFirstThree) {
    const ChordVoicing six = VoiceChord("0/4/7/10/14/17/", 0, 3, 0);
    ASSERT_EQ(six.size(), 6u);
    EXPECT_EQ(Field(six, &ChordNote::soundingKey), (V{12, 16, 19, 10, 14, 17}));
}

TEST(VoiceChord, StringsOutsideTheCatalogueGiveNoChord) {
    struct Case {
        std::string_view intervals;
        int root;
        int inversion;
    };
    const std::string sevenNotes = "0/2/4/5/7/9/11/";
    const Case rejected[] = {
        {"", 0, 0},                             // no note at all
        {sevenNotes, 0, 0},                     // more than six notes
        {"0/4/x/", 0, 0},                       // unreadable
        {"0/-4/7/", 0, 0},  {"0/4/44/", 0, 0},  // larger than any key
        {"0/4/25/", 11, 0},                     // key 36: off the keyboard
        {"0/4/7/", 0, 4},                       // inversion outside 0..3
        {"0/4/7/", 0, -1},  {"0/4/7/", 12, 0},  // root outside 0..11
        {"0/4/7/", -1, 0},  {"0/4/7/", INT_MAX, 0}, {"0/4/7/", 0, INT_MAX},
        {"24/", 0, 1},  // raised past the keyboard's top key
    };
    for (const Case& c : rejected) {
        EXPECT_TRUE(VoiceChord(c.intervals, c.root, c.inversion, 0).empty())
            << c.intervals << " root " << c.root << " inversion " << c.inversion;
    }
    // Text after the last "/" is ignored, as for every interval string.
    EXPECT_EQ(Field(VoiceChord("0/4/7", 0, 0, 0), &ChordNote::key), (V{0, 4}));
    // An empty number text is the root again.
    EXPECT_EQ(Field(VoiceChord("0//7/", 2, 0, 0), &ChordNote::key), (V{2, 2, 9}));
    // The top key of the keyboard is still playable.
    EXPECT_EQ(Field(VoiceChord("0/4/7/24/", 11, 0, 0), &ChordNote::soundingKey),
              (V{11, 15, 18, 35}));
    EXPECT_EQ(VoiceChord("0/2/4/5/7/9/", 0, 0, 0).size(), 6u);
}

TEST(VoiceChord, ExtremeClefOffsetsDoNotOverflow) {
    const ChordVoicing high = VoiceChord("0/4/7/", 0, 1, INT_MIN);
    ASSERT_EQ(high.size(), 3u);
    EXPECT_EQ(high[0].staffTop, INT_MIN + 4860);
    const ChordVoicing low = VoiceChord("0/4/7/", 0, 0, INT_MAX);
    ASSERT_EQ(low.size(), 3u);
    EXPECT_EQ(low[0].staffTop, INT_MAX);
}

}  // namespace
}  // namespace quorvane::theory
