// The MusicXML score of a sequence: well-formed, chords tied over bar lines, symbols as
// MusicXML's harmony.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <string>

#include "progressions/MusicXml.h"
#include "theory/symbols.h"

namespace quorvane::progressions {
namespace {

MusicXmlSong Song(const char* chart, int beatsPerChord) {
    MusicXmlSong song;
    song.title = "R&B <1>";
    song.tempo = 96;
    song.beatsPerChord = beatsPerChord;
    song.cells = theory::ReadChordSymbols(chart).cells;
    song.key = {3, false};
    song.spelling = theory::Spelling::ByChord;
    return song;
}

int Count(const std::string& text, const std::string& pattern) {
    const std::regex re(pattern);
    return static_cast<int>(
        std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator()));
}

TEST(MusicXml, ChordsFillFourFourMeasuresTiedOverBarLines) {
    // Three beats a chord: the second chord crosses the first bar line, the third the second.
    const std::string xml = WriteMusicXml(Song("Eb Cm7/Eb Bb7sus4 C7alt", 3));
    const std::string file = ::testing::TempDir() + "score.musicxml";
    std::ofstream(file) << xml;
    EXPECT_EQ(std::system(("xmllint --noout " + file).c_str()), 0) << "xmllint is needed";
    std::remove(file.c_str());
    EXPECT_EQ(Count(xml, "<measure "), 3);
    EXPECT_EQ(Count(xml, "<tie type=\"start\"/>"), 8);  // four notes of Cm7, four of Bb7sus4
    EXPECT_EQ(Count(xml, "<rest/>"), 1);                // C7alt's three beats close the song
    EXPECT_NE(xml.find("<words>C7alt</words>"), std::string::npos);
    EXPECT_NE(xml.find("<work-title>R&amp;B &lt;1&gt;</work-title>"), std::string::npos);
    EXPECT_NE(xml.find("<fifths>-3</fifths>"), std::string::npos);
    EXPECT_NE(xml.find("<sound tempo=\"96\"/>"), std::string::npos);
    // The notes as spelled in Eb: Cm7 over Eb is Eb G Bb C, lowest first.
    EXPECT_NE(xml.find("<step>E</step><alter>-1</alter><octave>4</octave></pitch><duration>2"),
              std::string::npos);
}

TEST(MusicXml, HarmonyNamesRootKindAndBass) {
    const struct {
        const char* symbol;
        const char* harmony;
    } cases[] = {
        {"Eb", "<root-step>E</root-step><root-alter>-1</root-alter></root><kind text=\"\">major"},
        {"Cm7/Eb",
         "<kind text=\"m7\">minor-seventh</kind><bass><bass-step>E</bass-step>"
         "<bass-alter>-1</bass-alter></bass>"},
        {"Dm7b5", "<kind text=\"m7b5\">half-diminished</kind></harmony>"},
        {"Bb7b9",
         "<kind text=\"7b9\">dominant</kind><degree print-object=\"no\"><degree-value>9"
         "</degree-value><degree-alter>-1</degree-alter><degree-type>add</degree-type>"},
        {"Ab6/9", "<kind text=\"6/9\">major-sixth</kind>"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(WriteMusicXml(Song(c.symbol, 4)).find(c.harmony), std::string::npos) << c.symbol;
    }
}

}  // namespace
}  // namespace quorvane::progressions
