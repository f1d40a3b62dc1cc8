#pragma once
// The drawing of the keyboard, the staff and the clef, shared by the window's widgets and the
// printed chord sheet. Every function draws in painter coordinates of `scale` units per twip:
// 1/15 on the screen (logical pixels), the device's dots per twip on a printer. A line is one
// logical pixel (15 twips) thick at any scale, so the printout keeps the window's proportions.

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QRectF>
#include <QString>
#include <array>
#include <optional>

#include "views/ChordView.h"
#include "views/Keyboard.h"
#include "views/ScaleView.h"
#include "views/Staff.h"

namespace quorvane::mainwin {

// Logical pixels per twip: the screen's scale.
inline constexpr double kScreenScale = 1.0 / 15.0;

// A rectangle in twips at a scale.
QRectF ScaledRect(const views::TwipsRect& rect, double scale);

// A font sized in logical pixels, resized for a scale (the same font at kScreenScale).
QFont ScaledFont(const QFont& font, double scale);

// The keyboard's drawing area (outline, black-key shapes, dividers, highlight blocks in their
// colours) with its top-left corner at the painter's origin.
void PaintKeyboard(QPainter& p, const std::array<views::OleColor, views::kKeyCount>& colors,
                   double scale);

// The staff in the window's client coordinates: lines, bar lines, the scale's and the chord's
// ledger lines, note heads and "#" signs (the music font's sharp where one is installed, else a
// drawn one), each sign at engraving size on its note's line or space.
void PaintStaff(QPainter& p, const views::ChordView& chord, const views::ScaleView& scale,
                const QColor& textColor, double scaleFactor);

// The sharp sign's ink scaled to a height of 1, its top-left corner at the origin: the glyph
// U+266F of `musicFont`, or without one two thin stems and two thick rising bars drawn in engraved
// proportions.
QPainterPath SharpSignOutline(const std::optional<QFont>& musicFont);

// The clef sign in the window's client coordinates.
void PaintClef(QPainter& p, const views::ClefView& clef, double scale);

// A key marker as the control draws itself (the control library's own surface painting): its
// back colour, the 3-D edge of `edge` (an `Edge` value) in the edge colours of `palette` (the
// application's, as the markers on the screen have) and its caption centred. `font` is in
// logical pixels.
void PaintMarker(QPainter& p, const views::TwipsRect& rect, views::OleColor backColor, int edge,
                 const QString& caption, const QFont& font, double scale,
                 const QPalette& palette = QPalette());

// Qt colour of an OLE colour (the control library's conversion; system colours from the
// application's palette).
QColor ToQColor(views::OleColor color);

}  // namespace quorvane::mainwin
