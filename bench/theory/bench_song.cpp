// Times what opening a long song asks of the theory: reading a 512-chord ChordPro file, finding
// its key and writing every chord's numeral; and moving all its cells a semitone.
#include <benchmark/benchmark.h>

#include <string>

#include "theory/chordpro.h"
#include "theory/keys.h"
#include "theory/symbols.h"

namespace {

using namespace quorvane::theory;

std::string LongSong() {
    ChordProSong song;
    song.title = "Long";
    song.key = Key{3, false};
    song.tempo = 120;
    const std::vector<SequenceCell> chart =
        ReadChordSymbols("Ebmaj7 Cm7 Fm7 Bb7 Gm7b5 C7b9 Fm9 Bb13 Ab6/9 Db9 Eb/G Gb7alt").cells;
    for (std::size_t i = 0; i < kMaxSequenceChords; ++i) {
        song.cells.push_back(chart[i % chart.size()]);
    }
    std::string text = WriteChordPro(song, Spelling::ByChord);
    // Lyrics before each chord line, as a song sheet has them.
    std::string sheet;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at) + 1;
        if (text[at] == '[') {
            sheet += "Some words of the song that go along with these chords\n";
        }
        sheet += text.substr(at, end - at);
        at = end;
    }
    text = sheet;
    return text;
}

void BM_OpenSongFindKeyWriteNumerals(benchmark::State& state) {
    const std::string text = LongSong();
    for (auto _ : state) {
        const ChordProRead read = ReadChordPro(text);
        const Key key = FindKey(read.song.cells, 4);
        std::size_t length = 0;
        for (const SequenceCell& cell : read.song.cells) {
            length += RomanNumeral(cell, key).size();
        }
        benchmark::DoNotOptimize(length);
    }
}
BENCHMARK(BM_OpenSongFindKeyWriteNumerals)->Unit(benchmark::kMillisecond);

void BM_TransposeAndSpell512(benchmark::State& state) {
    const std::vector<SequenceCell> cells = ReadChordPro(LongSong()).song.cells;
    for (auto _ : state) {
        std::size_t length = 0;
        for (const SequenceCell& cell : cells) {
            const SequenceCell moved = Transpose(cell, 1);
            length += moved.known
                          ? SymbolInKey(moved.chord, Key{4, false}, Spelling::ByChord).size()
                          : moved.text.size();
        }
        benchmark::DoNotOptimize(length);
    }
}
BENCHMARK(BM_TransposeAndSpell512)->Unit(benchmark::kMillisecond);

}  // namespace
