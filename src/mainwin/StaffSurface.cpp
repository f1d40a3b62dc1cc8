#include "mainwin/StaffSurface.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "mainwin/Fonts.h"
#include "mainwin/KeyboardPanel.h"
#include "views/Twips.h"

namespace quorvane::mainwin {

namespace {

using views::TwipsToPixelsF;

// Lines are one logical pixel thick and filled as rectangles, so they land on whole pixels at
// every device pixel ratio.
void HLine(QPainter& p, int x1, int x2, int y) {
    p.fillRect(QRectF(TwipsToPixelsF(x1), TwipsToPixelsF(y), TwipsToPixelsF(x2 - x1), 1.0),
               Qt::black);
}

void VLine(QPainter& p, int x, int y1, int y2) {
    p.fillRect(QRectF(TwipsToPixelsF(x), TwipsToPixelsF(y1), 1.0, TwipsToPixelsF(y2 - y1) + 1.0),
               Qt::black);
}

void Head(QPainter& p, int left, int top) {
    p.drawEllipse(QRectF(TwipsToPixelsF(left), TwipsToPixelsF(top),
                         TwipsToPixelsF(views::kCrotchetWidth),
                         TwipsToPixelsF(views::kCrotchetHeight)));
}

// A "#" label: its text from the label's top-left corner, as a label sets it.
void Sharp(QPainter& p, int left, int top, int height, const std::string& caption) {
    p.drawText(QRectF(TwipsToPixelsF(left), TwipsToPixelsF(top),
                      TwipsToPixelsF(views::kAccidentalWidth), TwipsToPixelsF(height)),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, QString::fromStdString(caption));
}

}  // namespace

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
    for (int y : views::kStaffLineY) {
        HLine(p, views::kStaffLeft, views::kStaffRight, y);
    }
    for (const views::TwipsVLine& bar : views::kBarLines) {
        VLine(p, bar.x, bar.y1, bar.y2);
    }

    for (const views::ScaleSlotView& slot : scale_.noteSlots) {
        if (slot.headShown) {
            for (const views::TwipsHLine& line : slot.ledgerLines) {
                HLine(p, line.x1, line.x2, line.y);
            }
        }
    }
    for (const views::TwipsHLine& line : chord_.ledgerLines) {
        HLine(p, line.x1, line.x2, line.y);
    }

    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (const views::ScaleSlotView& slot : scale_.noteSlots) {
        if (slot.headShown) {
            Head(p, slot.headLeft, slot.headTop);
        }
    }
    for (const views::NoteSlotView& slot : chord_.noteSlots) {
        if (slot.headShown) {
            Head(p, slot.headLeft, slot.headTop);
        }
    }

    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    for (std::size_t n = 0; n < scale_.noteSlots.size(); ++n) {
        const views::ScaleSlotView& slot = scale_.noteSlots[n];
        if (slot.sharpShown) {
            Sharp(p, slot.sharpLeft, slot.sharpTop,
                  views::AccidentalHeight(true, static_cast<int>(n)), slot.sharpCaption);
        }
    }
    for (const views::NoteSlotView& slot : chord_.noteSlots) {
        if (slot.sharpShown) {
            Sharp(p, slot.sharpLeft, slot.sharpTop, views::kAccidentalHeight, slot.sharpCaption);
        }
    }
}

void StaffSurface::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit MouseDown(ButtonCode(event->button()), ShiftCode(event->modifiers()),
                   static_cast<float>(views::PixelsToTwips(event->position().x())),
                   static_cast<float>(views::PixelsToTwips(event->position().y())));
}

ClefLabel::ClefLabel(QWidget* parent) : QWidget(parent) {
    // Presses on the clef belong to the window surface beneath it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    Apply(views::ComputeClefView(views::kTrebleClefOffset));
}

void ClefLabel::Apply(const views::ClefView& view) {
    view_ = view;
    const views::PixelRect r =
        views::TwipsToPixels(view.label.left, view.label.top, view.label.width, view.label.height);
    setGeometry(r.x, r.y, r.width, r.height);
    update();
}

void ClefLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (HaveClefFont()) {
        p.setFont(ClefFont());
        p.setPen(Qt::black);
        p.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, Caption());
        return;
    }
    // Scale the sign's ink to the box the clef must fill, keeping its proportions, and put the
    // box's top-left corner where the view says (relative to this label).
    const char32_t sign = view_.treble ? U'\U0001D11E' : U'\U0001D122';
    QPainterPath path;
    path.addText(0, 0, ClefSymbolFont(), QString::fromUcs4(&sign, 1));
    const QRectF ink = path.boundingRect();
    if (ink.isEmpty()) {
        return;
    }
    const QRectF box(TwipsToPixelsF(view_.glyphBox.left - view_.label.left),
                     TwipsToPixelsF(view_.glyphBox.top - view_.label.top),
                     TwipsToPixelsF(view_.glyphBox.width), TwipsToPixelsF(view_.glyphBox.height));
    const double scale = box.height() / ink.height();
    p.translate(box.left(), box.top());
    p.scale(scale, scale);
    p.translate(-ink.left(), -ink.top());
    p.fillPath(path, Qt::black);
}

void MouseDownLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit MouseDown(ButtonCode(event->button()), ShiftCode(event->modifiers()),
                   static_cast<float>(views::PixelsToTwips(event->position().x())),
                   static_cast<float>(views::PixelsToTwips(event->position().y())));
}

}  // namespace quorvane::mainwin
