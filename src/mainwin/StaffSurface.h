#pragma once
// The main window's own surface: the staff with its lines and bar lines, and the drawn shapes of
// the two displays (note heads, "#" signs, ledger lines). It paints exactly the scale and chord
// views last applied to it, and reports presses on itself in twips, not those its controls let
// pass.

#include <QLabel>
#include <QWidget>

#include "views/ChordView.h"
#include "views/ScaleView.h"
#include "views/Staff.h"

namespace quorvane::mainwin {

class StaffSurface : public QWidget {
    Q_OBJECT
  public:
    explicit StaffSurface(QWidget* parent = nullptr);

    void ApplyChord(const views::ChordView& view);
    void ApplyScale(const views::ScaleView& view);
    const views::ChordView& Chord() const { return chord_; }
    const views::ScaleView& Scale() const { return scale_; }

  signals:
    // Button 1 left, 2 right, 4 middle; x and y in twips in the window's client area.
    void MouseDown(int button, int shift, float x, float y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    views::ChordView chord_;
    views::ScaleView scale_;
};

// lblClef: the clef sign. With the music font installed it is that font's glyph; otherwise the
// Unicode clef sign, scaled and placed on the staff lines the clef names.
class ClefLabel : public QWidget {
    Q_OBJECT
  public:
    explicit ClefLabel(QWidget* parent = nullptr);
    void Apply(const views::ClefView& view);
    const views::ClefView& View() const { return view_; }
    QString Caption() const { return QString::fromStdString(view_.caption); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    views::ClefView view_;
};

// A label that reports mouse presses (for the chord-name label).
class MouseDownLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

  signals:
    void MouseDown(int button, int shift, float x, float y);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace quorvane::mainwin
