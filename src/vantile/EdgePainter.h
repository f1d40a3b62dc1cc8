#pragma once
// The classic 3-D edge: two one-pixel bands round a rectangle, each lit from the top left.

#include <QPalette>
#include <QRect>

class QPainter;

namespace vantile {

// Draws edge code `code` (raised outer 1, sunken outer 2, raised inner 4, sunken inner 8, added)
// on all four sides of `rect`: the outer band on its outermost pixels, the inner band inside it.
// Code 0 draws nothing.
void DrawEdge(QPainter& painter, const QRect& rect, int code, const QPalette& palette);

}  // namespace vantile
