#pragma once
// The fretboard window's two painted widgets: a chord box, which can be selected, and the neck,
// which reports where it was pressed. Each only paints the view it was given.

#include <QWidget>
#include <optional>

#include "fretboard/FretboardView.h"

namespace quorvane::fretboard {

class ChordBoxWidget final : public QWidget {
    Q_OBJECT
  public:
    explicit ChordBoxWidget(QWidget* parent = nullptr);
    void Apply(const ChordBoxView& box, bool selected);
    const ChordBoxView& View() const { return box_; }
    QSize sizeHint() const override;

  signals:
    void picked();
    // Left or Right arrow: the neighbouring box is to be selected (-1 or +1).
    void stepped(int delta);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Space selects the box, as a press does; the arrows step to its neighbours.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    ChordBoxView box_;
    bool selected_ = false;
};

class NeckWidget final : public QWidget {
    Q_OBJECT
  public:
    explicit NeckWidget(QWidget* parent = nullptr);
    void Apply(const NeckView& neck);
    const NeckView& View() const { return neck_; }
    QSize sizeHint() const override;

  signals:
    // A left press at (x, y) in twips on the neck.
    void pressedAt(int x, int y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    NeckView neck_;
};

}  // namespace quorvane::fretboard
