#include "fretboard/FretboardWidgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include "fretboard/FretboardPainting.h"
#include "views/Twips.h"

namespace quorvane::fretboard {

ChordBoxWidget::ChordBoxWidget(QWidget* parent) : QWidget(parent) {
    // Only the selected box is a Tab stop; the arrows reach the others.
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChordBoxWidget::Apply(const ChordBoxView& box, bool selected) {
    if (box == box_ && selected == selected_) {
        return;
    }
    box_ = box;
    selected_ = selected;
    setFocusPolicy(selected ? Qt::StrongFocus : Qt::ClickFocus);
    setAccessibleName(QString::fromStdString(box_.accessibleName));
    setAccessibleDescription(QString::fromStdString(box_.accessibleDescription));
    update();
}

QSize ChordBoxWidget::sizeHint() const {
    return {views::TwipsToPixels(box_.width), views::TwipsToPixels(box_.height)};
}

void ChordBoxWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The selected shape stands on the selection colour, the others on the window's.
    painter.fillRect(rect(), selected_ ? palette().color(QPalette::Highlight).lighter(170)
                                       : palette().color(QPalette::Window));
    if (selected_) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
    PaintChordBox(painter, box_);
}

void ChordBoxWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit picked();
    }
}

void ChordBoxWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        emit picked();
        return;
    }
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        emit stepped(event->key() == Qt::Key_Left ? -1 : 1);
        return;
    }
    QWidget::keyPressEvent(event);
}

NeckWidget::NeckWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Neck"));
}

void NeckWidget::Apply(const NeckView& neck) {
    if (neck == neck_) {
        return;
    }
    const bool resized = neck.width != neck_.width || neck.height != neck_.height;
    neck_ = neck;
    setAccessibleDescription(QString::fromStdString(neck_.description));
    if (resized) {
        setFixedSize(sizeHint());
    }
    update();
}

QSize NeckWidget::sizeHint() const {
    return {views::TwipsToPixels(neck_.width), views::TwipsToPixels(neck_.height)};
}

void NeckWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    PaintNeck(painter, neck_);
}

void NeckWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPointF at = event->position();
        emit pressedAt(static_cast<int>(views::PixelsToTwips(at.x())),
                       static_cast<int>(views::PixelsToTwips(at.y())));
    }
}

}  // namespace quorvane::fretboard
