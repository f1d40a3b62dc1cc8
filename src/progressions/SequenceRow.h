#pragma once
// The chord sequence's cells in lines of eight, up to the sequence's 512, in a scrolling area:
// each cell a small widget that paints its view and carries its accessible name, description and
// tooltip. Applying views touches only the cells whose view changed, so that marking the playing
// cell redraws two cells and not the row. The row turns presses, double-clicks, drags and drops
// into signals; it holds no sequence.

#include <QPoint>
#include <QWidget>
#include <vector>

#include "progressions/SequenceView.h"

namespace quorvane::progressions {

class SequenceCellWidget;

class SequenceRow final : public QWidget {
    Q_OBJECT
  public:
    // What a cell carries when dragged, besides the progression's file: the cell's index.
    static constexpr const char* kCellMimeType = "application/x-quorvane-sequence-cell";
    static constexpr int kCellsPerLine = 8;
    static constexpr int kCellWidth = 112;
    static constexpr int kCellHeight = 84;
    static constexpr int kGap = 6;

    explicit SequenceRow(QWidget* parent);

    // The cells as they are to stand; cells whose view is unchanged are left alone.
    void Apply(const std::vector<SequenceCellView>& cells);
    // Cell n's widget, nullptr outside the row.
    QWidget* Cell(int n) const;

  signals:
    // A left press on a cell, -1 between cells.
    void pressed(int cell);
    void doubleClicked(int cell);
    // The pointer moved past the drag distance with the left button down from `cell` (-1: from
    // between cells).
    void dragStarted(QWidget* source, int cell);
    // A cell dragged from this row dropped at `to` (the size for the end).
    void cellDropped(int from, int to);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    int CellAt(QPoint at) const;
    QRect CellRect(int n) const;

    std::vector<SequenceCellWidget*> cells_;
    QPoint pressAt_;
    bool pressed_ = false;
};

}  // namespace quorvane::progressions
