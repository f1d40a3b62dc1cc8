// The progressions chart: ShowProg on the fifteen boxes (what every linked root change costs),
// the captions alone, and creating the window with its boxes (what reopening it costs). The chord
// sequence window with a full row of 512 cells: transposed and painted, and the playing cell
// moved on and painted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "progressions/ProgressionsChart.h"
#include "progressions/frmChordProgressions.h"
#include "progressions/frmChordSequence.h"

namespace {

using quorvane::progressions::frmChordProgressions;

void BM_ProgCaptions(benchmark::State& state) {
    int root = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(quorvane::progressions::ProgCaptions(root));
        root = (root + 1) % 12;
    }
}
BENCHMARK(BM_ProgCaptions);

void BM_ShowProgHidden(benchmark::State& state) {
    frmChordProgressions window;
    if (window.ProgRoot(0) == nullptr) {
        state.SkipWithError("control library not available");
        return;
    }
    int root = 0;
    for (auto _ : state) {
        window.ShowProg(root);
        root = (root + 1) % 12;
    }
}
BENCHMARK(BM_ShowProgHidden);

void BM_ShowProgShownAndPainted(benchmark::State& state) {
    frmChordProgressions window;
    window.show();
    QApplication::processEvents();
    int root = 0;
    for (auto _ : state) {
        window.ShowProg(root);
        window.repaint();
        root = (root + 1) % 12;
    }
}
BENCHMARK(BM_ShowProgShownAndPainted);

void BM_CreateWindow(benchmark::State& state) {
    for (auto _ : state) {
        auto window = std::make_unique<frmChordProgressions>();
        window->ShowProg(9);
        benchmark::DoNotOptimize(window.get());
    }
}
BENCHMARK(BM_CreateWindow);

// The window shown at its opening size with 512 cells, in the spelling that reads the key.
struct FullSequence {
    FullSequence() : window(model, nullptr) {
        for (int i = 0; i < 512; ++i) {
            model.AddChord({(i * 7) % 12, (i * 5) % 53, i % 4});
        }
        window.SetSpelling(quorvane::theory::Spelling::ByChord);
        window.show();
        QApplication::processEvents();
    }
    quorvane::progressions::SequenceModel model;
    quorvane::progressions::frmChordSequence window;
};

void BM_Transpose512Model(benchmark::State& state) {
    quorvane::progressions::SequenceModel model;
    for (int i = 0; i < 512; ++i) {
        model.AddChord({(i * 7) % 12, (i * 5) % 53, i % 4});
    }
    for (auto _ : state) {
        model.Transpose(1);
    }
}
BENCHMARK(BM_Transpose512Model)->Unit(benchmark::kMillisecond);

void BM_Transpose512AndPaint(benchmark::State& state) {
    FullSequence sequence;
    for (auto _ : state) {
        sequence.model.Transpose(1);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_Transpose512AndPaint)->Unit(benchmark::kMillisecond);

void BM_PlayingCell512AndPaint(benchmark::State& state) {
    FullSequence sequence;
    int cell = 0;
    for (auto _ : state) {
        sequence.window.ShowPlaying(cell);
        QApplication::processEvents();
        cell = (cell + 1) % 16;
    }
}
BENCHMARK(BM_PlayingCell512AndPaint)->Unit(benchmark::kMicrosecond);

}  // namespace
