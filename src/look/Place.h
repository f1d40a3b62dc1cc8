#pragma once
// Placing a control by its layout rectangle: left, top, width and height in twips, in the client
// area of its parent, become the control's geometry in logical pixels.

#include "views/Keyboard.h"

class QWidget;

namespace quorvane::look {

void Place(QWidget* widget, int left, int top, int width, int height);
void Place(QWidget* widget, const views::TwipsRect& rect);

}  // namespace quorvane::look
