// The chord sequence window editing its progression, and the cells and lines it shows.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "midi/MidiFile.h"
#include "progressions/frmChordSequence.h"

namespace quorvane::progressions {
namespace {

constexpr theory::SequenceChord kC{0, 0, 0};
constexpr theory::SequenceChord kAm{9, 1, 0};
constexpr theory::SequenceChord kF{5, 0, 0};
constexpr theory::SequenceChord kG7{7, 8, 0};

SequenceCells Known(const theory::Sequence& chords) {
    SequenceCells cells;
    for (const theory::SequenceChord& chord : chords) {
        cells.push_back({chord, true, {}, {}});
    }
    return cells;
}

TEST(SequenceWindow, AddInsertsAfterTheSelectionRemoveAndMoveEditTheRow) {
    SequenceModel model;
    frmChordSequence window(model, nullptr);
    model.AddChord(kC);
    model.AddChord(kF);
    model.Select(0);
    model.AddChord(kAm);  // after C, and selected
    EXPECT_EQ(model.Selected(), 1);
    model.Select(-1);
    model.AddChord(kG7);  // at the end
    EXPECT_EQ(model.Cells(), Known({kC, kAm, kF, kG7}));
    EXPECT_EQ(window.LeadSheet(), "| C | Am | F | G7 |");
    EXPECT_EQ(window.Title(), "C - Am - F - G7");
    EXPECT_EQ(window.Cell(1)->accessibleName(), "AMinor Basic");
    model.AddChord({3, 10, 2});
    window.SetSpelling(theory::Spelling::ByChord);
    EXPECT_EQ(window.Cell(4)->accessibleName(), "EbMinor 7th Second Inversion");
    EXPECT_EQ(window.LeadSheet(), "| C | Am | F | G7 | Ebm7/Bb |");
    model.RemoveSelected();

    model.MoveCell(3, 0);
    EXPECT_EQ(model.Cells(), Known({kG7, kC, kAm, kF}));
    model.MoveCell(0, 4);
    EXPECT_EQ(model.Cells(), Known({kC, kAm, kF, kG7}));
    EXPECT_EQ(model.Selected(), 3);
    model.RemoveSelected();
    EXPECT_EQ(model.Cells(), Known({kC, kAm, kF}));
    EXPECT_EQ(window.Cell(3), nullptr);
    window.cmdClear()->click();
    EXPECT_TRUE(model.Cells().empty());
    EXPECT_EQ(window.LeadSheet(), "");
}

TEST(SequenceWindow, CapturedChordsAreAppendedOnlyWhenAskedAndNeverRepeated) {
    SequenceModel model;
    frmChordSequence window(model, nullptr);
    model.AddPlayedChord(kC);
    EXPECT_TRUE(model.Cells().empty());
    window.chkCapture()->setChecked(true);
    for (const auto& chord : {kC, kC, kAm, kC}) {
        model.AddPlayedChord(chord);
    }
    EXPECT_EQ(model.Cells(), Known({kC, kAm, kC}));
}

// Smooth voicing shows the inversion each chord plays in; playing highlights without selecting.
TEST(SequenceWindow, CellsShowTheInversionTheChordPlaysIn) {
    SequenceModel model;
    frmChordSequence window(model, nullptr);
    model.AddChord(kC);
    model.AddChord(kF);
    window.cboVoicing()->setCurrentIndex(1);
    window.ShowPlaying(0);
    EXPECT_EQ(window.Cells()[1].fullName, "FMajor Second Inversion");
    EXPECT_TRUE(window.Cells()[0].playing);
    EXPECT_TRUE(window.Cells()[1].selected);
}

// The title names the file and marks unsaved changes; typed symbols go in after the selection,
// a word that is no symbol adds nothing and is named.
TEST(SequenceWindow, TheTitleShowsTheFileAndTypedChordsAreAdded) {
    SequenceModel model;
    frmChordSequence window(model, nullptr);
    model.Open(Known({kC, kG7}), QStringLiteral("/songs/song.cho"));
    EXPECT_EQ(window.windowTitle(), "Quorvane - [Sequence] - song.cho");
    model.Select(0);
    EXPECT_TRUE(window.AddSymbols(QStringLiteral("| Am7 | C7alt |")));
    EXPECT_EQ(window.windowTitle(), "Quorvane - [Sequence] - song.cho*");
    EXPECT_EQ(window.LeadSheet(), "| C | Am7 | C7alt | G7 |");
    EXPECT_EQ(window.Cell(2)->accessibleName(), "Unknown chord: C7alt");
    EXPECT_EQ(window.Cell(1)->accessibleDescription(), "vi7 in C major");
    EXPECT_FALSE(window.AddSymbols(QStringLiteral("C hello")));
    EXPECT_TRUE(window.lblChordsMessage()->text().contains("hello"));
    EXPECT_EQ(model.Size(), 4);
}

// A row too long for a file name is cut after the last whole chord that fits, and says so.
TEST(SequenceView, AProgressionsFileNameIsCutAtAChordBoundary) {
    std::vector<SequenceCellView> cells(
        64, SequenceCellView{"Ebm7/Bb", "", "", "", true, false, false});
    const std::string full = ProgressionTitle(cells);
    const QString name = QString::fromStdString(midi::ChordFileName(ProgressionFileTitle(cells)));
    EXPECT_LE(name.size(), 100);
    EXPECT_GT(name.size(), 100 - 10);
    ASSERT_TRUE(name.endsWith(QStringLiteral("….mid")));
    const std::string cut = ProgressionFileTitle(cells);
    const std::string kept = cut.substr(0, cut.size() - std::string("…").size());
    EXPECT_EQ(full.substr(0, kept.size() + 3), kept + " - ");
    cells.resize(4);
    EXPECT_EQ(ProgressionFileTitle(cells), ProgressionTitle(cells));
}

}  // namespace
}  // namespace quorvane::progressions
