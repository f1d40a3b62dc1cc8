// The progressions chart: ShowProg on the fifteen boxes (what every linked root change costs),
// the captions alone, and creating the window with its boxes (what reopening it costs).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "progressions/ProgressionsChart.h"
#include "progressions/frmChordProgressions.h"

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

}  // namespace
