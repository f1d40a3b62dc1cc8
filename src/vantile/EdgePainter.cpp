#include "EdgePainter.h"

#include <QPainter>
#include <optional>

#include "vantile/Vantile.h"

namespace vantile {

namespace {

struct Band {
    QPalette::ColorRole topLeft;
    QPalette::ColorRole bottomRight;
};

// The platform's edge colours: light is Midlight, highlight Light, shadow Dark, dark shadow
// Shadow.
std::optional<Band> OuterBand(int code) {
    switch (code & (edgeflag::RaisedOuter | edgeflag::SunkenOuter)) {
        case edgeflag::RaisedOuter:
            return Band{QPalette::Midlight, QPalette::Shadow};
        case edgeflag::SunkenOuter:
            return Band{QPalette::Dark, QPalette::Light};
        default:
            return std::nullopt;  // none, or raised and sunken at once
    }
}

std::optional<Band> InnerBand(int code) {
    switch (code & (edgeflag::RaisedInner | edgeflag::SunkenInner)) {
        case edgeflag::RaisedInner:
            return Band{QPalette::Light, QPalette::Dark};
        case edgeflag::SunkenInner:
            return Band{QPalette::Shadow, QPalette::Midlight};
        default:
            return std::nullopt;
    }
}

// One band on the outermost pixels of `r`: top and left first, then bottom and right over the
// two corners they share.
void DrawBand(QPainter& painter, const QRect& r, const Band& band, const QPalette& palette) {
    const QColor topLeft = palette.color(QPalette::Active, band.topLeft);
    const QColor bottomRight = palette.color(QPalette::Active, band.bottomRight);
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

}  // namespace

void DrawEdge(QPainter& painter, const QRect& rect, int code, const QPalette& palette) {
    QRect r = rect;
    for (const auto& band : {OuterBand(code), InnerBand(code)}) {
        if (!band || r.width() <= 0 || r.height() <= 0) {
            continue;  // an inner band alone lies on the outermost pixels
        }
        DrawBand(painter, r, *band, palette);
        r.adjust(1, 1, -1, -1);
    }
}

}  // namespace vantile
