// The MIDI files of a chord, read back by an independent reader (midicsv): every event, tick and
// value.
#include "midi/MidiFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace quorvane::midi {
namespace {

namespace fs = std::filesystem;

// midicsv's text of the file, empty when it cannot be read.
std::string Csv(const fs::path& file) {
    const std::string command = "midicsv '" + file.string() + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), &pclose);
    std::string text;
    char buffer[4096];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
        text += buffer;
    }
    return text;
}

struct FileCase {
    const char* name;
    ChordFile chord;
    PlayStyle style;
    int spacing, noteLength;
    const char* csv;
};

class MidiFileCases : public ::testing::TestWithParam<FileCase> {};

TEST_P(MidiFileCases, MidicsvReadsEveryEvent) {
    if (std::system("command -v midicsv > /dev/null") != 0) {
        GTEST_SKIP() << "midicsv is not installed";
    }
    const FileCase& c = GetParam();
    ChordFile chord = c.chord;
    chord.plan = PlanPlay(chord.notes, c.style, c.spacing, c.noteLength);
    const fs::path file = fs::temp_directory_path() /
                          ("quorvane-midifile-" + std::to_string(::getpid()) + c.name + ".mid");
    std::string why;
    ASSERT_TRUE(SaveMidiFile(file, WriteMidiFile(chord), &why)) << why;
    EXPECT_EQ(Csv(file), c.csv);
    fs::remove(file);
}

INSTANTIATE_TEST_SUITE_P(
    Chords, MidiFileCases,
    ::testing::Values(
        FileCase{"Major7thChord",
                 {"C Major 7th Basic", 0, 0, 64, {60, 64, 67, 71}, {}},
                 PlayStyle::Chord,
                 0,
                 500,
                 "0, 0, Header, 0, 1, 500\n"
                 "1, 0, Start_track\n"
                 "1, 0, Title_t, \"C Major 7th Basic\"\n"
                 "1, 0, Tempo, 500000\n"
                 "1, 0, Program_c, 0, 0\n"
                 "1, 0, Note_on_c, 0, 60, 64\n"
                 "1, 0, Note_on_c, 0, 64, 64\n"
                 "1, 0, Note_on_c, 0, 67, 64\n"
                 "1, 0, Note_on_c, 0, 71, 64\n"
                 "1, 500, Note_off_c, 0, 60, 64\n"
                 "1, 500, Note_off_c, 0, 64, 64\n"
                 "1, 500, Note_off_c, 0, 67, 64\n"
                 "1, 500, Note_off_c, 0, 71, 64\n"
                 "1, 500, End_track\n"
                 "0, 0, End_of_file\n"},
        // Channel 10, the last instrument, first inversion, as an arpeggio that outlasts the
        // note length: the end moves out one spacing after the last onset.
        FileCase{"ArpeggioDown",
                 {"", 9, 127, 100, {72, 64, 67}, {}},
                 PlayStyle::ArpeggioDown,
                 300,
                 2500,
                 "0, 0, Header, 0, 1, 500\n"
                 "1, 0, Start_track\n"
                 "1, 0, Tempo, 500000\n"
                 "1, 0, Program_c, 9, 127\n"
                 "1, 0, Note_on_c, 9, 72, 100\n"
                 "1, 300, Note_on_c, 9, 67, 100\n"
                 "1, 600, Note_on_c, 9, 64, 100\n"
                 "1, 2500, Note_off_c, 9, 72, 100\n"
                 "1, 2500, Note_off_c, 9, 64, 100\n"
                 "1, 2500, Note_off_c, 9, 67, 100\n"
                 "1, 2500, End_track\n"
                 "0, 0, End_of_file\n"},
        FileCase{"StrumOutlastsTheNoteLength",
                 {"", 0, 24, 64, {60, 64, 67}, {}},
                 PlayStyle::Strum,
                 400,
                 500,
                 "0, 0, Header, 0, 1, 500\n"
                 "1, 0, Start_track\n"
                 "1, 0, Tempo, 500000\n"
                 "1, 0, Program_c, 0, 24\n"
                 "1, 0, Note_on_c, 0, 60, 64\n"
                 "1, 400, Note_on_c, 0, 64, 64\n"
                 "1, 800, Note_on_c, 0, 67, 64\n"
                 "1, 1200, Note_off_c, 0, 60, 64\n"
                 "1, 1200, Note_off_c, 0, 64, 64\n"
                 "1, 1200, Note_off_c, 0, 67, 64\n"
                 "1, 1200, End_track\n"
                 "0, 0, End_of_file\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MidiFile, AFileThatCannotBeWrittenSaysWhy) {
    std::string why;
    EXPECT_FALSE(SaveMidiFile("/nonexistent-folder/chord.mid", {0x4D}, &why));
    EXPECT_NE(why.find("No such file or directory"), std::string::npos) << why;
}

}  // namespace
}  // namespace quorvane::midi
