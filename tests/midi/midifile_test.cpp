// The MIDI files of a chord, read back by midicsv: every event, tick and value.
#include "midi/MidiFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace quorvane::midi {
namespace {

std::string Csv(const std::filesystem::path& file) {
    FILE* csv = popen(("midicsv " + file.string()).c_str(), "r");
    std::string text;
    for (int ch = 0; csv != nullptr && (ch = std::fgetc(csv)) != EOF;) {
        text += static_cast<char>(ch);
    }
    EXPECT_EQ(csv != nullptr ? pclose(csv) : -1, 0) << "midicsv is needed";
    return text;
}

// A block chord on channel 1, and an arpeggio down on channel 10 whose onsets, 300 ms apart, do
// not fit into its note length of 500 ms: it ends one spacing after the last onset.
TEST(MidiFile, MidicsvReadsEveryEvent) {
    const struct {
        ChordFile chord;
        PlayStyle style;
        const char* csv;
    } cases[] = {
        {{"C Major Basic", 0, 0, 64, {60, 64, 67}, {}}, PlayStyle::Chord, R"(0, 0, Header, 0, 1, 500
1, 0, Start_track
1, 0, Title_t, "C Major Basic"
1, 0, Tempo, 500000
1, 0, Program_c, 0, 0
1, 0, Note_on_c, 0, 60, 64
1, 0, Note_on_c, 0, 64, 64
1, 0, Note_on_c, 0, 67, 64
1, 500, Note_off_c, 0, 60, 64
1, 500, Note_off_c, 0, 64, 64
1, 500, Note_off_c, 0, 67, 64
1, 500, End_track
0, 0, End_of_file
)"},
        {{"", 9, 127, 100, {72, 64, 67}, {}}, PlayStyle::ArpeggioDown, R"(0, 0, Header, 0, 1, 500
1, 0, Start_track
1, 0, Tempo, 500000
1, 0, Program_c, 9, 127
1, 0, Note_on_c, 9, 72, 100
1, 300, Note_on_c, 9, 67, 100
1, 600, Note_on_c, 9, 64, 100
1, 900, Note_off_c, 9, 72, 100
1, 900, Note_off_c, 9, 64, 100
1, 900, Note_off_c, 9, 67, 100
1, 900, End_track
0, 0, End_of_file
)"},
    };
    const std::filesystem::path file = ::testing::TempDir() + "chord.mid";
    for (auto c : cases) {
        c.chord.plan = PlanPlay(c.chord.notes, c.style, 300, 500);
        std::string why;
        ASSERT_TRUE(SaveMidiFile(file, WriteMidiFile(c.chord), &why)) << why;
        EXPECT_EQ(Csv(file), c.csv);
    }
    std::filesystem::remove(file);
}

// Four block chords at 120 a minute, two beats each, then a chord repeated in an arpeggio of
// 300 ms onsets at one beat a chord: the third onset falls past the next beat and is left out,
// and the notes in both chords are released before they are struck again.
TEST(MidiFile, ProgressionsAreWrittenChordByChordOnTheirBeats) {
    const struct {
        std::vector<std::vector<int>> chords;
        int beats;
        PlayStyle style;
        std::vector<std::pair<int, std::string>> markers;
        const char* csv;
    } cases[] = {
        {{{60, 64, 67}, {69, 72, 76}, {65, 69, 72}, {67, 71, 74, 77}},
         2,
         PlayStyle::Chord,
         {{0, "C"}, {2, "Am"}, {4, "F"}, {6, "G7"}},
         R"(0, 0, Header, 0, 1, 480
1, 0, Start_track
1, 0, Tempo, 500000
1, 0, Time_signature, 4, 2, 24, 8
1, 0, Title_t, "C - Am - F - G7"
1, 0, Program_c, 2, 24
1, 0, Marker_t, "C"
1, 0, Note_on_c, 2, 60, 90
1, 0, Note_on_c, 2, 64, 90
1, 0, Note_on_c, 2, 67, 90
1, 960, Marker_t, "Am"
1, 960, Note_off_c, 2, 60, 90
1, 960, Note_off_c, 2, 64, 90
1, 960, Note_off_c, 2, 67, 90
1, 960, Note_on_c, 2, 69, 90
1, 960, Note_on_c, 2, 72, 90
1, 960, Note_on_c, 2, 76, 90
1, 1920, Marker_t, "F"
1, 1920, Note_off_c, 2, 69, 90
1, 1920, Note_off_c, 2, 72, 90
1, 1920, Note_off_c, 2, 76, 90
1, 1920, Note_on_c, 2, 65, 90
1, 1920, Note_on_c, 2, 69, 90
1, 1920, Note_on_c, 2, 72, 90
1, 2880, Marker_t, "G7"
1, 2880, Note_off_c, 2, 65, 90
1, 2880, Note_off_c, 2, 69, 90
1, 2880, Note_off_c, 2, 72, 90
1, 2880, Note_on_c, 2, 67, 90
1, 2880, Note_on_c, 2, 71, 90
1, 2880, Note_on_c, 2, 74, 90
1, 2880, Note_on_c, 2, 77, 90
1, 3840, Note_off_c, 2, 67, 90
1, 3840, Note_off_c, 2, 71, 90
1, 3840, Note_off_c, 2, 74, 90
1, 3840, Note_off_c, 2, 77, 90
1, 3840, End_track
0, 0, End_of_file
)"},
        {{{60, 64, 67}, {60, 64, 67}}, 1, PlayStyle::ArpeggioUp, {}, R"(0, 0, Header, 0, 1, 480
1, 0, Start_track
1, 0, Tempo, 500000
1, 0, Time_signature, 4, 2, 24, 8
1, 0, Title_t, "C - Am - F - G7"
1, 0, Program_c, 2, 24
1, 0, Note_on_c, 2, 60, 90
1, 288, Note_on_c, 2, 64, 90
1, 480, Note_off_c, 2, 60, 90
1, 480, Note_off_c, 2, 64, 90
1, 480, Note_on_c, 2, 60, 90
1, 768, Note_on_c, 2, 64, 90
1, 960, Note_off_c, 2, 60, 90
1, 960, Note_off_c, 2, 64, 90
1, 960, End_track
0, 0, End_of_file
)"},
    };
    const std::filesystem::path file = ::testing::TempDir() + "progression.mid";
    for (const auto& c : cases) {
        const SequenceFile sequence{
            "C - Am - F - G7", 2, 24, 90, 120, PlanSequence(c.chords, c.beats, 120, c.style, 300),
            c.markers};
        std::string why;
        ASSERT_TRUE(SaveMidiFile(file, WriteSequenceFile(sequence), &why)) << why;
        EXPECT_EQ(Csv(file), c.csv);
    }
    std::filesystem::remove(file);
}

// The new file cannot be made beside the target: what was there stays whole.
TEST(MidiFile, AFailedSaveLeavesTheFileItWouldReplace) {
    const std::filesystem::path file = ::testing::TempDir() + "kept.mid";
    std::string why;
    ASSERT_TRUE(SaveMidiFile(file, {1, 2, 3}, &why)) << why;
    std::filesystem::create_directory(file.string() + ".partial");
    EXPECT_FALSE(SaveMidiFile(file, {4}, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(std::filesystem::file_size(file), 3U);
    std::filesystem::remove(file.string() + ".partial");
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace quorvane::midi
