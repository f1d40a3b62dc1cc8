// Times the chord and scale computations over the whole catalogue.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "theory/recognition.h"
#include "theory/theory.h"

namespace {

using namespace quorvane::theory;

// Every chord type, root and inversion in the treble clef: 53 x 12 x 4 = 2544 voicings.
void BM_VoiceChordWholeCatalogue(benchmark::State& state) {
    for (auto _ : state) {
        for (const ChordType& type : ChordTypes) {
            for (int root = 0; root < 12; ++root) {
                for (int inversion = 0; inversion < 4; ++inversion) {
                    auto voicing = VoiceChord(type.intervals, root, inversion, kTrebleClefOffset);
                    benchmark::DoNotOptimize(voicing.data());
                }
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * ChordTypes.size() * 12 * 4);
}
BENCHMARK(BM_VoiceChordWholeCatalogue);

// Every scale and root in the treble clef: 36 x 12 = 432 scales.
void BM_BuildScaleWholeCatalogue(benchmark::State& state) {
    for (auto _ : state) {
        for (const Scale& scale : Scales) {
            for (int root = 0; root < 12; ++root) {
                auto notes = BuildScale(root, scale.intervals, kTrebleClefOffset);
                benchmark::DoNotOptimize(notes.data());
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * Scales.size() * 12);
}
BENCHMARK(BM_BuildScaleWholeCatalogue);

// The largest single cases: a six-note chord and the thirteen-note chromatic scale.
void BM_VoiceChordThirteenth(benchmark::State& state) {
    for (auto _ : state) {
        auto voicing = VoiceChord(ChordTypes[27].intervals, 11, 3, kBassClefOffset);
        benchmark::DoNotOptimize(voicing.data());
    }
}
BENCHMARK(BM_VoiceChordThirteenth);

void BM_BuildScaleChromatic(benchmark::State& state) {
    for (auto _ : state) {
        auto notes = BuildScale(11, Scales[23].intervals, kBassClefOffset);
        benchmark::DoNotOptimize(notes.data());
    }
}
BENCHMARK(BM_BuildScaleChromatic);

// Naming held notes with every other name, as the input does: a match found late in the
// catalogue (B 13th), a set shared by two chords (C E G A over A), four diminished 7ths, a chord
// without its fifth (C E Bb) and a cluster that matches nothing, so both tables are searched.
void BM_RecogniseChord(benchmark::State& state) {
    static const std::vector<std::vector<int>> kHeld = {{59, 63, 66, 69, 73, 80},
                                                        {57, 60, 64, 67},
                                                        {60, 63, 66, 69},
                                                        {60, 64, 70},
                                                        {60, 61, 62, 63}};
    const auto& held = kHeld[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state) {
        const HeldChordNames names = NameHeldChord(held);
        std::string text = OtherNamesText(names);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_RecogniseChord)->DenseRange(0, 4);

}  // namespace
