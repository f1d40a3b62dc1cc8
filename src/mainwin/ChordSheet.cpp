#include "mainwin/ChordSheet.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "look/MainLayout.h"
#include "mainwin/Fonts.h"
#include "mainwin/Painting.h"
#include "mainwin/SpellingChoice.h"
#include "views/Twips.h"

namespace quorvane::mainwin {

namespace {

void Frame(QPainter& p, const QRectF& r, const QColor& color, double w) {
    p.fillRect(QRectF(r.left(), r.top(), r.width(), w), color);
    p.fillRect(QRectF(r.left(), r.bottom() - w, r.width(), w), color);
    p.fillRect(QRectF(r.left(), r.top(), w, r.height()), color);
    p.fillRect(QRectF(r.right() - w, r.top(), w, r.height()), color);
}

}  // namespace

SheetLayout LayOutSheet(const QPageLayout& page, int dotsPerInch) {
    const QRectF printable = page.paintRectPixels(dotsPerInch);
    const double scale =
        std::min(printable.width() / kSheetWidth, printable.height() / kSheetHeight);
    const double width = kSheetWidth * scale;
    // Centred across the page, at the top of the printable area.
    return {QRectF((printable.width() - width) / 2.0, 0.0, width, kSheetHeight * scale), scale};
}

void PaintChordSheet(QPainter& p, const ChordSheet& sheet, double scale) {
    p.save();
    const double line = views::kTwipsPerPixel * scale;

    // The chord's name, as the name label shows it.
    const QString caption = QString::fromStdString(sheet.chord.name);
    const look::NameLayout name = look::LayOutName(caption);
    p.setPen(Qt::black);
    p.setFont(ScaledFont(name.font, scale));
    p.drawText(QRectF(name.left * views::kTwipsPerPixel * scale, look::kNameLabel.top * scale,
                      name.width * views::kTwipsPerPixel * scale, look::kNameLabel.height * scale),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, caption);
    if (!sheet.chord.symbol.empty()) {
        const QString symbol = SymbolOnScreen(sheet.chord.symbol);
        const SymbolLayout layout = LayOutSymbol(
            symbol,
            QRect(name.left, views::TwipsToPixels(look::kNameLabel.top), name.width, name.height),
            views::TwipsToPixels(kSheetWidth));
        const QRect& at = layout.rect;
        p.setFont(ScaledFont(layout.font, scale));
        const double px = views::kTwipsPerPixel * scale;
        p.drawText(QRectF(at.left() * px, at.top() * px, at.width() * px, at.height() * px),
                   layout.align | Qt::TextDontClip, symbol);
    }

    // The keyboard panel: its sunken frame, the keys, and the markers the chord shows.
    const QRectF panel = ScaledRect(views::kKeyboardPanel, scale);
    Frame(p, panel, QColor(128, 128, 128), line);
    Frame(p, panel.adjusted(line, line, -line, -line), Qt::black, line);
    p.save();
    const double border = views::kKeyboardBorder * scale;
    p.translate(panel.topLeft() + QPointF(border, border));
    p.setClipRect(ScaledRect(views::kKeyboardOutline, scale));
    PaintKeyboard(p, sheet.scale.keyColors, scale);
    for (int k = 0; k < views::kKeyCount; ++k) {
        const views::MarkerView& marker = sheet.chord.markers[static_cast<std::size_t>(k)];
        if (marker.shown) {
            PaintMarker(p, views::MarkerRect(k), marker.backColor, views::kMarkerDesignEdge,
                        sheet.markerCaptions[static_cast<std::size_t>(k)], MarkerFont(), scale);
        }
    }
    p.restore();

    // The labels and what the three selectors show.
    const QFont text = ScaledFont(WindowFont(), scale);
    p.setFont(text);
    p.setPen(Qt::black);
    for (std::size_t i = 0; i < look::kMainLabels.size(); ++i) {
        const look::Caption& label = look::kMainLabels[i];
        const views::TwipsRect& rect =
            i == look::kChordLabelIndex ? sheet.chord.chordLabel : label.rect;
        p.drawText(
            ScaledRect(rect, scale), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
            QString::fromLatin1(label.text.data(), static_cast<qsizetype>(label.text.size())));
    }
    const std::array<const QString*, 3> values{&sheet.rootText, &sheet.chordTypeText,
                                               &sheet.scaleText};
    for (std::size_t i = 0; i < look::kMainSelectors.size(); ++i) {
        const QRectF box = ScaledRect(look::kMainSelectors[i], scale);
        Frame(p, box, QColor(128, 128, 128), line);
        p.drawText(box.adjusted(4 * line, 0, -2 * line, 0),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, *values[i]);
    }

    // The staff with the clef, the scale and the chord.
    PaintStaff(p, sheet.chord, sheet.scale, Qt::black, scale);
    PaintClef(p, sheet.clef, scale);
    p.restore();
}

namespace {

// Why `printer` could not start or finish a document, as far as it can be told.
QString PrintFailure(const QPrinter& printer, const char* step) {
    const QString file = printer.outputFileName();
    if (!file.isEmpty()) {
        // The printer says nothing of its own: the file it writes tells why.
        QFile probe(file);
        const bool existed = probe.exists();
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Append)) {
            return QStringLiteral("cannot write %1: %2").arg(file, probe.errorString());
        }
        probe.close();
        if (!existed) {
            probe.remove();
        }
        return QStringLiteral("the document %1 could not be %2").arg(file, QLatin1String(step));
    }
    const QString state = printer.printerState() == QPrinter::Aborted ? QStringLiteral("aborted")
                          : printer.printerState() == QPrinter::Error ? QStringLiteral("in error")
                                                                      : QStringLiteral("not ready");
    return QStringLiteral("the printer \"%1\" could not be %2 (%3)")
        .arg(printer.printerName(), QLatin1String(step), state);
}

}  // namespace

QString PrintChordSheet(QPrinter& printer, const ChordSheet& sheet) {
    QPainter p;
    if (!p.begin(&printer)) {
        return PrintFailure(printer, "started");
    }
    const SheetLayout layout = LayOutSheet(printer.pageLayout(), printer.resolution());
    p.translate(layout.rect.topLeft());
    PaintChordSheet(p, sheet, layout.scale);
    return p.end() ? QString() : PrintFailure(printer, "finished");
}

}  // namespace quorvane::mainwin
