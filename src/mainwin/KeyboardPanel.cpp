#include "mainwin/KeyboardPanel.h"

#include <QMouseEvent>
#include <QPainter>

#include "mainwin/Painting.h"

namespace quorvane::mainwin {

KeyboardPanel::KeyboardPanel(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    for (int k = 0; k < views::kKeyCount; ++k) {
        colors_[static_cast<std::size_t>(k)] = views::ColorFromTag(views::KeyBlockTag(k));
    }
}

views::OleColor KeyboardPanel::KeyColor(int key) const {
    return key >= 0 && key < views::kKeyCount ? colors_[static_cast<std::size_t>(key)]
                                              : views::kBlack;
}

void KeyboardPanel::SetKeyColors(const std::array<views::OleColor, views::kKeyCount>& colors) {
    if (colors != colors_) {
        colors_ = colors;
        update();
    }
}

void KeyboardPanel::ApplyHeld(const views::HeldView& held) {
    if (held.held != held_.held) {
        update();
    }
    held_ = held;
}

QRect KeyboardPanel::DrawingAreaRect(const views::TwipsRect& rect) const {
    const views::PixelRect px = views::TwipsToPixels(rect.left, rect.top, rect.width, rect.height);
    const QPoint origin = contentsRect().topLeft();
    return {origin.x() + px.x, origin.y() + px.y, px.width, px.height};
}

void KeyboardPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    p.setClipRect(contentsRect());
    p.translate(contentsRect().topLeft());
    PaintKeyboard(p, views::WithHeldKeys(colors_, held_), kScreenScale);
}

void KeyboardPanel::mousePressEvent(QMouseEvent* event) {
    const QPointF pos = event->position() - QPointF(contentsRect().topLeft());
    if (!QRectF(QPointF(0, 0), QSizeF(contentsRect().size())).contains(pos)) {
        event->ignore();
        return;
    }
    event->accept();
    emit MouseDown(ButtonCode(event->button()), ShiftCode(event->modifiers()),
                   static_cast<float>(views::PixelsToTwips(pos.x())),
                   static_cast<float>(views::PixelsToTwips(pos.y())));
}

}  // namespace quorvane::mainwin
