#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "theory/catalogue.h"
#include "theory/fretted.h"
#include "theory/theory.h"

namespace quorvane::theory {
namespace {

const std::vector<int> kGuitar{40, 45, 50, 55, 59, 64};

// Checks a shape against the rules a player's chart keeps, from the chord's notes alone.
void ExpectPlayable(const FrettedShape& shape, const std::vector<int>& strings, int capo, int root,
                    int type, int inversion) {
    const std::vector<int> intervals = *ReadIntervals(ChordTypes[type].intervals);
    const ChordVoicing voicing = VoiceChord(ChordTypes[type].intervals, root, inversion, 0);
    const auto bass = std::min_element(voicing.begin(), voicing.end(), [](auto& a, auto& b) {
        return a.soundingKey < b.soundingKey;
    });
    const auto hasInterval = [&](int v) {
        return std::find(intervals.begin(), intervals.end(), v) != intervals.end();
    };
    SCOPED_TRACE(std::string(ChordTypes[type].name) + " root " + std::to_string(root) + " inv " +
                 std::to_string(inversion) + ": " + ShapeText(shape));
    ASSERT_EQ(shape.frets.size(), strings.size());
    std::vector<int> notes;
    std::set<int> classes;
    int lowestFret = 99, highestFret = 0;
    for (std::size_t s = 0; s < strings.size(); ++s) {
        const int fret = shape.frets[s];
        if (fret == kMuted) {
            EXPECT_EQ(shape.degrees[s], -1);
            continue;
        }
        const int note = strings[s] + capo + fret;
        notes.push_back(note);
        classes.insert((note - root + 120) % 12);
        EXPECT_TRUE(hasInterval(shape.degrees[s]) && (note - root - shape.degrees[s]) % 12 == 0);
        if (fret > 0) {
            lowestFret = std::min(lowestFret, fret);
            highestFret = std::max(highestFret, fret);
        }
    }
    EXPECT_EQ(shape.notes, notes);
    EXPECT_LE(highestFret - lowestFret, 3);
    EXPECT_EQ((*std::min_element(notes.begin(), notes.end()) - bass->soundingKey) % 12, 0);
    // Only the fifth, the ninth under an 11th or 13th and the eleventh under a 13th may go,
    // never the top extension, and each one left out is named.
    const int top = intervals.back();
    std::vector<std::string> leftOut;
    for (const int v : intervals) {
        if (classes.count(v % 12) == 0) {
            const bool allowed = (v == 7) || (v == 14 && top >= 17 && top != 14) ||
                                 (v == 17 && top >= 20 && top != 17);
            EXPECT_TRUE(allowed) << v;
            leftOut.push_back(v == 7 ? "5th" : v == 14 ? "9th" : "11th");
        }
    }
    EXPECT_EQ(shape.leftOut, leftOut);
    // Four fingers at most, each on its own string save the index's barre, none crossing
    // another: a higher finger never stops a lower fret.
    std::set<int> fingers;
    for (std::size_t s = 0; s < strings.size(); ++s) {
        const int fret = shape.frets[s], finger = shape.fingers[s];
        EXPECT_EQ(finger == 0, fret <= 0);
        EXPECT_LE(finger, 4);
        const bool underBarre = shape.barreFret > 0 && static_cast<int>(s) >= shape.barreFrom &&
                                static_cast<int>(s) <= shape.barreTo;
        EXPECT_TRUE(!underBarre || fret >= shape.barreFret);
        if (finger == 1 && shape.barreFret > 0) {
            EXPECT_TRUE(underBarre && fret == shape.barreFret);
        } else if (finger > 0) {
            EXPECT_TRUE(fingers.insert(finger).second) << "finger " << finger << " twice";
        }
        for (std::size_t t = 0; t < strings.size(); ++t) {
            EXPECT_FALSE(finger > 0 && shape.fingers[t] > finger && shape.frets[t] < fret);
        }
    }
}

TEST(FindShapes, EveryChordOnEveryListedInstrumentKeepsTheRules) {
    for (const Tuning& tuning : ListedTunings()) {
        for (int root = 0; root < 12; ++root) {
            for (int type = 0; type < static_cast<int>(ChordTypes.size()); ++type) {
                for (int inversion = 0; inversion < 4; ++inversion) {
                    for (const FrettedShape& shape :
                         FindShapes(tuning.strings, 0, root, type, inversion)) {
                        ExpectPlayable(shape, tuning.strings, 0, root, type, inversion);
                    }
                    ASSERT_FALSE(HasFailure()) << tuning.name;
                }
            }
        }
    }
}

TEST(FindShapes, OpenChordsComeFirstFingeredAsLearned) {
    struct Case {
        int root, type;
        const char* frets;
        const char* fingers;
    };
    const Case cases[] = {
        {0, 0, "x32010", "032010"}, {9, 0, "x02220", "001230"},  {7, 0, "320003", "210003"},
        {4, 0, "022100", "023100"}, {2, 0, "xx0232", "000132"},  {9, 1, "x02210", "002310"},
        {4, 1, "022000", "012000"}, {2, 1, "xx0231", "000231"},  {4, 8, "020100", "020100"},
        {9, 8, "x02020", "001020"}, {2, 8, "xx0212", "000213"},  {7, 8, "320001", "320001"},
        {0, 8, "x32310", "032410"}, {11, 8, "x21202", "021304"}, {5, 0, "133211", "134211"},
    };
    for (const Case& c : cases) {
        const std::vector<FrettedShape> shapes = FindShapes(kGuitar, 0, c.root, c.type, 0);
        ASSERT_FALSE(shapes.empty());
        std::string fingers;
        for (const int f : shapes[0].fingers) {
            fingers += std::to_string(f);
        }
        EXPECT_EQ(ShapeText(shapes[0]), c.frets);
        EXPECT_EQ(fingers, c.fingers) << c.frets;
    }
    const FrettedShape f = FindShapes(kGuitar, 0, 5, 0, 0)[0];
    EXPECT_EQ(std::vector<int>({f.barreFret, f.barreFrom, f.barreTo}), std::vector<int>({1, 0, 5}));
    // After the open chords, the barre a player moves up the neck, not a three-string fragment.
    EXPECT_EQ(ShapeText(FindShapes(kGuitar, 0, 11, 1, 0).at(0)), "799777");
    EXPECT_EQ(ShapeText(FindShapes(kGuitar, 0, 9, 1, 0).at(1)), "577555");
    EXPECT_EQ(ShapeText(FindShapes(kGuitar, 0, 0, 0, 0).at(2)), "8(10)(10)988");
}

TEST(FindShapes, ACapoCountsFretsFromItselfAndRaisesTheSound) {
    const FrettedShape aMinor = FindShapes(kGuitar, 2, 9, 1, 0).at(0);
    const FrettedShape gMinor = FindShapes(kGuitar, 0, 7, 1, 0).at(0);
    EXPECT_EQ(aMinor.frets, gMinor.frets);
    for (std::size_t i = 0; i < aMinor.notes.size(); ++i) {
        EXPECT_EQ(aMinor.notes[i], gMinor.notes[i] + 2);
    }
    ExpectPlayable(aMinor, kGuitar, 2, 9, 1, 0);
}

TEST(FrettedNeck, ChordNotesWhereTheyFallAndTheNotesOfTypedFrets) {
    const std::vector<NeckPlace> cMajor = ChordPlaces(kGuitar, 0, 0, 0, 3);
    const std::vector<NeckPlace> expected = {{0, 0, 4}, {0, 3, 7}, {1, 3, 0}, {2, 2, 4},
                                             {3, 0, 7}, {4, 1, 0}, {5, 0, 4}, {5, 3, 7}};
    EXPECT_EQ(cMajor, expected);
    // With a capo on 2 the same frets sound D Major.
    EXPECT_EQ(ChordPlaces(kGuitar, 2, 2, 0, 3), expected);
    const std::vector<int> frets{kMuted, 3, 2, 0, 1, 0};
    EXPECT_EQ(FrettedNotes(kGuitar, 0, frets), std::vector<int>({48, 52, 55, 60, 64}));
    EXPECT_EQ(FrettedNotes(kGuitar, 2, frets), std::vector<int>({50, 54, 57, 62, 66}));
}

TEST(FrettedText, TuningsReadFromNoteNames) {
    const char* listed[] = {"E2 A2 D3 G3 B3 E4", "D2 A2 D3 G3 B3 E4", "D2 A2 D3 G3 A3 D4",
                            "D2 G2 D3 G3 B3 D4", "E1 A1 D2 G2",       "B0 E1 A1 D2 G2",
                            "G4 C4 E4 A4",       "G3 D4 A4 E5"};
    for (std::size_t i = 0; i < std::size(listed); ++i) {
        EXPECT_EQ(ReadTuning(listed[i]).strings, ListedTunings().at(i).strings) << listed[i];
    }
    EXPECT_EQ(ReadTuning("C#2 Db2 e6").strings, std::vector<int>({37, 37, 88}));
    struct Bad {
        const char* text;
        const char* named;
    };
    for (const Bad& bad :
         {Bad{"E2 A2 H3", "\"H3\""}, Bad{"E2 A2 D3 F6", "\"F6\""}, Bad{"A#0 E1 A1", "\"A#0\""},
          Bad{"E2 A2", "2"}, Bad{"E2 A2 D3 G3 B3 E4 A4 D5 G5", "9"}, Bad{"E2 A2 Dx3", "\"Dx3\""}}) {
        const TuningRead read = ReadTuning(bad.text);
        EXPECT_TRUE(read.strings.empty()) << bad.text;
        EXPECT_NE(read.error.find(bad.named), std::string::npos) << read.error;
    }
}

TEST(FrettedText, ShapesReadAsPlayersWriteThem) {
    const std::vector<int> c{kMuted, 3, 2, 0, 1, 0}, d{kMuted, 10, 12, 12, 12, 10};
    for (const char* text : {"x32010", "x-3-2-0-1-0", "x 3 2 0 1 0", " X32010 "}) {
        EXPECT_EQ(ReadFrets(text, 6).frets, c) << text;
    }
    for (const char* text : {"x(10)(12)(12)(12)(10)", "x 10 12 12 12 10", "x-(10)-12-12-12-10"}) {
        EXPECT_EQ(ReadFrets(text, 6).frets, d) << text;
    }
    struct Bad {
        const char* text;
        const char* named;
    };
    for (const Bad& bad : {Bad{"x3201", "5"}, Bad{"x 3 2 0 1 25", "25"}, Bad{"x3201y", "\"y\""},
                           Bad{"x(10", "\"(10\""}, Bad{"", "0"}, Bad{"x 3 2 0 1 0 0", "7"}}) {
        const FretsRead read = ReadFrets(bad.text, 6);
        EXPECT_TRUE(read.frets.empty()) << bad.text;
        EXPECT_NE(read.error.find(bad.named), std::string::npos) << read.error;
    }
}

TEST(FrettedText, ChartTextsOfAShape) {
    FrettedShape c;
    c.frets = {kMuted, 3, 2, 0, 1, 0};
    c.fingers = {0, 3, 2, 0, 1, 0};
    EXPECT_EQ(ChordProDefine("C", c),
              "{define: C base-fret 1 frets x 3 2 0 1 0 fingers 0 3 2 0 1 0}");
    FrettedShape d;
    d.frets = {kMuted, 10, 12, 12, 12, 10};
    d.fingers = {0, 1, 2, 3, 4, 1};
    d.leftOut = {"5th", "9th"};
    EXPECT_EQ(ShapeText(d), "x(10)(12)(12)(12)(10)");
    EXPECT_EQ(BaseFret(d), 10);
    EXPECT_EQ(ChordProDefine("D", d),
              "{define: D base-fret 10 frets x 1 3 3 3 1 fingers 0 1 2 3 4 1}");
    EXPECT_EQ(LeftOutText(d), "no 5th, no 9th");
    EXPECT_EQ(LeftOutText(c), "");
}

TEST(FrettedText, DegreeLabels) {
    struct Case {
        int semitones, type;
        const char* label;
    };
    for (const Case& c : {Case{0, 0, "R"}, Case{3, 1, "b3"}, Case{10, 8, "b7"}, Case{11, 9, "7"},
                          Case{9, 11, "bb7"}, Case{9, 6, "6"}, Case{6, 4, "b5"}, Case{8, 5, "#5"},
                          Case{13, 14, "b9"}, Case{15, 15, "#9"}, Case{18, 20, "#11"},
                          Case{21, 27, "13"}, Case{20, 47, "b13"}, Case{2, 17, "9"}}) {
        EXPECT_EQ(DegreeLabel(c.semitones, c.type), c.label) << c.semitones << " " << c.type;
    }
}

}  // namespace
}  // namespace quorvane::theory
