#include "fretboard/FretboardPainting.h"

#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <algorithm>

#include "views/ScaleView.h"
#include "views/Twips.h"

namespace quorvane::fretboard {

namespace {

using views::TwipsToPixelsF;

QColor FromOle(views::OleColor color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

QPointF Px(const TwipsPoint& p) {
    return {TwipsToPixelsF(p.x), TwipsToPixelsF(p.y)};
}

QRectF Around(const TwipsPoint& centre, int diameter) {
    const double d = TwipsToPixelsF(diameter);
    const QPointF c = Px(centre);
    return {c.x() - d / 2, c.y() - d / 2, d, d};
}

void DrawCentredText(QPainter& painter, const TwipsPoint& at, int boxTwips, const QString& text) {
    painter.drawText(Around(at, boxTwips), Qt::AlignCenter, text);
}

QColor LabelColor(DotKind kind, bool selected) {
    return kind == DotKind::Scale || (kind == DotKind::Chord && !selected) ? Qt::black : Qt::white;
}

void DrawDot(QPainter& painter, const Dot& dot, int diameter, bool strongOutline) {
    painter.setPen(strongOutline ? QPen(Qt::black, 1.5) : QPen(QColor(0, 0, 0, 90), 1));
    painter.setBrush(DotColor(dot.kind, dot.selected));
    painter.drawEllipse(Around(dot.at, diameter));
    if (!dot.label.empty()) {
        painter.setPen(LabelColor(dot.kind, dot.selected));
        DrawCentredText(painter, dot.at, diameter, QString::fromStdString(dot.label));
    }
}

QFont SmallFont(double pixels, bool bold) {
    QFont font;
    font.setPixelSize(static_cast<int>(pixels));
    font.setBold(bold);
    return font;
}

}  // namespace

QColor DotColor(DotKind kind, bool selected) {
    switch (kind) {
        case DotKind::Root:
            return selected ? QColor(190, 0, 0) : QColor(235, 90, 90);
        case DotKind::Scale: {
            QColor faint = FromOle(views::kScaleWhiteKeyColor);
            faint.setAlpha(120);
            return faint;
        }
        case DotKind::Chord:
            break;
    }
    return selected ? QColor(30, 30, 30) : FromOle(views::kMarkerDesignColor);
}

void PaintChordBox(QPainter& painter, const ChordBoxView& box) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(SmallFont(11, true));
    const double left =
        TwipsToPixelsF(box.stringX.empty() ? 0 : std::min(box.stringX.front(), box.stringX.back()));
    const double right =
        TwipsToPixelsF(box.stringX.empty() ? 0 : std::max(box.stringX.front(), box.stringX.back()));
    painter.setPen(QPen(Qt::black, 1));
    for (int x : box.stringX) {
        painter.drawLine(QPointF(TwipsToPixelsF(x), TwipsToPixelsF(box.gridTop)),
                         QPointF(TwipsToPixelsF(x), TwipsToPixelsF(box.gridBottom)));
    }
    for (std::size_t i = 0; i < box.fretY.size(); ++i) {
        const double y = TwipsToPixelsF(box.fretY[i]);
        painter.setPen(QPen(Qt::black, i == 0 && box.nut ? 4 : 1, Qt::SolidLine, Qt::SquareCap));
        painter.drawLine(QPointF(left, i == 0 && box.nut ? y - 1.5 : y),
                         QPointF(right, i == 0 && box.nut ? y - 1.5 : y));
    }
    painter.setPen(Qt::black);
    if (box.baseFret) {
        DrawCentredText(painter, box.baseFret->at, 360, QString::fromStdString(box.baseFret->text));
    }
    if (box.leftOut) {
        painter.setFont(SmallFont(11, false));
        painter.drawText(
            QRectF(0, TwipsToPixelsF(box.leftOut->at.y) - 10, TwipsToPixelsF(box.width), 20),
            Qt::AlignCenter, QString::fromStdString(box.leftOut->text));
        painter.setFont(SmallFont(11, true));
    }
    for (const BoxText& mark : box.marks) {
        DrawCentredText(painter, mark.at, 240, QString::fromStdString(mark.text));
    }
    if (box.barre) {
        const double d = TwipsToPixelsF(kBoxDotDiameter);
        const double y = TwipsToPixelsF(box.barre->y);
        const QRectF bar(TwipsToPixelsF(box.barre->x1) - d / 2, y - d / 2,
                         TwipsToPixelsF(box.barre->x2 - box.barre->x1) + d, d);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 30, 30));
        painter.drawRoundedRect(bar, d / 2, d / 2);
        painter.setPen(Qt::white);
        painter.drawText(bar, Qt::AlignCenter, QString::fromStdString(box.barre->label));
    }
    for (const Dot& dot : box.dots) {
        Dot shown = dot;
        shown.selected = true;  // a box's dots are all of its shape: drawn solid
        DrawDot(painter, shown, kBoxDotDiameter, false);
    }
    painter.restore();
}

void PaintNeck(QPainter& painter, const NeckView& neck) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double top = TwipsToPixelsF(neck.stringY.empty() ? 0 : neck.stringY.back());
    const double bottom = TwipsToPixelsF(neck.stringY.empty() ? 0 : neck.stringY.front());
    const double nutX = TwipsToPixelsF(neck.fretX.front());
    const double endX = TwipsToPixelsF(neck.fretX.back());
    painter.fillRect(
        QRectF(QPointF(std::min(nutX, endX), top - 8), QPointF(std::max(nutX, endX), bottom + 8)),
        QColor(238, 222, 196));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 185, 160));
    for (const TwipsPoint& inlay : neck.inlays) {
        painter.drawEllipse(Around(inlay, 150));
    }
    for (std::size_t f = 0; f < neck.fretX.size(); ++f) {
        const double x = TwipsToPixelsF(neck.fretX[f]);
        painter.setPen(QPen(f == 0 ? Qt::black : QColor(120, 120, 120), f == 0 ? 5 : 2));
        painter.drawLine(QPointF(x, top - 8), QPointF(x, bottom + 8));
    }
    // The strings run on past the nut over the open places.
    const double open = TwipsToPixelsF(kNeckOpenWidth) * (endX > nutX ? -1 : 1);
    for (std::size_t s = 0; s < neck.stringY.size(); ++s) {
        const double y = TwipsToPixelsF(neck.stringY[s]);
        const double gauge = static_cast<double>(neck.stringY.size() - 1 - s) * 0.15;
        painter.setPen(QPen(QColor(70, 70, 70), 1.0 + gauge));
        painter.drawLine(QPointF(nutX + open, y), QPointF(endX, y));
    }
    if (neck.capoX) {
        const double x = TwipsToPixelsF(*neck.capoX);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(60, 60, 60, 200));
        painter.drawRoundedRect(QRectF(x - 4, top - 12, 8, bottom - top + 24), 3, 3);
    }
    painter.setPen(QColor(90, 90, 90));
    painter.setFont(SmallFont(10, false));
    for (const BoxText& number : neck.fretNumbers) {
        DrawCentredText(painter, number.at, 360, QString::fromStdString(number.text));
    }
    painter.setFont(SmallFont(10, true));
    for (const Dot& dot : neck.dots) {
        DrawDot(painter, dot, dot.selected ? kNeckDotDiameter + 30 : kNeckDotDiameter,
                dot.selected);
    }
    for (const Dot& dot : neck.held) {
        painter.setPen(QPen(FromOle(views::kHeldWhiteKeyColor), 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(Around(dot.at, kNeckDotDiameter + 90));
    }
    painter.restore();
}

}  // namespace quorvane::fretboard
