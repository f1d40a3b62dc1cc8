#include <gtest/gtest.h>

#include <string>

#include "theory/chordpro.h"
#include "theory/symbols.h"

namespace quorvane::theory {
namespace {

std::string Symbols(const std::vector<SequenceCell>& cells) {
    std::string out;
    for (const SequenceCell& cell : cells) {
        const SequenceChord& c = cell.chord;
        out += (out.empty() ? "" : " ") + (cell.known ? ChordSymbol(c.rootIndex, c.chordTypeIndex,
                                                                    c.inversion, Spelling::Flats)
                                                      : "?" + cell.text);
    }
    return out;
}

TEST(ChordPro, WrittenSongReadsBackWithItsSettings) {
    ChordProSong song;
    song.title = "Sketch";
    song.key = Key{3, false};
    song.tempo = 92;
    song.time = "4/4";
    song.beatsPerChord = 2;
    song.voicing = "Smooth";
    song.spelling = "By Chord";
    song.cells = ReadChordSymbols("C Am F G7 C7alt Dm7/C").cells;
    const std::string text = WriteChordPro(song, Spelling::ByChord);
    EXPECT_EQ(
        text,
        "{title: Sketch}\n{key: Eb}\n{tempo: 92}\n{time: 4/4}\n{x_beats_per_chord: 2}\n"
        "{x_voicing: Smooth}\n{x_spelling: By Chord}\n\n[C] [Am] [F] [G7]\n[C7alt] [Dm7/C]\n");
    const ChordProRead read = ReadChordPro(text);
    ASSERT_EQ(read.error, "");
    EXPECT_EQ(read.song.title, song.title);
    EXPECT_EQ(read.song.key, song.key);
    EXPECT_EQ(read.song.tempo, song.tempo);
    EXPECT_EQ(read.song.beatsPerChord, song.beatsPerChord);
    EXPECT_EQ(read.song.voicing, song.voicing);
    EXPECT_EQ(read.song.spelling, song.spelling);
    EXPECT_EQ(read.song.cells, song.cells);
}

TEST(ChordPro, ReadsTheChordsOfSongsAndPlainCharts) {
    const struct {
        const char* text;
        const char* chords;
    } cases[] = {
        {"{t: Song}\r\n{key: Am}\n# note\n{c: Verse [X]}\n[Am]Words and [F]more [*Coda]\n"
         "{start_of_tab}\nE|--3--|\n{end_of_tab}\nla [G/B]la [N.C.] [C]\n",
         "Am F G/B ?N.C. C"},
        {"| C | Am | F | G7 |\n| Dm7 | G7 | Cmaj7 |\n", "C Am F G7 Dm7 G7 Cmaj7"},
        {"{sog}\nIntro || C . . . | G . Am . |\n{eog}\n[F]la\n", "C G Am F"},
        {"Intro\nC        Am\nHello my friend\nF    G7\n", "C Am F G7"},
    };
    for (const auto& c : cases) {
        const ChordProRead read = ReadChordPro(c.text);
        EXPECT_EQ(read.error, "") << c.text;
        EXPECT_EQ(Symbols(read.song.cells), c.chords) << c.text;
    }
}

TEST(ChordPro, RefusesWhatItCannotReadAtItsLine) {
    const struct {
        std::string text;
        int line;
    } cases[] = {
        {"{title: a}\n[C] [Am\n", 2},
        {"{key: H}\n[C]\n", 1},
        {"{tempo: fast}\n", 1},
        {"{title: a\n", 1},
        {"| C | hello |\n", 1},
        {"[C]\n" + std::string(kMaxChordProLine + 1, ' '), 2},
        {std::string(kMaxChordProBytes + 1, '\n'), 0},
    };
    for (const auto& c : cases) {
        const ChordProRead read = ReadChordPro(c.text);
        EXPECT_NE(read.error, "") << c.text.substr(0, 40);
        EXPECT_EQ(read.line, c.line) << c.text.substr(0, 40);
    }
}

}  // namespace
}  // namespace quorvane::theory
