// A chord change in the fretboard window, whole: the shapes found, the boxes and the neck computed
// and applied, and the window painted. The budget is one frame, 16 ms.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "fretboard/frmFretboard.h"

namespace {

using quorvane::fretboard::FretboardSelection;
using quorvane::fretboard::frmFretboard;

void BM_ChordChangeRedrawn(benchmark::State& state) {
    frmFretboard window;
    window.resize(900, 520);
    window.show();
    QImage image(window.size(), QImage::Format_ARGB32_Premultiplied);
    FretboardSelection selection;
    for (auto _ : state) {
        // Through the roots, types and inversions, so no two changes in a row are alike.
        selection.rootIndex = (selection.rootIndex + 5) % 12;
        selection.chordTypeIndex = (selection.chordTypeIndex + 7) % 53;
        selection.inversion = (selection.inversion + 1) % 4;
        window.ShowSelection(selection);
        QPainter painter(&image);
        window.render(&painter);
    }
}
BENCHMARK(BM_ChordChangeRedrawn)->Unit(benchmark::kMillisecond);

}  // namespace
