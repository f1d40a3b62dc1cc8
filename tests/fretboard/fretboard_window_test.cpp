// The fretboard window: the boxes it shows, the Frets box, the neck under Pick Notes, Copy,
// Save Image and a custom tuning, with the user's answers given by the test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "fretboard/FretboardWidgets.h"
#include "fretboard/frmFretboard.h"

namespace quorvane::fretboard {
namespace {

class Answers final : public FretboardAsks {
  public:
    std::optional<QString> AskTuning(QWidget*, const QString&) override { return tuning; }
    QString ChooseImageFile(QWidget*, const QString&) override { return imagePath; }
    void Warn(QWidget*, const QString&, const QString& text) override { warnings << text; }
    std::optional<QString> tuning;
    QString imagePath;
    QStringList warnings;
};

class FretboardWindow : public ::testing::Test {
  protected:
    Answers answers;
    frmFretboard window{nullptr, &answers};
};

TEST_F(FretboardWindow, ShowsTheShapesOfTheChordBestFirst) {
    window.ShowSelection({});
    ASSERT_NE(window.picShape(0), nullptr);
    const QString count = QString::number(window.Shapes().size());
    EXPECT_EQ(window.picShape(0)->accessibleName(), "Shape 1 of " + count + ": x32010");
    EXPECT_EQ(window.picShape(0)->accessibleDescription(), "C3, E3, G3, C4, E4");
    // A shape that leaves a note out says so under its box and in its name.
    for (int i = 0; window.picShape(i) != nullptr; ++i) {
        const auto& leftOut = window.picShape(i)->View().leftOut;
        EXPECT_EQ(window.picShape(i)->accessibleName().endsWith(
                      " (" + QString::fromStdString(leftOut ? leftOut->text : "") + ")"),
                  leftOut.has_value());
    }
    QApplication::clipboard()->clear();
    window.cmdCopy()->click();
    EXPECT_EQ(QApplication::clipboard()->text(),
              "{define: C base-fret 1 frets x 3 2 0 1 0 fingers 0 3 2 0 1 0}");
    QTest::keyClick(window.picShape(0), Qt::Key_Right);
    EXPECT_EQ(window.SelectedShape(), 1);
    EXPECT_EQ(window.picShape(1)->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(window.picShape(0)->focusPolicy(), Qt::ClickFocus);
}

TEST_F(FretboardWindow, FretsBoxFretsTheNeckOrSaysWhatIsWrong) {
    QSignalSpy neck(&window, &frmFretboard::neckNotesChanged);
    for (const char* bad : {"x3201", "x32010x", "x3201(25)", "x3201q"}) {
        window.txtFrets()->setText(bad);
        QTest::keyClick(window.txtFrets(), Qt::Key_Return);
        EXPECT_FALSE(window.lblFretsError()->text().isEmpty()) << bad;
    }
    EXPECT_EQ(neck.count(), 0);
    window.txtFrets()->setText("x-3-2-0-1-0");
    QTest::keyClick(window.txtFrets(), Qt::Key_Return);
    EXPECT_TRUE(window.lblFretsError()->text().isEmpty());
    ASSERT_EQ(neck.count(), 1);
    EXPECT_EQ(neck.takeFirst().at(0).value<std::vector<int>>(),
              (std::vector<int>{48, 52, 55, 60, 64}));
    QTest::keyClick(&window, Qt::Key_Escape);
    ASSERT_EQ(neck.count(), 1);
    EXPECT_TRUE(neck.takeFirst().at(0).value<std::vector<int>>().empty());
}

TEST_F(FretboardWindow, NeckFretsOnlyWithPickNotes) {
    window.show();
    QSignalSpy neck(&window, &frmFretboard::neckNotesChanged);
    const NeckView& view = window.picNeck()->View();
    const QPoint third((view.fretX[2] + view.fretX[3]) / 2 / 15, view.stringY[1] / 15);
    QTest::mouseClick(window.picNeck(), Qt::LeftButton, {}, third);
    EXPECT_EQ(neck.count(), 0);
    window.SetPickNotes(true);
    QTest::mouseClick(window.picNeck(), Qt::LeftButton, {}, third);
    ASSERT_EQ(neck.count(), 1);
    EXPECT_EQ(neck.takeFirst().at(0).value<std::vector<int>>(), std::vector<int>{48});
}

TEST_F(FretboardWindow, SaveImageWritesAnSvgOrSaysWhyNot) {
    window.ShowSelection({});
    QTemporaryDir folder;
    answers.imagePath = folder.filePath("C.svg");
    window.cmdSaveImage()->click();
    QFile image(answers.imagePath);
    ASSERT_TRUE(image.open(QIODevice::ReadOnly));
    const QByteArray svg = image.readAll();
    EXPECT_TRUE(svg.startsWith("<?xml"));
    EXPECT_TRUE(svg.contains("<svg") && svg.trimmed().endsWith("</svg>"));
    EXPECT_TRUE(answers.warnings.isEmpty());
    answers.imagePath = folder.filePath("missing/C.svg");
    window.cmdSaveImage()->click();
    ASSERT_EQ(answers.warnings.size(), 1);
    EXPECT_TRUE(answers.warnings.front().contains(answers.imagePath));
}

TEST_F(FretboardWindow, BadCustomTuningKeepsTheInstrument) {
    const int custom = window.cboInstrument()->count() - 1;
    answers.tuning = "C2 G2 H3 A3";
    window.cboInstrument()->setCurrentIndex(custom);
    window.cboInstrument_Click(custom);
    ASSERT_EQ(answers.warnings.size(), 1);
    EXPECT_TRUE(answers.warnings.front().contains("H3"));
    EXPECT_EQ(window.cboInstrument()->currentIndex(), 0);
    EXPECT_EQ(window.CurrentInstrument().strings.size(), 6U);
    answers.tuning = "C2 G2 D3 A3 E4";
    window.cboInstrument()->setCurrentIndex(custom);
    window.cboInstrument_Click(custom);
    EXPECT_EQ(window.CurrentInstrument().strings, (std::vector<int>{36, 43, 50, 57, 64}));
}

}  // namespace
}  // namespace quorvane::fretboard
