#include "progressions/SequenceRow.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace quorvane::progressions {

// One cell: its symbol large, its full name small below, its numeral at the foot. An unknown
// cell is hatched with a dashed edge and its text in red.
class SequenceCellWidget final : public QWidget {
  public:
    explicit SequenceCellWidget(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFixedSize(SequenceRow::kCellWidth, SequenceRow::kCellHeight);
    }

    void SetView(const SequenceCellView& view) {
        if (view == view_) {
            return;
        }
        const bool texts = view.symbol != view_.symbol || view.fullName != view_.fullName ||
                           view.description != view_.description;
        view_ = view;
        if (texts) {
            setAccessibleName(QString::fromStdString(view_.fullName));
            setAccessibleDescription(QString::fromStdString(view_.description));
            setToolTip(QString::fromStdString(view_.known ? view_.fullName : view_.description));
        }
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF frame = QRectF(rect()).adjusted(1, 1, -1, -1);
        const QColor back(view_.playing    ? "#ffd966"
                          : view_.selected ? "#9fc5f8"
                          : view_.known    ? "#f4f4f4"
                                           : "#eeeeee");
        QPen edge(QColor(view_.selected ? "#1c4587" : view_.known ? "#a0a0a0" : "#b45f06"), 2);
        if (!view_.known) {
            edge.setStyle(Qt::DashLine);
        }
        painter.setPen(edge);
        painter.setBrush(back);
        painter.drawRoundedRect(frame, 4, 4);
        if (!view_.known) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QBrush(QColor("#d9d9d9"), Qt::BDiagPattern));
            painter.drawRoundedRect(frame, 4, 4);
        }
        PaintTexts(painter);
    }

  private:
    void PaintTexts(QPainter& painter) {
        const QString symbol = QString::fromStdString(view_.symbol);
        QFont big = font();
        big.setBold(true);
        big.setItalic(!view_.known);
        big.setPointSizeF(font().pointSizeF() * 1.8);
        // A long symbol ("C7b9#11/Bb") is set smaller rather than cut off.
        const int room = width() - 10;
        while (big.pointSizeF() > 7 && QFontMetrics(big).horizontalAdvance(symbol) > room) {
            big.setPointSizeF(big.pointSizeF() - 1);
        }
        painter.setFont(big);
        painter.setPen(view_.known ? QColor(Qt::black) : QColor("#990000"));
        painter.drawText(QRect(4, 2, width() - 8, 30), Qt::AlignCenter, symbol);

        QFont small = font();
        small.setPointSizeF(font().pointSizeF() * 0.75);
        painter.setFont(small);
        painter.setPen(QColor("#404040"));
        const QString name =
            view_.known ? QString::fromStdString(view_.fullName) : QStringLiteral("Unknown chord");
        painter.drawText(QRect(4, 32, width() - 8, 28), Qt::AlignCenter | Qt::TextWordWrap, name);

        QFont numeral = font();
        numeral.setBold(true);
        painter.setFont(numeral);
        painter.setPen(QColor("#1c4587"));
        painter.drawText(QRect(4, 60, width() - 8, 20), Qt::AlignCenter,
                         QString::fromStdString(view_.numeral));
    }

    SequenceCellView view_{{}, {}, {}, {}, false, false, false};
};

SequenceRow::SequenceRow(QWidget* parent) : QWidget(parent) {
    setAcceptDrops(true);
    setMinimumSize(kCellsPerLine * (kCellWidth + kGap) + kGap, 2 * (kCellHeight + kGap) + kGap);
}

QRect SequenceRow::CellRect(int n) const {
    return {kGap + (n % kCellsPerLine) * (kCellWidth + kGap),
            kGap + (n / kCellsPerLine) * (kCellHeight + kGap), kCellWidth, kCellHeight};
}

void SequenceRow::Apply(const std::vector<SequenceCellView>& cells) {
    const bool resized = cells.size() != cells_.size();
    while (cells_.size() > cells.size()) {
        delete cells_.back();
        cells_.pop_back();
    }
    while (cells_.size() < cells.size()) {
        auto* cell = new SequenceCellWidget(this);
        cell->setGeometry(CellRect(static_cast<int>(cells_.size())));
        cell->show();
        cells_.push_back(cell);
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        cells_[i]->SetView(cells[i]);
    }
    if (resized) {
        const int lines =
            std::max<int>(2, (static_cast<int>(cells.size()) + kCellsPerLine - 1) / kCellsPerLine);
        setMinimumHeight(lines * (kCellHeight + kGap) + kGap);
    }
}

QWidget* SequenceRow::Cell(int n) const {
    return n >= 0 && n < static_cast<int>(cells_.size()) ? cells_[static_cast<std::size_t>(n)]
                                                         : nullptr;
}

int SequenceRow::CellAt(QPoint at) const {
    const int column = (at.x() - kGap) / (kCellWidth + kGap);
    const int line = (at.y() - kGap) / (kCellHeight + kGap);
    const int n = line * kCellsPerLine + column;
    return at.x() >= kGap && at.y() >= kGap && column < kCellsPerLine &&
                   n < static_cast<int>(cells_.size()) && CellRect(n).contains(at)
               ? n
               : -1;
}

void SequenceRow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressAt_ = event->position().toPoint();
        pressed_ = true;
        emit pressed(CellAt(pressAt_));
    }
}

void SequenceRow::mouseDoubleClickEvent(QMouseEvent* event) {
    const int cell = CellAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && cell >= 0) {
        emit doubleClicked(cell);
    }
}

void SequenceRow::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_ && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - pressAt_).manhattanLength() >=
            QApplication::startDragDistance() &&
        !cells_.empty()) {
        pressed_ = false;
        const int cell = CellAt(pressAt_);
        emit dragStarted(cell >= 0 ? Cell(cell) : this, cell);
    }
}

void SequenceRow::mouseReleaseEvent(QMouseEvent*) {
    pressed_ = false;
}

void SequenceRow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() != nullptr && event->mimeData()->hasFormat(QLatin1String(kCellMimeType))) {
        event->acceptProposedAction();
    }
}

void SequenceRow::dragMoveEvent(QDragMoveEvent* event) {
    event->acceptProposedAction();
}

void SequenceRow::dropEvent(QDropEvent* event) {
    bool read = false;
    const int from = event->mimeData()->data(QLatin1String(kCellMimeType)).toInt(&read);
    if (!read || from < 0) {
        return;
    }
    const int to = CellAt(event->position().toPoint());
    emit cellDropped(from, to < 0 ? static_cast<int>(cells_.size()) : to);
    event->acceptProposedAction();
}

}  // namespace quorvane::progressions
