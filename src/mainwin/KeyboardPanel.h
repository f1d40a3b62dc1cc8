#pragma once
// picKeyboard: the panel holding the three-octave keyboard. It paints the outline, black-key
// shapes, dividers and the 36 highlight blocks in the colours the scale display gave them; the
// key markers are child widgets placed on it by the main window.

#include <QFrame>
#include <array>

#include "mainwin/Painting.h"
#include "vantile/EventCodes.h"
#include "views/Keyboard.h"
#include "views/Twips.h"

namespace quorvane::mainwin {

class KeyboardPanel : public QFrame {
    Q_OBJECT
  public:
    explicit KeyboardPanel(QWidget* parent = nullptr);

    // Fill colour of highlight block k (0x00BBGGRR).
    views::OleColor KeyColor(int key) const;
    void SetKeyColors(const std::array<views::OleColor, views::kKeyCount>& colors);
    // The keys held now, drawn pressed over their colours (under the markers).
    void ApplyHeld(const views::HeldView& held);
    const views::HeldView& Held() const { return held_; }

    // A rectangle of the drawing area (twips) in the panel's own pixels.
    QRect DrawingAreaRect(const views::TwipsRect& rect) const;

  signals:
    // A press inside the drawing area: button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl,
    // 4 Alt; x and y in twips from the drawing area's top-left corner.
    void MouseDown(int button, int shift, float x, float y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    std::array<views::OleColor, views::kKeyCount> colors_{};
    views::HeldView held_ = views::ComputeHeldView({}, 0);
};

// The button and shift codes of the window's mouse events are the marker control's.
using vantile::ButtonCode;
using vantile::ShiftCode;

}  // namespace quorvane::mainwin
