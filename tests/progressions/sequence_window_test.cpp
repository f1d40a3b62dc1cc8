// The chord sequence window editing its progression, and the cells and lines it shows.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "progressions/frmChordSequence.h"

namespace quorvane::progressions {
namespace {

constexpr theory::SequenceChord kC{0, 0, 0};
constexpr theory::SequenceChord kAm{9, 1, 0};
constexpr theory::SequenceChord kF{5, 0, 0};
constexpr theory::SequenceChord kG7{7, 8, 0};

TEST(SequenceWindow, AddInsertsAfterTheSelectionRemoveAndMoveEditTheRow) {
    frmChordSequence window(nullptr);
    window.AddChord(kC);
    window.AddChord(kF);
    window.Select(0);
    window.AddChord(kAm);  // after C, and selected
    EXPECT_EQ(window.Selected(), 1);
    window.Select(-1);
    window.AddChord(kG7);  // at the end
    EXPECT_EQ(window.Chords(), (theory::Sequence{kC, kAm, kF, kG7}));
    EXPECT_EQ(window.LeadSheet(), "| C | Am | F | G7 |");
    EXPECT_EQ(window.Title(), "C - Am - F - G7");
    EXPECT_EQ(window.Cell(1)->accessibleName(), "AMinor Basic");
    window.AddChord({3, 10, 2});
    window.SetSpelling(theory::Spelling::ByChord);
    EXPECT_EQ(window.Cell(4)->accessibleName(), "EbMinor 7th Second Inversion");
    EXPECT_EQ(window.LeadSheet(), "| C | Am | F | G7 | Ebm7/Bb |");
    window.RemoveSelected();

    window.MoveCell(3, 0);
    EXPECT_EQ(window.Chords(), (theory::Sequence{kG7, kC, kAm, kF}));
    window.MoveCell(0, 4);
    EXPECT_EQ(window.Chords(), (theory::Sequence{kC, kAm, kF, kG7}));
    EXPECT_EQ(window.Selected(), 3);
    window.RemoveSelected();
    EXPECT_EQ(window.Chords(), (theory::Sequence{kC, kAm, kF}));
    EXPECT_EQ(window.Cell(3), nullptr);
    window.cmdClear()->click();
    EXPECT_TRUE(window.Chords().empty());
    EXPECT_EQ(window.LeadSheet(), "");
}

TEST(SequenceWindow, CapturedChordsAreAppendedOnlyWhenAskedAndNeverRepeated) {
    frmChordSequence window(nullptr);
    window.AddPlayedChord(kC);
    EXPECT_TRUE(window.Chords().empty());
    window.chkCapture()->setChecked(true);
    for (const auto& chord : {kC, kC, kAm, kC}) {
        window.AddPlayedChord(chord);
    }
    EXPECT_EQ(window.Chords(), (theory::Sequence{kC, kAm, kC}));
}

// Smooth voicing shows the inversion each chord plays in; playing highlights without selecting.
TEST(SequenceWindow, CellsShowTheInversionTheChordPlaysIn) {
    frmChordSequence window(nullptr);
    window.AddChord(kC);
    window.AddChord(kF);
    window.cboVoicing()->setCurrentIndex(1);
    window.ShowPlaying(0);
    EXPECT_EQ(window.Cells()[1].fullName, "FMajor Second Inversion");
    EXPECT_TRUE(window.Cells()[0].playing);
    EXPECT_TRUE(window.Cells()[1].selected);
}

}  // namespace
}  // namespace quorvane::progressions
