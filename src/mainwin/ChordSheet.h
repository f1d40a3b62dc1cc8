#pragma once
// The printed chord sheet: what the main window shows of the current chord and scale (the name,
// the keyboard with its colours and markers, the selectors' texts, the staff with clef, scale and
// chord), drawn as vectors by the same painting code as the window, laid out on the page.

#include <QFont>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <array>

#include "look/MainLayout.h"
#include "views/ChordView.h"
#include "views/Keyboard.h"
#include "views/ScaleView.h"
#include "views/Staff.h"

class QPainter;
class QPrinter;

namespace quorvane::mainwin {

// The part of the window's client area the sheet shows (twips): everything down to the staff's
// lowest ledger lines, above the clef buttons.
inline constexpr int kSheetWidth = look::kMainClientWidth;
inline constexpr int kSheetHeight = 5580;

// The views the window applied, and what its selectors and markers read.
struct ChordSheet {
    QString rootText;  // the three selectors' texts
    QString chordTypeText;
    QString scaleText;
    views::ChordView chord;
    views::ScaleView scale;
    views::ClefView clef;
    std::array<QString, views::kKeyCount> markerCaptions;  // what each marker reads
};

// The sheet on a page: its rectangle in device units relative to the page's printable area and
// the device units per twip. The sheet fills the printable width unless the height limits it.
struct SheetLayout {
    QRectF rect;
    double scale = 0.0;
};
SheetLayout LayOutSheet(const QPageLayout& page, int dotsPerInch);

// Margins of the printed page.
inline constexpr double kPrintMarginMm = 15.0;

// Paints the sheet with its top-left corner at the painter's origin, `scale` units per twip.
void PaintChordSheet(QPainter& p, const ChordSheet& sheet, double scale);

// Prints the sheet on one page of `printer`. Empty when it printed, otherwise why not (the
// printer could not be started or could not finish the document).
QString PrintChordSheet(QPrinter& printer, const ChordSheet& sheet);

}  // namespace quorvane::mainwin
