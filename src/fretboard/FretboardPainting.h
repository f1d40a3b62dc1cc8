#pragma once
// Paints the fretboard window's plain values: a chord box and the neck. The same painting serves
// the widgets on screen and the SVG image a chord box is saved as.

#include <QColor>

#include "fretboard/FretboardView.h"

class QPainter;

namespace quorvane::fretboard {

// The chord's root stands out in red from its other notes; the scale's notes are the keyboard's
// scale blue, faint; what is fretted by hand is the keyboard's held-key orange.
QColor DotColor(DotKind kind, bool selected);

// Paints the box with its top-left corner at the painter's origin, in logical pixels.
void PaintChordBox(QPainter& painter, const ChordBoxView& box);
void PaintNeck(QPainter& painter, const NeckView& neck);

}  // namespace quorvane::fretboard
