#include "mainwin/ChordSheet.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "mainwin/Fonts.h"
#include "mainwin/Painting.h"
#include "views/Twips.h"

namespace quorvane::mainwin {

namespace {

constexpr int kNameLeft = 3585;
constexpr int kNameTop = 180;
constexpr int kNameMargin = 120;  // the name never runs closer than this to the window's edge

struct Caption {
    const char* text;
    views::TwipsRect rect;
};
// Label1..Label5 and the selectors beneath the first three.
constexpr std::array<Caption, 5> kLabels{{{"Root Note:", {120, 3480, 945, 195}},
                                          {"Chord Type:", {1440, 3480, 1050, 195}},
                                          {"Scale:", {3960, 3480, 555, 195}},
                                          {"Scale:", {600, 4440, 555, 195}},
                                          {"Chord:", {5160, 4440, 570, 195}}}};
constexpr std::array<views::TwipsRect, 3> kSelectors{
    {{120, 3720, 1215, 315}, {1440, 3720, 2415, 315}, {3960, 3720, 2775, 315}}};

int TextWidth(const QFontMetrics& metrics, const QString& text) {
    return metrics.horizontalAdvance(text) + 1;
}

void Frame(QPainter& p, const QRectF& r, const QColor& color, double w) {
    p.fillRect(QRectF(r.left(), r.top(), r.width(), w), color);
    p.fillRect(QRectF(r.left(), r.bottom() - w, r.width(), w), color);
    p.fillRect(QRectF(r.left(), r.top(), w, r.height()), color);
    p.fillRect(QRectF(r.right() - w, r.top(), w, r.height()), color);
}

}  // namespace

NameLayout LayOutName(const QString& caption) {
    // The label grows to the right from its layout position. A long name (a long root text, a
    // long chord type and an inversion) would run past the window's edge, so it moves left as
    // far as needed and, should it still not fit, its font shrinks until it does.
    const int available = views::TwipsToPixels(kSheetWidth - 2 * kNameMargin);
    NameLayout layout{NameFont(), 0, 0, 0};
    QFontMetrics metrics(layout.font);
    layout.width = TextWidth(metrics, caption);
    while (layout.width > available && layout.font.pixelSize() > 8) {
        layout.font.setPixelSize(layout.font.pixelSize() - 1);
        metrics = QFontMetrics(layout.font);
        layout.width = TextWidth(metrics, caption);
    }
    layout.height = metrics.height();
    const int left = views::TwipsToPixels(kNameLeft);
    const int right = views::TwipsToPixels(kSheetWidth - kNameMargin);
    layout.left = std::max(views::TwipsToPixels(kNameMargin), std::min(left, right - layout.width));
    return layout;
}

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
    const NameLayout name = LayOutName(sheet.name);
    p.setPen(Qt::black);
    p.setFont(ScaledFont(name.font, scale));
    p.drawText(QRectF(name.left * views::kTwipsPerPixel * scale, kNameTop * scale,
                      name.width * views::kTwipsPerPixel * scale, 435 * scale),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, sheet.name);

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
    for (const Caption& label : kLabels) {
        p.drawText(ScaledRect(label.rect, scale), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                   QString::fromLatin1(label.text));
    }
    const std::array<const QString*, 3> values{&sheet.rootText, &sheet.chordTypeText,
                                               &sheet.scaleText};
    for (std::size_t i = 0; i < kSelectors.size(); ++i) {
        const QRectF box = ScaledRect(kSelectors[i], scale);
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
