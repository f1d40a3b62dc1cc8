// The MIDI files of a chord, read back by midicsv: every event, tick and value.
#include "midi/MidiFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace quorvane::midi {
namespace {

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
        FILE* csv = popen(("midicsv " + file.string()).c_str(), "r");
        std::string text;
        for (int ch = 0; csv != nullptr && (ch = std::fgetc(csv)) != EOF;) {
            text += static_cast<char>(ch);
        }
        EXPECT_EQ(csv != nullptr ? pclose(csv) : -1, 0) << "midicsv is needed";
        EXPECT_EQ(text, c.csv);
    }
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace quorvane::midi
