#include "mainwin/StaffSurface.h"

#include <QMouseEvent>
#include <QPainter>

#include "look/Place.h"
#include "mainwin/Fonts.h"
#include "mainwin/KeyboardPanel.h"
#include "mainwin/Painting.h"
#include "views/Twips.h"

namespace quorvane::mainwin {

StaffSurface::StaffSurface(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    chord_ = {};
    scale_ = {};
}

void StaffSurface::ApplyChord(const views::ChordView& view) {
    chord_ = view;
    update();
}

void StaffSurface::ApplyScale(const views::ScaleView& view) {
    scale_ = view;
    update();
}

void StaffSurface::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintStaff(p, chord_, scale_, palette().color(QPalette::WindowText), kScreenScale);
}

void StaffSurface::mousePressEvent(QMouseEvent* event) {
    event->accept();
    // A press that a control on the surface let pass (a button, a list, an option, a label, the
    // clef) belongs to that control, not to the surface beneath it.
    if (childAt(event->position().toPoint()) != nullptr) {
        return;
    }
    emit MouseDown(ButtonCode(event->button()), ShiftCode(event->modifiers()),
                   static_cast<float>(views::PixelsToTwips(event->position().x())),
                   static_cast<float>(views::PixelsToTwips(event->position().y())));
}

ClefLabel::ClefLabel(QWidget* parent) : QWidget(parent) {
    Apply(views::ComputeClefView(views::kTrebleClefOffset));
}

void ClefLabel::Apply(const views::ClefView& view) {
    view_ = view;
    look::Place(this, view.label);
    update();
}

void ClefLabel::paintEvent(QPaintEvent*) {
    // The clef is drawn in the window's coordinates; this label is where it stands.
    QPainter p(this);
    p.translate(-pos());
    PaintClef(p, view_, kScreenScale);
}

void MouseDownLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit MouseDown(ButtonCode(event->button()), ShiftCode(event->modifiers()),
                   static_cast<float>(views::PixelsToTwips(event->position().x())),
                   static_cast<float>(views::PixelsToTwips(event->position().y())));
}

}  // namespace quorvane::mainwin
