#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <optional>
#include <string>
#include <vector>

#include "theory/recognition.h"
#include "theory/theory.h"

namespace quorvane::theory {
namespace {

constexpr int kMiddleCOctaveStart = 48;  // keyboard key 0 sounds as MIDI note 48 an octave down

std::bitset<12> PitchClasses(const std::vector<int>& notes) {
    std::bitset<12> set;
    for (int n : notes) {
        set.set(static_cast<std::size_t>(n % 12));
    }
    return set;
}

std::bitset<12> PitchClassesOf(int chordType, int root) {
    std::vector<int> notes;
    for (const ChordNote& note : VoiceChord(ChordTypes[chordType].intervals, root, 0, 0)) {
        notes.push_back(note.key);
    }
    return PitchClasses(notes);
}

// Every voicing the program itself plays, in every inversion and four octave shifts, is named
// as a chord of the same notes; when the chord's root is the lowest note it is named with that
// root, and when it is named as itself the inversion is the one of its lowest note.
TEST(RecogniseChord, EveryCatalogueVoicingIsNamedByItsNotes) {
    for (int type = 0; type < static_cast<int>(ChordTypes.size()); ++type) {
        for (int root = 0; root < 12; ++root) {
            for (int inversion = 0; inversion < 4; ++inversion) {
                const ChordVoicing voicing =
                    VoiceChord(ChordTypes[type].intervals, root, inversion, 0);
                ASSERT_FALSE(voicing.empty());
                for (int shift = -1; shift <= 2; ++shift) {
                    std::vector<int> held;
                    for (const ChordNote& note : voicing) {
                        held.push_back(note.soundingKey + kMiddleCOctaveStart + 12 * shift);
                    }
                    SCOPED_TRACE(std::string(ChordTypes[type].name) + " root " +
                                 std::to_string(root) + " inversion " + std::to_string(inversion) +
                                 " shift " + std::to_string(shift));
                    const auto found = RecogniseChord(held);
                    ASSERT_TRUE(found.has_value());
                    EXPECT_EQ(PitchClassesOf(found->chordTypeIndex, found->rootIndex),
                              PitchClasses(held));
                    EXPECT_EQ(found, RecogniseChord(held)) << "same notes, same answer";

                    const int lowest = *std::min_element(held.begin(), held.end()) % 12;
                    const auto lowestPlace = std::find_if(
                        voicing.begin(), voicing.end(),
                        [&](const ChordNote& n) { return n.soundingKey % 12 == lowest; });
                    if (root == lowest) {
                        EXPECT_EQ(found->rootIndex, root);
                        EXPECT_LE(found->chordTypeIndex, type) << "a lower row with that root";
                    }
                    if (found->chordTypeIndex == type && found->rootIndex == root) {
                        const int place = static_cast<int>(lowestPlace - voicing.begin());
                        EXPECT_EQ(found->inversion, place <= 3 ? place : 0);
                    }
                }
            }
        }
    }
}

TEST(RecogniseChord, NamedCases) {
    struct Case {
        const char* what;
        std::vector<int> held;
        std::optional<RecognisedChord> expected;
    };
    const std::vector<Case> cases = {
        {"C major, first inversion (E G C)", {64, 67, 72}, RecognisedChord{0, 0, 1}},
        {"doubled notes change nothing", {52, 64, 67, 72, 76}, RecognisedChord{0, 0, 1}},
        {"B 13th in root position", {59, 63, 66, 69, 73, 80}, RecognisedChord{27, 11, 0}},
        // C E G A is both C Major 6th and A Minor 7th; the lowest note picks the root.
        {"C E G A over C", {60, 64, 67, 69}, RecognisedChord{6, 0, 0}},
        {"C E G A over A", {57, 60, 64, 67}, RecognisedChord{10, 9, 0}},
        {"C 9th over its ninth: no inversion beyond the third",
         {62, 64, 67, 70, 72},
         RecognisedChord{17, 0, 0}},
        {"cluster C C# D", {60, 61, 62}, std::nullopt},
        {"two pitch classes", {60, 64, 72}, std::nullopt},
        {"nothing held", {}, std::nullopt},
        {"notes outside MIDI ignored", {-1, 60, 64, 67, 128}, RecognisedChord{0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RecogniseChord(c.held), c.expected) << c.what;
    }
}

int Row(std::string_view name) {
    const auto it = std::find_if(ChordTypes.begin(), ChordTypes.end(),
                                 [&](const ChordType& t) { return t.name == name; });
    return static_cast<int>(it - ChordTypes.begin());
}

// The other names of an ambiguous set and the chords with their fifth left out, as a player
// reads them.
TEST(NameHeldChord, OtherNamesAndChordsWithoutTheirFifth) {
    struct Case {
        const char* what;
        std::vector<int> held;
        std::optional<RecognisedChord> chord;
        std::string text;
        std::string symbols = "";  // with flats
    };
    const int dim7 = Row("Dim 7th");
    const std::vector<Case> cases = {
        {"C E G A",
         {60, 64, 67, 69},
         RecognisedChord{Row("Major 6th"), 0, 0},
         "also A Minor 7th, first inversion",
         "also Am7/C"},
        {"C Eb Gb A: four diminished 7ths",
         {60, 63, 66, 69},
         RecognisedChord{dim7, 0, 0},
         "also D#(Eb) Dim 7th, third inversion; F#(Gb) Dim 7th, second inversion; "
         "A Dim 7th, first inversion",
         "also Ebdim7/C; Gbdim7/C; Adim7/C"},
        {"C E Bb", {60, 64, 70}, RecognisedChord{Row("7th"), 0, 0}, "no 5th", "C7(no5)"},
        {"E C B D over E",
         {52, 60, 71, 74},
         RecognisedChord{Row("Major 7th+9th"), 0, 1},
         "no 5th",
         "Cmaj9(no5)/E"},
        {"C major: one name", {60, 64, 67}, RecognisedChord{0, 0, 0}, ""},
        {"cluster: neither", {60, 61, 62}, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HeldChordNames names = NameHeldChord(c.held);
        EXPECT_EQ(names.chord, c.chord);
        EXPECT_EQ(OtherNamesText(names), c.text);
        EXPECT_EQ(OtherNamesSymbols(names, Spelling::Flats), c.symbols);
        if (!names.noFifth) {
            EXPECT_EQ(names.chord, RecogniseChord(c.held)) << "the same choice as before";
        }
    }
}

TEST(HeldNoteNames, LowestFirstEachNoteOnce) {
    EXPECT_EQ(HeldNoteNames(std::vector<int>{72, 64, 67, 64}), "E G C");
    EXPECT_EQ(HeldNoteNames(std::vector<int>{61, 60, 62, 200}), "C C# D");
    EXPECT_EQ(HeldNoteNames(std::vector<int>{}), "");
}

}  // namespace
}  // namespace quorvane::theory
