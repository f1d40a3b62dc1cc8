#include <gtest/gtest.h>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPointer>
#include <QStringList>

#include <string>
#include <vector>

#include "progressions/ProgressionsChart.h"
#include "progressions/frmChordProgressions.h"
#include "views/Twips.h"

namespace quorvane::progressions {
namespace {

Captions Row(std::vector<std::string> texts) {
    Captions c;
    for (std::size_t i = 0; i < c.size(); ++i) {
        c[i] = texts.at(i);
    }
    return c;
}

struct CaptionCase {
    int root;
    Captions expected;
};

TEST(ProgCaptions, MatchTheChartForEachListedRoot) {
    const std::vector<CaptionCase> cases{
        {0, Row({"C", "F", "A#(Bb)", "D#(Eb)", "G#(Ab)", "G", "D", "A", "E", "Dm", "Am", "Em", "Dm",
                 "Am", "E"})},
        {9, Row({"A", "D", "G", "C", "F", "E", "B", "F#(Gb)", "C#(Db)", "Bm", "F#(Gb)m", "C#(Db)m",
                 "Bm", "F#(Gb)m", "C#(Db)"})},
        {11, Row({"B", "E", "A", "D", "G", "F#(Gb)", "C#(Db)", "G#(Ab)", "D#(Eb)", "C#(Db)m",
                  "G#(Ab)m", "D#(Eb)m", "C#(Db)m", "G#(Ab)m", "D#(Eb)"})},
    };
    for (const CaptionCase& c : cases) {
        EXPECT_EQ(ProgCaptions(c.root), c.expected) << "root " << c.root;
    }
}

TEST(ProgCaptions, SharpRootAndBoxesThatDifferOnlyInTheirSuffix) {
    const Captions c = ProgCaptions(1);
    EXPECT_EQ(c[0], "C#(Db)");
    EXPECT_EQ(c[1], "F#(Gb)");
    EXPECT_EQ(c[2], "B");
    EXPECT_EQ(c[9], "D#(Eb)m");
    EXPECT_EQ(c[14], "F");
    // For every root: boxes 11 and 14 share their note, only 11 is minor; 9 and 12, 10 and 13
    // are the same chord; offsets wrap within the octave.
    for (int root = 0; root < 12; ++root) {
        const Captions r = ProgCaptions(root);
        EXPECT_EQ(r[11], r[14] + "m");
        EXPECT_EQ(r[9], r[12]);
        EXPECT_EQ(r[10], r[13]);
        EXPECT_EQ(r[0], ProgCaptions((root + 12) % 12)[0]);
    }
}

TEST(ProgCaptions, CreatedCaptionsAreTheChartForCWrittenWithFlats) {
    EXPECT_EQ(CreatedCaptions(), Row({"C", "F", "Bb", "Eb", "Ab", "G", "D", "A", "E", "Dm", "Am",
                                      "Em", "Dm", "Am", "E"}));
}

TEST(PlaceWindow, BesideTheMainWindowOnlyFromTwelveThousandTwoHundredEightyEightTwips) {
    EXPECT_EQ(PlaceWindow(12288, 8700).left, 8700);
    EXPECT_EQ(PlaceWindow(12288, 8700).top, 0);
    EXPECT_EQ(PlaceWindow(12287, 8700).left, 100);
    EXPECT_EQ(PlaceWindow(12287, 8700).top, 0);
}

class ProgressionsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { window = new frmChordProgressions(); }
    void TearDown() override { delete window.data(); }
    bool HaveBoxes() const { return window->ProgRoot(0) != nullptr; }
    QPointer<frmChordProgressions> window;
};

TEST_F(ProgressionsWindowTest, WindowFrame) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quorvane - [Progressions]"));
    EXPECT_EQ(window->size(), QSize(365, 279));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->parentWidget(), nullptr);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->isHidden());
}

TEST_F(ProgressionsWindowTest, BoxesCarryTheirCreatedCaptionsThenFollowShowProg) {
    const Captions created = CreatedCaptions();
    for (int n = 0; n < kBoxCount; ++n) {
        EXPECT_EQ(window->Caption(n).toStdString(), created[static_cast<std::size_t>(n)]);
    }
    window->ShowProg(9);
    EXPECT_TRUE(window->isHidden()) << "ShowProg never shows the window";
    const Captions a = ProgCaptions(9);
    for (int n = 0; n < kBoxCount; ++n) {
        EXPECT_EQ(window->Caption(n).toStdString(), a[static_cast<std::size_t>(n)]) << n;
    }
}

TEST_F(ProgressionsWindowTest, BoxesAreNamedByTheChordTheyShow) {
    if (!HaveBoxes()) {
        GTEST_SKIP() << "the control library is not available";
    }
    for (int n = 0; n < kBoxCount; ++n) {
        EXPECT_EQ(window->ProgRoot(n)->accessibleName(), window->Caption(n)) << n;
    }
    window->ShowProg(4);
    for (int n = 0; n < kBoxCount; ++n) {
        EXPECT_EQ(window->ProgRoot(n)->accessibleName().toStdString(),
                  ProgCaptions(4)[static_cast<std::size_t>(n)])
            << n;
    }
}

TEST_F(ProgressionsWindowTest, BoxesStandWhereTheLayoutPutsThem) {
    if (!HaveBoxes()) {
        GTEST_SKIP() << "control library not available";
    }
    for (int n = 0; n < kBoxCount; ++n) {
        const BoxLayout& b = kBoxes[static_cast<std::size_t>(n)];
        const views::PixelRect r = views::TwipsToPixels(b.left, b.top, b.width, b.height);
        QWidget* box = window->ProgRoot(n);
        EXPECT_EQ(box->geometry(), QRect(r.x, r.y, r.width, r.height)) << n;
        EXPECT_EQ(box->property("BackColor").toUInt(), b.backColor) << n;
        EXPECT_EQ(box->property("Edge").toInt(), kEdgeBump) << n;
        EXPECT_TRUE(box->property("Font").value<QFont>().bold()) << n;
        EXPECT_FALSE(box->isHidden()) << n;
    }
    // Box 0 has the larger caption font.
    const auto height = [&](int n) {
        return QFontMetrics(window->ProgRoot(n)->property("Font").value<QFont>()).height();
    };
    EXPECT_GT(height(0), height(1));
}

TEST_F(ProgressionsWindowTest, LinesAreDarkGreyAndBehindTheBoxes) {
    const QImage image = window->grab().toImage();
    const QColor grey(0x40, 0x40, 0x40);
    // The bar under the middle row (Line18, y 2640 twips = 176 px) and the left chain (Line12).
    EXPECT_EQ(image.pixelColor(150, 176), grey);
    EXPECT_EQ(image.pixelColor(41, 170), grey);
    // Line9 runs from inside box 0 (x 2040..3435 twips) to the right: outside box 0 it shows.
    EXPECT_EQ(image.pixelColor(300, 29), grey);
    if (HaveBoxes()) {
        // Inside box 0 the box covers the line.
        EXPECT_NE(image.pixelColor(226, 29), grey);
    }
}

TEST_F(ProgressionsWindowTest, PlacementAtCreation) {
    window->Form_Load(12288, 8700);
    EXPECT_EQ(window->pos(), QPoint(580, 0));
    window->Form_Load(12287, 8700);
    EXPECT_EQ(window->pos(), QPoint(7, 0));
}

TEST_F(ProgressionsWindowTest, TheUsersCloseReportsAndDestroysTheWindow) {
    int unloaded = 0;
    QObject::connect(window.data(), &frmChordProgressions::unloaded, [&] { ++unloaded; });
    window->show();
    window->close();
    EXPECT_EQ(unloaded, 1);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace quorvane::progressions
