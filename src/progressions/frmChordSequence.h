#pragma once
// frmChordSequence: the secondary window that collects chords into a progression, up to 64 cells
// that wrap onto further rows, with the controls to play it in time, voice it, export and copy
// it. It owns the progression value and shows it; playing, files and the main window's chord are
// the program's, asked for through signals. Closing it hides it.

#include <QString>
#include <QWidget>
#include <vector>

#include "progressions/SequenceView.h"
#include "theory/sequence.h"
#include "theory/spelling.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QSpinBox;

namespace quorvane::progressions {

class SequenceRow;

class frmChordSequence : public QWidget {
    Q_OBJECT
  public:
    // `owner` keeps the window above it; the window goes with it.
    explicit frmChordSequence(QWidget* owner);
    ~frmChordSequence() override;

    static constexpr const char* kTitle = "Quorvane - [Sequence]";
    // What a cell carries when dragged, besides the progression's file: the cell's index.
    static constexpr const char* kCellMimeType = "application/x-quorvane-sequence-cell";

    // ---- The progression ---------------------------------------------------------------
    const theory::Sequence& Chords() const { return chords_; }
    int Selected() const { return selected_; }  // -1 when no cell is selected
    // Each chord's inversion and octave as it plays, for the voicing chosen.
    std::vector<theory::PlacedChord> Placements() const;
    const std::vector<SequenceCellView>& Cells() const { return cells_; }
    // Inserts after the selected cell, or at the end when none is, and selects it; false when
    // the row is full.
    bool AddChord(const theory::SequenceChord& chord);
    // A chord named on the MIDI input: appended when capturing, unless it repeats the last cell.
    void AddPlayedChord(const theory::SequenceChord& chord);
    void RemoveSelected();
    void Clear();
    // Moves a cell to stand at `to` (an index of the row as it is before the move, or its size
    // for the end); the moved cell stays selected.
    void MoveCell(int from, int to);
    void Select(int cell);
    // The cell that sounds now, -1 for none; the selection stays as it is.
    void ShowPlaying(int cell);
    std::string LeadSheet() const { return LeadSheetLine(cells_); }
    std::string Title() const { return ProgressionTitle(cells_); }

    int Tempo() const;
    int BeatsPerChord() const;
    bool Loop() const;

    // ---- Controls -----------------------------------------------------------------------
    QPushButton* cmdAdd() const { return cmdAdd_; }
    QPushButton* cmdRemove() const { return cmdRemove_; }
    QPushButton* cmdClear() const { return cmdClear_; }
    QPushButton* cmdPlay() const { return cmdPlay_; }
    QPushButton* cmdStop() const { return cmdStop_; }
    QPushButton* cmdExport() const { return cmdExport_; }
    QPushButton* cmdCopy() const { return cmdCopy_; }
    QCheckBox* chkLoop() const { return chkLoop_; }
    QCheckBox* chkCapture() const { return chkCapture_; }
    QSpinBox* spnTempo() const { return spnTempo_; }
    QSpinBox* spnBeats() const { return spnBeats_; }
    QComboBox* cboVoicing() const { return cboVoicing_; }
    // Cell n's widget, nullptr outside the row.
    QWidget* Cell(int n) const;

  public slots:
    // How the chords' symbols are written (Sharps at start).
    void SetSpelling(quorvane::theory::Spelling spelling);

  signals:
    // "Add": the main window's chord is to be added (AddChord).
    void addRequested();
    void playRequested();
    void stopRequested();
    void loopChanged(bool loop);
    void exportRequested();
    // A left drag from the row: the progression is to be carried from `source` as a file.
    void dragRequested(QWidget* source, int cell);
    // A double-click on a cell: the main window is to show that chord as if picked there.
    void chordPicked(int rootIndex, int chordTypeIndex, int inversion);

  private:
    void BuildControls();
    // The cells recomputed from the progression and applied to the row.
    void Refresh();
    void CopyLine();

    theory::Sequence chords_;
    int selected_ = -1;
    int playing_ = -1;
    theory::Spelling spelling_ = theory::Spelling::Sharps;
    std::vector<SequenceCellView> cells_;

    SequenceRow* row_ = nullptr;
    QPushButton* cmdAdd_ = nullptr;
    QPushButton* cmdRemove_ = nullptr;
    QPushButton* cmdClear_ = nullptr;
    QPushButton* cmdPlay_ = nullptr;
    QPushButton* cmdStop_ = nullptr;
    QPushButton* cmdExport_ = nullptr;
    QPushButton* cmdCopy_ = nullptr;
    QCheckBox* chkLoop_ = nullptr;
    QCheckBox* chkCapture_ = nullptr;
    QSpinBox* spnTempo_ = nullptr;
    QSpinBox* spnBeats_ = nullptr;
    QComboBox* cboVoicing_ = nullptr;
};

}  // namespace quorvane::progressions
