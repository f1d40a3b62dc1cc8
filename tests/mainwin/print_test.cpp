// The printed chord sheet: its place on A4 and Letter pages, and a real PDF printed through
// File > Print, read back with the poppler tools.
#include <gtest/gtest.h>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <memory>

#include "mainwin/ChordSheet.h"
#include "mainwin/Fonts.h"
#include "mainwin/Markers.h"
#include "mainwin/Painting.h"
#include "mainwin/StaffSurface.h"
#include "mainwin/frmChordMain.h"
#include "support/LogCapture.h"
#include "support/TestDesktop.h"
#include "theory/theory.h"

namespace quorvane::mainwin {
namespace {

QPageLayout PageOf(QPageSize::PageSizeId size, QPageLayout::Orientation orientation) {
    return QPageLayout(QPageSize(size), orientation,
                       QMarginsF(kPrintMarginMm, kPrintMarginMm, kPrintMarginMm, kPrintMarginMm),
                       QPageLayout::Millimeter);
}

TEST(PrintLayoutTest, SheetFitsInsideTheMarginsAndKeepsItsProportions) {
    struct Case {
        QPageSize::PageSizeId size;
        QPageLayout::Orientation orientation;
    };
    for (const Case c : {Case{QPageSize::A4, QPageLayout::Portrait},
                         Case{QPageSize::Letter, QPageLayout::Portrait},
                         Case{QPageSize::A4, QPageLayout::Landscape},
                         Case{QPageSize::Letter, QPageLayout::Landscape}}) {
        for (int dpi : {72, 300, 1200}) {
            SCOPED_TRACE(QPageSize(c.size).name().toStdString() + " " +
                         std::to_string(static_cast<int>(c.orientation)) + " " +
                         std::to_string(dpi) + " dpi");
            const QPageLayout page = PageOf(c.size, c.orientation);
            const SheetLayout layout = LayOutSheet(page, dpi);
            const QRectF printable = page.paintRectPixels(dpi);
            const QRectF onPaper = layout.rect.translated(printable.topLeft());
            const QRectF paper = page.fullRectPixels(dpi);
            // Inside the printable area, which keeps the margins free.
            EXPECT_GE(onPaper.left(), printable.left() - 1e-6);
            EXPECT_GE(onPaper.top(), printable.top() - 1e-6);
            EXPECT_LE(onPaper.right(), printable.right() + 1e-6);
            EXPECT_LE(onPaper.bottom(), printable.bottom() + 1e-6);
            const double margin = kPrintMarginMm / 25.4 * dpi;
            EXPECT_GE(onPaper.left(), margin - 1.0);
            EXPECT_LE(onPaper.right(), paper.width() - margin + 1.0);
            // One scale for both directions: the window's proportions.
            EXPECT_NEAR(layout.rect.width() / layout.rect.height(),
                        double(kSheetWidth) / kSheetHeight, 1e-9);
            EXPECT_NEAR(layout.rect.width(), kSheetWidth * layout.scale, 1e-9);
            // It fills the side that limits it, and stands centred across the page.
            EXPECT_TRUE(std::abs(layout.rect.width() - printable.width()) < 1e-6 ||
                        std::abs(layout.rect.height() - printable.height()) < 1e-6);
            EXPECT_NEAR(layout.rect.left(), printable.width() - layout.rect.right(), 1e-6);
        }
    }
}

TEST(PrintLayoutTest, LongNamesMoveLeftAndShrinkInsideTheSheet) {
    for (const QString& name :
         {QStringLiteral("CMajor Basic"),
          QStringLiteral("C#(Db)Minor + Major 13th Second Inversion"), QString(60, QChar('W'))}) {
        const look::NameLayout layout = look::LayOutName(name);
        EXPECT_GE(layout.left, 8);
        EXPECT_LE(layout.left + layout.width, (kSheetWidth - 120) / 15 + 1) << name.toStdString();
    }
    EXPECT_EQ(look::LayOutName(QStringLiteral("CMajor Basic")).left, 239);
}

QString Tool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

bool RunTool(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

class PrintedSheetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        window = std::make_unique<frmChordMain>(desktop);
        ASSERT_TRUE(window->Form_Load());
    }

    void Choose(QComboBox* box, const QString& text) {
        const int row = box->findText(text);
        ASSERT_GE(row, 0) << text.toStdString();
        box->setCurrentIndex(row);
        emit box->activated(row);
    }

    // File > Print with the dialog answered by a PDF file on `size` paper.
    QString PrintToPdf(QPageSize::PageSizeId size) {
        const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
        int dialogs = 0;
        desktop.choosePrinter = [&](QPrinter& printer) {
            ++dialogs;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            printer.setPageSize(QPageSize(size));
            return true;
        };
        window->mnuFilePrint()->trigger();
        EXPECT_EQ(dialogs, 1);
        return path;
    }

    QTemporaryDir dir;
    quorvane::testing::TestDesktop desktop;
    std::unique_ptr<frmChordMain> window;
};

TEST_F(PrintedSheetTest, CancelledDialogPrintsNothing) {
    int dialogs = 0;
    desktop.choosePrinter = [&](QPrinter& printer) {
        ++dialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("never.pdf")));
        return false;
    };
    window->mnuFilePrint()->trigger();
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("never.pdf"))));
}

TEST_F(PrintedSheetTest, APrintThatCannotStartSaysWhy) {
    const quorvane::testing::LogCapture log("quorvane.print");
    const QString path = dir.filePath(QStringLiteral("gone/sheet.pdf"));
    desktop.choosePrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return true;
    };
    window->mnuFilePrint()->trigger();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(log.Lines().contains(path)) << log.Lines().toStdString();
    EXPECT_TRUE(log.Lines().contains(QStringLiteral("No such file or directory")))
        << log.Lines().toStdString();
    EXPECT_TRUE(log.Lines().contains(QStringLiteral("CMajor Basic"))) << "names the document";
}

TEST_F(PrintedSheetTest, SheetHoldsWhatTheWindowShows) {
    Choose(window->cboRootNote(), QStringLiteral("C#(Db)"));
    Choose(window->cboChordTypes(), QStringLiteral("Minor 7th"));
    Choose(window->cboScales(), QStringLiteral("Dorian"));
    window->mnuOptionsIdentifierItem(2)->trigger();
    window->mnuInversionsPopupItem(1)->trigger();
    const ChordSheet sheet = window->CurrentSheet();
    EXPECT_EQ(sheet.chord.name, "C#(Db)Minor 7th First Inversion");
    EXPECT_EQ(sheet.scaleText, QStringLiteral("Dorian"));
    EXPECT_EQ(sheet.chord, window->staff()->Chord());
    EXPECT_EQ(sheet.scale, window->staff()->Scale());
    // Numbers mode: the raised root (key 13) reads "R", the minor third's key 4 (E) "3b".
    EXPECT_EQ(sheet.markerCaptions[13], QStringLiteral("R"));
    EXPECT_EQ(sheet.markerCaptions[4], QStringLiteral("3b"));
    EXPECT_TRUE(sheet.chord.markers[13].shown);
}

TEST_F(PrintedSheetTest, PdfHoldsTheNameAndEveryNoteHead) {
    const QString pdftotext = Tool("pdftotext");
    const QString pdftoppm = Tool("pdftoppm");
    ASSERT_FALSE(pdftotext.isEmpty()) << "poppler-utils is needed (scripts/setup.sh)";
    ASSERT_FALSE(pdftoppm.isEmpty()) << "poppler-utils is needed (scripts/setup.sh)";

    Choose(window->cboRootNote(), QStringLiteral("C#(Db)"));
    Choose(window->cboChordTypes(), QStringLiteral("Minor 7th"));
    Choose(window->cboScales(), QStringLiteral("Dorian"));
    window->mnuInversionsPopupItem(1)->trigger();

    for (const QPageSize::PageSizeId size : {QPageSize::A4, QPageSize::Letter}) {
        SCOPED_TRACE(QPageSize(size).name().toStdString());
        const QString pdf = PrintToPdf(size);
        ASSERT_TRUE(QFile::exists(pdf));

        // The name as text (a vector document, not a picture of the window).
        const QString txt = dir.filePath(QStringLiteral("sheet.txt"));
        ASSERT_TRUE(RunTool(pdftotext, {pdf, txt}));
        QFile text(txt);
        ASSERT_TRUE(text.open(QIODevice::ReadOnly));
        const QString content = QString::fromUtf8(text.readAll());
        EXPECT_TRUE(content.contains(QStringLiteral("C#(Db)Minor 7th First Inversion")))
            << content.toStdString();
        EXPECT_TRUE(content.contains(QStringLiteral("Dorian")));

        // Rendered at 200 dpi, the note heads are found where the layout puts the staff.
        constexpr int dpi = 200;
        const QString prefix = dir.filePath(QStringLiteral("page"));
        ASSERT_TRUE(
            RunTool(pdftoppm, {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                               QStringLiteral("-singlefile"), pdf, prefix}));
        const QImage page(prefix + QStringLiteral(".png"));
        ASSERT_FALSE(page.isNull());

        QPageLayout pageLayout(
            QPageSize(size), QPageLayout::Portrait,
            QMarginsF(kPrintMarginMm, kPrintMarginMm, kPrintMarginMm, kPrintMarginMm),
            QPageLayout::Millimeter);
        const SheetLayout layout = LayOutSheet(pageLayout, dpi);
        const QPointF origin = pageLayout.paintRectPixels(dpi).topLeft() + layout.rect.topLeft();
        const auto at = [&](double x, double y) {
            return origin + QPointF(x * layout.scale, y * layout.scale);
        };
        const auto darkShare = [&](double left, double top, double width, double height) {
            const QRect r = QRectF(at(left, top), at(left + width, top + height)).toRect();
            int dark = 0;
            int all = 0;
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x) {
                    ++all;
                    dark += qGray(page.pixel(x, y)) < 96 ? 1 : 0;
                }
            }
            return all == 0 ? 0.0 : double(dark) / all;
        };
        // A head at (left, top) fills the middle of its oval; staff lines, ledger lines, "#"
        // signs and neighbouring heads a third apart do not.
        const auto headAt = [&](int left, int top) {
            return darkShare(left + 82 - 60, top + 67 - 14, 120, 28) > 0.95;
        };
        std::vector<int> scaleTops;
        std::vector<int> chordTops;
        for (int top = 3900; top <= 5700; top += views::kStaffStep) {
            for (int n = 0; n < views::kScaleSlotCount; ++n) {
                if (headAt(views::ScaleSlotLeft(n), top)) {
                    scaleTops.push_back(top);
                }
            }
            if (headAt(views::kChordColumnLeft, top) || headAt(views::kDisplacedHeadLeft, top)) {
                chordTops.push_back(top);
            }
        }
        // Dorian on C#: eight heads; C#m7 in first inversion: four heads, its C# right of its B.
        EXPECT_EQ(scaleTops.size(), 8u);
        EXPECT_EQ(chordTops.size(), 4u);
        std::vector<int> expectedChord;
        for (const views::NoteSlotView& slot : window->staff()->Chord().noteSlots) {
            if (slot.headShown) {
                expectedChord.push_back(slot.headTop);
            }
        }
        std::sort(expectedChord.begin(), expectedChord.end());
        EXPECT_EQ(chordTops, expectedChord);

        // Colours: C# (key 1) is a scale note on a black key, D (key 2) a white key outside the
        // scale; the chord's marker on E (key 4) is light grey.
        const auto colourAt = [&](int x, int y) {
            const QPointF p = at(views::kKeyboardPanel.left + views::kKeyboardBorder + x,
                                 views::kKeyboardPanel.top + views::kKeyboardBorder + y);
            return QColor(page.pixel(p.toPoint()));
        };
        EXPECT_EQ(colourAt(390, 300), QColor(64, 100, 128));
        EXPECT_EQ(colourAt(585, 2000), QColor(Qt::white));
        const views::TwipsRect marker = views::MarkerRect(4);
        EXPECT_EQ(colourAt(marker.left + marker.width / 2, marker.top + marker.height / 2),
                  QColor(192, 192, 192));
    }
}

// Print paints a marker with the control's own painting: the pixels of the on-screen control
// and of the printed one at the screen's scale agree (edge bands and background).
TEST_F(PrintedSheetTest, PrintedMarkerLooksLikeTheControlOnScreen) {
    QWidget* marker = window->vtlPlayKey(0);  // shown for C Major
    ASSERT_NE(marker, nullptr);
    ASSERT_FALSE(marker->isHidden());
    const QImage screen = marker->grab().toImage();
    QImage printed(screen.size(), QImage::Format_ARGB32_Premultiplied);
    printed.fill(Qt::white);
    {
        QPainter p(&printed);
        PaintMarker(p, views::TwipsRect{0, 0, screen.width() * 15, screen.height() * 15},
                    MarkerBackColorOf(marker), views::kMarkerDesignEdge, QString(), MarkerFont(),
                    kScreenScale, marker->palette());
    }
    const int w = screen.width();
    const int h = screen.height();
    for (const QPoint pt : {QPoint(0, 0), QPoint(w / 2, 0), QPoint(w - 1, h / 2), QPoint(1, 1),
                            QPoint(w - 2, h - 2), QPoint(w / 2, h - 1), QPoint(3, 3)}) {
        EXPECT_EQ(printed.pixelColor(pt), screen.pixelColor(pt)) << pt.x() << "," << pt.y();
    }
}

}  // namespace
}  // namespace quorvane::mainwin
