// Times the fretted-shape finder: one chord as the fretboard window asks for it, and every
// chord of the catalogue on every listed instrument.
#include <benchmark/benchmark.h>

#include <vector>

#include "theory/catalogue.h"
#include "theory/fretted.h"

namespace {

using namespace quorvane::theory;

// All shapes of one chord on the standard guitar: (root, chord type, inversion).
void BM_FindShapesOneChordOnGuitar(benchmark::State& state) {
    const std::vector<int>& guitar = ListedTunings().front().strings;
    const int root = static_cast<int>(state.range(0));
    const int type = static_cast<int>(state.range(1));
    const int inversion = static_cast<int>(state.range(2));
    std::size_t shapes = 0;
    for (auto _ : state) {
        auto found = FindShapes(guitar, 0, root, type, inversion);
        shapes = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["shapes"] = static_cast<double>(shapes);
}
BENCHMARK(BM_FindShapesOneChordOnGuitar)
    ->Args({0, 0, 0})    // C Major, the most shapes of a triad
    ->Args({5, 0, 0})    // F Major
    ->Args({11, 27, 3})  // B 13th, Third Inversion: six notes
    ->Args({0, 20, 0})   // C Aug 11th
    ->Unit(benchmark::kMicrosecond);

// Every root x chord type x inversion on all listed instruments: 12 x 53 x 4 x 8 chords.
void BM_FindShapesEveryChordEveryInstrument(benchmark::State& state) {
    std::size_t shapes = 0;
    for (auto _ : state) {
        shapes = 0;
        for (const Tuning& tuning : ListedTunings()) {
            for (int root = 0; root < 12; ++root) {
                for (int type = 0; type < static_cast<int>(ChordTypes.size()); ++type) {
                    for (int inversion = 0; inversion < 4; ++inversion) {
                        auto found = FindShapes(tuning.strings, 0, root, type, inversion);
                        shapes += found.size();
                        benchmark::DoNotOptimize(found.data());
                    }
                }
            }
        }
    }
    state.counters["shapes"] = static_cast<double>(shapes);
}
BENCHMARK(BM_FindShapesEveryChordEveryInstrument)->Unit(benchmark::kMillisecond);

}  // namespace
