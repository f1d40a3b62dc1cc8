// Creating a key marker by its ProgID (the library already loaded), painting one with its raised
// edge, and a caption change with its re-centring.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <string>

#include "vantile/ComponentHost.h"

namespace {

vantile::PropertyBag KeyMarkerBag() {
    vantile::PropertyBag bag;
    bag.Write("backcolor", std::int32_t{0x00C0C0FF});
    bag.Write("font", vantile::FontDesc{"Terminal", 6.0, true, false, 255});
    bag.Write("edge", std::int32_t{3});
    bag.Write("caption", std::string());
    return bag;
}

void BM_CreateKeyMarker(benchmark::State& state) {
    const vantile::PropertyBag bag = KeyMarkerBag();
    QWidget host;
    for (auto _ : state) {
        std::unique_ptr<QWidget> marker(
            vantile::CreateControl(vantile::kVantileProgId, &host, &bag));
        if (!marker) {
            state.SkipWithError("control library not available");
            return;
        }
        marker->setGeometry(0, 0, 18, 25);
    }
}
BENCHMARK(BM_CreateKeyMarker);

void BM_PaintKeyMarker(benchmark::State& state) {
    const vantile::PropertyBag bag = KeyMarkerBag();
    QWidget host;
    QWidget* marker = vantile::CreateControl(vantile::kVantileProgId, &host, &bag);
    if (marker == nullptr) {
        state.SkipWithError("control library not available");
        return;
    }
    marker->setGeometry(0, 0, 18, 25);
    vantile::SetByDispId(marker, vantile::dispid::Caption, QStringLiteral("13#"));
    QImage image(18, 25, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        marker->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintKeyMarker);

void BM_SetCaption(benchmark::State& state) {
    const vantile::PropertyBag bag = KeyMarkerBag();
    QWidget host;
    QWidget* marker = vantile::CreateControl(vantile::kVantileProgId, &host, &bag);
    if (marker == nullptr) {
        state.SkipWithError("control library not available");
        return;
    }
    marker->setGeometry(0, 0, 18, 25);
    const QString captions[] = {QStringLiteral("R"), QStringLiteral("3b"), QStringLiteral("13#")};
    int i = 0;
    for (auto _ : state) {
        vantile::SetByDispId(marker, vantile::dispid::Caption, captions[i++ % 3]);
    }
}
BENCHMARK(BM_SetCaption);

}  // namespace
