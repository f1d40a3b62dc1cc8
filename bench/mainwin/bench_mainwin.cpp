// A full redraw of the chord and scale displays on a loaded main window, and the same views
// computed without applying them, to show where the time goes.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "mainwin/Desktop.h"
#include "mainwin/frmChordMain.h"
#include "views/ChordView.h"
#include "views/ScaleView.h"

namespace {

using quorvane::mainwin::frmChordMain;

frmChordMain* LoadedWindow() {
    static frmChordMain* window = [] {
        // A wide screen; both live until the benchmark process ends.
        struct WideScreen : quorvane::mainwin::Desktop {
            int ScreenWidthPixels() const override { return 1024; }
        };
        auto* w = new frmChordMain(*new WideScreen());
        w->Form_Load();
        w->show();
        QApplication::processEvents();
        return w;
    }();
    return window;
}

void BM_ShowChordAndScale(benchmark::State& state) {
    frmChordMain* w = LoadedWindow();
    int step = 0;
    for (auto _ : state) {
        // Walk the catalogue so each redraw changes what is shown.
        w->SetRootIndex(step % 12);
        w->SetChordTypeIndex(step % 53);
        w->SetScaleIndex(step % 36);
        w->SetInversion(step % 4);
        w->ShowScale();
        w->ShowChord();
        ++step;
    }
}
BENCHMARK(BM_ShowChordAndScale);

void BM_ComputeViewsOnly(benchmark::State& state) {
    int step = 0;
    for (auto _ : state) {
        quorvane::views::ChordSelection s;
        s.rootText = "C#(Db)";
        s.rootIndex = step % 12;
        s.chordTypeIndex = step % 53;
        s.inversion = step % 4;
        s.inversionCaption = " Basic";
        benchmark::DoNotOptimize(quorvane::views::ComputeChordView(s));
        benchmark::DoNotOptimize(quorvane::views::ComputeScaleView(step % 12, step % 36, 0));
        ++step;
    }
}
BENCHMARK(BM_ComputeViewsOnly);

}  // namespace
