#pragma once
// The control's surface as it paints itself: its background colour and the classic 3-D edge, two
// bands round the border, each lit from the top left in the palette's edge colours. Header-only,
// so a host that prints a control (the program's printed chord sheet) paints exactly what the
// screen shows.

#include <QPainter>
#include <QPalette>
#include <QRectF>
#include <optional>

#include "vantile/OleColor.h"

namespace vantile {

// Edge codes are the platform's edge flags added together.
namespace edgeflag {
inline constexpr int RaisedOuter = 1;
inline constexpr int SunkenOuter = 2;
inline constexpr int RaisedInner = 4;
inline constexpr int SunkenInner = 8;
}  // namespace edgeflag

// The `Edge` property's values.
enum class EdgeKind { None = 0, Bump = 1, Etched = 2, Raised = 3, Sunken = 4 };

// The edge code stored for an `Edge` value; 0 for None and for any value outside 1..4.
constexpr int EdgeCodeOf(int edge) {
    switch (static_cast<EdgeKind>(edge)) {
        case EdgeKind::Bump:
            return edgeflag::RaisedOuter + edgeflag::SunkenInner;  // 9
        case EdgeKind::Etched:
            return edgeflag::SunkenOuter + edgeflag::RaisedInner;  // 6
        case EdgeKind::Raised:
            return edgeflag::RaisedOuter + edgeflag::RaisedInner;  // 5
        case EdgeKind::Sunken:
            return edgeflag::SunkenOuter + edgeflag::SunkenInner;  // 10
        default:
            return 0;
    }
}

// The `Edge` value of a stored edge code; None for a code no value stores.
constexpr int EdgeFromCode(int code) {
    for (int edge = 1; edge <= 4; ++edge) {
        if (EdgeCodeOf(edge) == code) {
            return edge;
        }
    }
    return 0;
}

namespace edge_detail {

struct Band {
    QPalette::ColorRole topLeft;
    QPalette::ColorRole bottomRight;
};

// The platform's edge colours: light is Midlight, highlight Light, shadow Dark, dark shadow
// Shadow.
inline std::optional<Band> OuterBand(int code) {
    switch (code & (edgeflag::RaisedOuter | edgeflag::SunkenOuter)) {
        case edgeflag::RaisedOuter:
            return Band{QPalette::Midlight, QPalette::Shadow};
        case edgeflag::SunkenOuter:
            return Band{QPalette::Dark, QPalette::Light};
        default:
            return std::nullopt;  // none, or raised and sunken at once
    }
}

inline std::optional<Band> InnerBand(int code) {
    switch (code & (edgeflag::RaisedInner | edgeflag::SunkenInner)) {
        case edgeflag::RaisedInner:
            return Band{QPalette::Light, QPalette::Dark};
        case edgeflag::SunkenInner:
            return Band{QPalette::Shadow, QPalette::Midlight};
        default:
            return std::nullopt;
    }
}

// One band `w` wide on the outermost part of `r`: top and left first, then bottom and right over
// the two corners they share.
inline void DrawBand(QPainter& painter, const QRectF& r, const Band& band, const QPalette& palette,
                     qreal w) {
    const QColor topLeft = palette.color(QPalette::Active, band.topLeft);
    const QColor bottomRight = palette.color(QPalette::Active, band.bottomRight);
    painter.fillRect(QRectF(r.left(), r.top(), r.width(), w), topLeft);
    painter.fillRect(QRectF(r.left(), r.top(), w, r.height()), topLeft);
    painter.fillRect(QRectF(r.left(), r.bottom() - w, r.width(), w), bottomRight);
    painter.fillRect(QRectF(r.right() - w, r.top(), w, r.height()), bottomRight);
}

}  // namespace edge_detail

// Draws edge code `code` on all four sides of `rect`: the outer band on its outermost
// `bandWidth` (one pixel on the screen), the inner band inside it. Code 0 draws nothing.
inline void DrawEdge(QPainter& painter, const QRectF& rect, int code, const QPalette& palette,
                     qreal bandWidth = 1.0) {
    QRectF r = rect;
    for (const auto& band : {edge_detail::OuterBand(code), edge_detail::InnerBand(code)}) {
        if (!band || r.width() <= 0 || r.height() <= 0) {
            continue;  // an inner band alone lies on the outermost pixels
        }
        edge_detail::DrawBand(painter, r, *band, palette, bandWidth);
        r.adjust(bandWidth, bandWidth, -bandWidth, -bandWidth);
    }
}

// The whole surface: `rect` filled with `backColor` (black for a value that is not a valid OLE
// colour; an opaque surface only), then the edge of `edgeCode` on it.
inline void PaintSurface(QPainter& painter, const QRectF& rect, OleColor backColor, bool opaque,
                         int edgeCode, const QPalette& palette, qreal bandWidth = 1.0) {
    if (opaque) {
        painter.fillRect(rect, ToQColor(backColor, palette).value_or(Qt::black));
    }
    DrawEdge(painter, rect, edgeCode, palette, bandWidth);
}

}  // namespace vantile
