#pragma once
// Turns a left press followed by a move past the drag distance into one drag request, and shows
// the open hand where a drag can start. The widget handles its own events as before.

#include <QEvent>
#include <QObject>
#include <QPoint>
#include <functional>

class QMouseEvent;
class QWidget;

namespace quorvane::mainwin {

class DragWatcher final : public QObject {
  public:
    // `starts`: whether a drag can start at a point of the widget; `drag`: asks for the drag.
    DragWatcher(QWidget* widget, std::function<bool(QPoint)> starts, std::function<void()> drag);

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Handle(QEvent::Type type, const QMouseEvent& mouse);
    void ShowHand(bool hand);

    QWidget* widget_;
    std::function<bool(QPoint)> starts_;
    std::function<void()> drag_;
    QPoint pressedAt_;
    bool armed_ = false;
};

}  // namespace quorvane::mainwin
