// The MIDI files of a chord, read back by an independent reader (midicsv): every event, tick and
// value.
#include "midi/MidiFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace quorvane::midi {
namespace {

// A block chord on channel 1, and an arpeggio down on channel 10 that outlasts its note length
// of 500 ms, so that the end moves out one spacing after the last onset.
TEST(MidiFile, MidicsvReadsEveryEvent) {
    const struct {
        ChordFile chord;
        PlayStyle style;
        const char* csv;
    } cases[] = {
        {{"C Major 7th Basic", 0, 0, 64, {60, 64, 67, 71}, {}},
         PlayStyle::Chord,
         R"(0, 0, Header, 0, 1, 500
1, 0, Start_track
1, 0, Title_t, "C Major 7th Basic"
1, 0, Tempo, 500000
1, 0, Program_c, 0, 0
1, 0, Note_on_c, 0, 60, 64
1, 0, Note_on_c, 0, 64, 64
1, 0, Note_on_c, 0, 67, 64
1, 0, Note_on_c, 0, 71, 64
1, 500, Note_off_c, 0, 60, 64
1, 500, Note_off_c, 0, 64, 64
1, 500, Note_off_c, 0, 67, 64
1, 500, Note_off_c, 0, 71, 64
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
    const std::string file =
        (std::filesystem::temp_directory_path() / ("midifile-" + std::to_string(getpid())))
            .string();
    for (auto c : cases) {
        c.chord.plan = PlanPlay(c.chord.notes, c.style, 300, 500);
        std::string why;
        ASSERT_TRUE(SaveMidiFile(file, WriteMidiFile(c.chord), &why)) << why;
        std::string csv;
        FILE* pipe = popen(("midicsv " + file + " 2>&1").c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        for (int ch; (ch = std::fgetc(pipe)) != EOF;) {
            csv += static_cast<char>(ch);
        }
        EXPECT_EQ(pclose(pipe), 0) << "midicsv is needed";
        EXPECT_EQ(csv, c.csv);
    }
    std::filesystem::remove(file);
}

TEST(MidiFile, NamesAndWriteFailures) {
    EXPECT_EQ(ChordFileName("C#(Db) 6/9: x"), "C#(Db) 6-9- x.mid");
    std::string why;
    EXPECT_FALSE(SaveMidiFile("/nonexistent-folder/chord.mid", {0x4D}, &why));
    EXPECT_EQ(why, "cannot be opened for writing: No such file or directory");
}

}  // namespace
}  // namespace quorvane::midi
