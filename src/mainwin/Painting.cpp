#include "mainwin/Painting.h"

#include <QPainterPath>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "mainwin/Fonts.h"
#include "vantile/EdgePainter.h"
#include "vantile/OleColor.h"
#include "views/Twips.h"

namespace quorvane::mainwin {

namespace {

// One logical pixel, the thickness of every line, at a scale.
double LineWidth(double scale) {
    return views::kTwipsPerPixel * scale;
}

// Lines are filled as rectangles, so on the screen they land on whole pixels at every device
// pixel ratio.
void HLine(QPainter& p, int x1, int x2, int y, double scale) {
    p.fillRect(QRectF(x1 * scale, y * scale, (x2 - x1) * scale, LineWidth(scale)), Qt::black);
}

void VLine(QPainter& p, int x, int y1, int y2, double scale) {
    p.fillRect(
        QRectF(x * scale, y1 * scale, LineWidth(scale), (y2 - y1) * scale + LineWidth(scale)),
        Qt::black);
}

void Head(QPainter& p, int left, int top, double scale) {
    p.drawEllipse(QRectF(left * scale, top * scale, views::kCrotchetWidth * scale,
                         views::kCrotchetHeight * scale));
}

}  // namespace

QPainterPath SharpSignOutline(const std::optional<QFont>& font) {
    QPainterPath path;
    if (font) {
        const char32_t sign = U'\u266F';
        path.addText(0, 0, *font, QString::fromUcs4(&sign, 1));
    }
    if (path.boundingRect().isEmpty()) {
        path = QPainterPath();
        path.setFillRule(Qt::WindingFill);
        // In a box 0.32 wide and 1 high: thin stems, the right one set higher; bars a staff space
        // apart (0.4 of the height), 0.14 thick, rising by 0.08 across the sign, centred on 0.5.
        path.addRect(QRectF(0.07, 0.06, 0.05, 0.94));
        path.addRect(QRectF(0.2, 0.0, 0.05, 0.94));
        for (double y : {0.41, 0.81}) {
            QPolygonF bar;
            // Wound the way the stems are, so the overlaps stay filled.
            bar << QPointF(0.0, y - 0.14) << QPointF(0.32, y - 0.22) << QPointF(0.32, y - 0.08)
                << QPointF(0.0, y);
            path.addPolygon(bar);
            path.closeSubpath();
        }
    }
    const QRectF ink = path.boundingRect();
    QTransform t;
    t.scale(1.0 / ink.height(), 1.0 / ink.height());
    t.translate(-ink.left(), -ink.top());
    return t.map(path);
}

namespace {

// The drawn flat and natural when no music font has them: a thin stem with a bowl whose right
// side is thickest, and two stems joined by two rising bars, in engraved proportions.
QPainterPath DrawnSign(views::SignKind kind) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (kind == views::SignKind::Flat) {
        path.addRect(QRectF(0.0, 0.0, 0.04, 1.0));
        QPainterPath bowl;
        bowl.moveTo(0.04, 0.62);
        bowl.cubicTo(0.2, 0.5, 0.36, 0.56, 0.3, 0.7);
        bowl.cubicTo(0.26, 0.82, 0.12, 0.92, 0.04, 1.0);
        bowl.lineTo(0.04, 0.93);
        bowl.cubicTo(0.12, 0.86, 0.22, 0.78, 0.22, 0.7);
        bowl.cubicTo(0.22, 0.6, 0.12, 0.62, 0.04, 0.7);
        bowl.closeSubpath();
        path.addPath(bowl);
        return path;
    }
    path.addRect(QRectF(0.0, 0.0, 0.04, 0.78));
    path.addRect(QRectF(0.2, 0.22, 0.04, 0.78));
    for (double y : {0.36, 0.64}) {
        QPolygonF bar;
        bar << QPointF(0.0, y) << QPointF(0.24, y - 0.06) << QPointF(0.24, y + 0.04)
            << QPointF(0.0, y + 0.1);
        path.addPolygon(bar);
        path.closeSubpath();
    }
    return path;
}

// The flat's or natural's ink scaled to a height of 1, its top-left corner at the origin: the
// music font's glyph where it has one, else the drawn sign.
QPainterPath SignOutline(views::SignKind kind) {
    if (kind == views::SignKind::Sharp) {
        return SharpSignOutline(SharpSignFont());
    }
    QPainterPath path;
    if (const std::optional<QFont> font = SharpSignFont()) {
        const char32_t sign = kind == views::SignKind::Flat ? U'\u266D' : U'\u266E';
        path.addText(0, 0, *font, QString::fromUcs4(&sign, 1));
    }
    if (path.boundingRect().isEmpty()) {
        path = DrawnSign(kind);
    }
    const QRectF ink = path.boundingRect();
    QTransform t;
    t.scale(1.0 / ink.height(), 1.0 / ink.height());
    t.translate(-ink.left(), -ink.top());
    return t.map(path);
}

// Where the note's line or space crosses a sign of height 1: the middle of a sharp or a
// natural, the middle of a flat's bowl (the rows where the ink is widest), wherever the glyph
// puts it.
double NoteLineIn(const QPainterPath& sign, views::SignKind kind) {
    if (kind != views::SignKind::Flat) {
        return 0.5;
    }
    constexpr int kRows = 64;
    const double width = sign.boundingRect().width();
    double first = -1;
    double last = -1;
    for (int r = 0; r < kRows; ++r) {
        const QRectF row(-1, static_cast<double>(r) / kRows, width + 2, 1.0 / kRows);
        QPainterPath strip;
        strip.addRect(row);
        if (sign.intersected(strip).boundingRect().width() > 0.6 * width) {
            first = first < 0 ? row.top() : first;
            last = row.bottom();
        }
    }
    return first < 0 ? 0.75 : (first + last) / 2;
}

struct SignGlyph {
    QPainterPath path;
    double noteLine = 0.5;
};

const SignGlyph& Glyph(views::SignKind kind) {
    static const std::array<SignGlyph, 3> glyphs = [] {
        std::array<SignGlyph, 3> all;
        for (const views::SignKind k :
             {views::SignKind::Sharp, views::SignKind::Flat, views::SignKind::Natural}) {
            SignGlyph& g = all[static_cast<std::size_t>(k)];
            g.path = SignOutline(k);
            g.noteLine = NoteLineIn(g.path, k);
        }
        return all;
    }();
    return glyphs[static_cast<std::size_t>(kind)];
}

// A sign: its ink as tall as the sign box (or as wide, if narrower), centred across it, with the
// glyph's own note line on the note's line or space.
void Sign(QPainter& p, const views::SignBox& box, views::SignKind kind, const QColor& color,
          double scale) {
    const SignGlyph& glyph = Glyph(kind);
    const QRectF target(box.left * scale, box.top * scale, box.width * scale, box.height * scale);
    const QRectF ink = glyph.path.boundingRect();
    const double factor = std::min(target.height() / ink.height(), target.width() / ink.width());
    const double noteY = kind == views::SignKind::Flat
                             ? target.top() + target.height() * views::kFlatBowlCentreFromTop /
                                                  static_cast<double>(views::kFlatSignHeight)
                             : target.center().y();
    p.save();
    p.translate(target.center().x() - ink.width() * factor / 2, noteY - glyph.noteLine * factor);
    p.scale(factor, factor);
    p.fillPath(glyph.path, color);
    p.restore();
}

// A filled rectangle with a one-pixel border inside its bounds.
void Block(QPainter& p, const QRectF& r, const QColor& fill, double scale) {
    const double w = LineWidth(scale);
    p.fillRect(r, Qt::black);
    p.fillRect(r.adjusted(w, w, -w, -w), fill);
}

}  // namespace

QColor ToQColor(views::OleColor color) {
    return vantile::ToQColor(color, QPalette()).value_or(Qt::black);
}

QRectF ScaledRect(const views::TwipsRect& rect, double scale) {
    return {rect.left * scale, rect.top * scale, rect.width * scale, rect.height * scale};
}

QFont ScaledFont(const QFont& font, double scale) {
    QFont scaled(font);
    const double factor = scale / kScreenScale;
    if (font.pixelSize() > 0) {
        scaled.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * factor))));
    } else if (font.pointSizeF() > 0) {
        scaled.setPointSizeF(font.pointSizeF() * factor);
    }
    return scaled;
}

void PaintKeyboard(QPainter& p, const std::array<views::OleColor, views::kKeyCount>& colors,
                   double scale) {
    // Bottom of the drawing order first: the outline, the black-key shapes, the dividers, then
    // the highlight blocks, black ones above the white ones beside them. The outline shows only
    // as a narrow white margin right of and below the keys.
    p.fillRect(ScaledRect(views::kKeyboardOutline, scale), Qt::white);
    for (int b = 0; b < views::kBlackKeyCount; ++b) {
        p.fillRect(ScaledRect(views::BlackKeyShapeRect(b), scale), Qt::black);
    }
    for (int i = 0; i < views::kDividerCount; ++i) {
        const views::TwipsVLine line = views::DividerLine(i);
        p.fillRect(
            QRectF(line.x * scale, line.y1 * scale, LineWidth(scale), (line.y2 - line.y1) * scale),
            Qt::black);
    }
    for (const bool black : {false, true}) {
        for (int k = 0; k < views::kKeyCount; ++k) {
            if (views::IsBlackKey(k) == black) {
                Block(p, ScaledRect(views::KeyBlockRect(k), scale),
                      ToQColor(colors[static_cast<std::size_t>(k)]), scale);
            }
        }
    }
}

void PaintStaff(QPainter& p, const views::ChordView& chord, const views::ScaleView& scale,
                const QColor& textColor, double s) {
    p.save();
    for (int y : views::kStaffLineY) {
        HLine(p, views::kStaffLeft, views::kStaffRight, y, s);
    }
    for (const views::TwipsVLine& bar : views::kBarLines) {
        VLine(p, bar.x, bar.y1, bar.y2, s);
    }

    for (const views::NoteSlotView& slot : scale.noteSlots) {
        if (slot.headShown) {
            for (const views::TwipsHLine& line : slot.ledgerLines) {
                HLine(p, line.x1, line.x2, line.y, s);
            }
        }
    }
    for (const views::TwipsHLine& line : chord.ledgerLines) {
        HLine(p, line.x1, line.x2, line.y, s);
    }

    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (const views::NoteSlotView& slot : scale.noteSlots) {
        if (slot.headShown) {
            Head(p, slot.headLeft, slot.headTop, s);
        }
    }
    for (const views::NoteSlotView& slot : chord.noteSlots) {
        if (slot.headShown) {
            Head(p, slot.headLeft, slot.headTop, s);
        }
    }

    for (const views::NoteSlotView& slot : scale.noteSlots) {
        if (slot.sharpShown) {
            Sign(p, slot.sharpSign, slot.sign, textColor, s);
        }
    }
    for (const views::NoteSlotView& slot : chord.noteSlots) {
        if (slot.sharpShown) {
            Sign(p, slot.sharpSign, slot.sign, textColor, s);
        }
    }
    p.restore();
}

void PaintClef(QPainter& p, const views::ClefView& clef, double scale) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (HaveClefFont()) {
        p.setFont(ScaledFont(ClefFont(), scale));
        p.setPen(Qt::black);
        p.drawText(ScaledRect(clef.label, scale), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                   QString::fromStdString(clef.caption));
        p.restore();
        return;
    }
    // Scale the sign's ink to the box the clef must fill, keeping its proportions, and put the
    // box's top-left corner where the view says.
    const char32_t sign = clef.treble ? U'\U0001D11E' : U'\U0001D122';
    QPainterPath path;
    path.addText(0, 0, ClefSymbolFont(), QString::fromUcs4(&sign, 1));
    const QRectF ink = path.boundingRect();
    if (!ink.isEmpty()) {
        const QRectF box = ScaledRect(clef.glyphBox, scale);
        const double factor = box.height() / ink.height();
        p.translate(box.left(), box.top());
        p.scale(factor, factor);
        p.translate(-ink.left(), -ink.top());
        p.fillPath(path, Qt::black);
    }
    p.restore();
}

void PaintMarker(QPainter& p, const views::TwipsRect& rect, views::OleColor backColor, int edge,
                 const QString& caption, const QFont& font, double scale, const QPalette& palette) {
    p.save();
    const QRectF r = ScaledRect(rect, scale);
    // The control's own surface painting, with its bands one logical pixel wide at this scale.
    vantile::PaintSurface(p, r, backColor, true, vantile::EdgeCodeOf(edge), palette,
                          LineWidth(scale));
    if (!caption.isEmpty()) {
        p.setFont(ScaledFont(font, scale));
        p.setPen(Qt::black);
        p.drawText(r, Qt::AlignCenter | Qt::TextDontClip, caption);
    }
    p.restore();
}

}  // namespace quorvane::mainwin
