#include "mainwin/DragWatcher.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace quorvane::mainwin {

DragWatcher::DragWatcher(QWidget* widget, std::function<bool(QPoint)> starts,
                         std::function<void()> drag)
    : QObject(widget), widget_(widget), starts_(std::move(starts)), drag_(std::move(drag)) {
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

bool DragWatcher::eventFilter(QObject* /*watched*/, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
        type == QEvent::MouseButtonRelease) {
        Handle(type, *static_cast<QMouseEvent*>(event));
    }
    return false;  // the widget handles its events as before
}

void DragWatcher::Handle(QEvent::Type type, const QMouseEvent& mouse) {
    const QPoint at = mouse.position().toPoint();
    if (type == QEvent::MouseButtonPress) {
        armed_ = mouse.button() == Qt::LeftButton && starts_(at);
        pressedAt_ = at;
    } else if (type == QEvent::MouseButtonRelease) {
        armed_ = false;
    } else if (mouse.buttons() == Qt::NoButton) {
        ShowHand(starts_(at));
    } else if (armed_ && (mouse.buttons() & Qt::LeftButton) != 0 &&
               (at - pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
        armed_ = false;
        drag_();
    }
}

void DragWatcher::ShowHand(bool hand) {
    const Qt::CursorShape shape = hand ? Qt::OpenHandCursor : Qt::ArrowCursor;
    if (widget_->cursor().shape() != shape) {
        widget_->setCursor(shape);
    }
}

}  // namespace quorvane::mainwin
