#include "look/Place.h"

#include <QWidget>

#include "views/Twips.h"

namespace quorvane::look {

void Place(QWidget* widget, int left, int top, int width, int height) {
    const views::PixelRect r = views::TwipsToPixels(left, top, width, height);
    widget->setGeometry(r.x, r.y, r.width, r.height);
}

void Place(QWidget* widget, const views::TwipsRect& rect) {
    Place(widget, rect.left, rect.top, rect.width, rect.height);
}

}  // namespace quorvane::look
