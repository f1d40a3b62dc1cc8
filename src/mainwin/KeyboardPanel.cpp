#include "mainwin/KeyboardPanel.h"

#include <QMouseEvent>
#include <QPainter>

namespace quorvane::mainwin {

QColor ToQColor(views::OleColor color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

int ButtonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

int ShiftCode(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) |
           (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

namespace {

QRectF Px(const views::TwipsRect& r) {
    return {views::TwipsToPixelsF(r.left), views::TwipsToPixelsF(r.top),
            views::TwipsToPixelsF(r.width), views::TwipsToPixelsF(r.height)};
}

// A filled rectangle with a one-pixel border inside its bounds.
void Block(QPainter& p, const QRectF& r, const QColor& fill) {
    p.fillRect(r, Qt::black);
    p.fillRect(r.adjusted(1, 1, -1, -1), fill);
}

}  // namespace

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

    // Bottom of the drawing order first: the outline, the black-key shapes, the dividers, then
    // the highlight blocks, black ones above the white ones beside them.
    // The outline shows only as a narrow white margin right of and below the keys.
    p.fillRect(Px(views::kKeyboardOutline), Qt::white);
    for (int b = 0; b < views::kBlackKeyCount; ++b) {
        p.fillRect(Px(views::BlackKeyShapeRect(b)), Qt::black);
    }
    for (int i = 0; i < views::kDividerCount; ++i) {
        const views::TwipsVLine line = views::DividerLine(i);
        p.fillRect(QRectF(views::TwipsToPixelsF(line.x), views::TwipsToPixelsF(line.y1), 1,
                          views::TwipsToPixelsF(line.y2 - line.y1)),
                   Qt::black);
    }
    for (const bool black : {false, true}) {
        for (int k = 0; k < views::kKeyCount; ++k) {
            if (views::IsBlackKey(k) == black) {
                Block(p, Px(views::KeyBlockRect(k)),
                      ToQColor(colors_[static_cast<std::size_t>(k)]));
            }
        }
    }
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
