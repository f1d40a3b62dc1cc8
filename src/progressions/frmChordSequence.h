#pragma once
// frmChordSequence: the secondary window that shows the chord sequence and edits it: cells added
// from the main window, typed or pasted as chord symbols, removed, moved, transposed, undone; its
// key, tempo, beats, loop and voicing; each cell's Roman numeral in the key. The sequence is
// the model's (SequenceModel), not the window's; playing, files and the main window's chord are
// the program's, asked for through signals. Closing it hides it.

#include <QString>
#include <QWidget>
#include <vector>

#include "progressions/SequenceModel.h"
#include "progressions/SequenceRow.h"
#include "progressions/SequenceView.h"
#include "theory/spelling.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quorvane::progressions {

class frmChordSequence : public QWidget {
    Q_OBJECT
  public:
    // Shows and edits `model`, which outlives it. `owner` keeps the window above it; the window
    // goes with it.
    frmChordSequence(SequenceModel& model, QWidget* owner);
    ~frmChordSequence() override;

    static constexpr const char* kTitle = "Quorvane - [Sequence]";
    static constexpr const char* kCellMimeType = SequenceRow::kCellMimeType;

    SequenceModel& Model() const { return model_; }
    const std::vector<SequenceCellView>& Cells() const { return cells_; }
    std::string LeadSheet() const { return LeadSheetLine(cells_); }
    std::string Numerals() const { return NumeralsLine(cells_); }
    std::string Title() const { return ProgressionTitle(cells_); }
    // The cell that sounds now, -1 for none; the selection stays as it is.
    void ShowPlaying(int cell);
    // Reads `text` as chord symbols and adds them after the selected cell; a text that is no
    // chord symbols, or too many, is said under the "Chords:" box and adds nothing. True when
    // added.
    bool AddSymbols(const QString& text);

    // ---- Controls -----------------------------------------------------------------------
    QPushButton* cmdAdd() const { return cmdAdd_; }
    QPushButton* cmdRemove() const { return cmdRemove_; }
    QPushButton* cmdClear() const { return cmdClear_; }
    QPushButton* cmdPlay() const { return cmdPlay_; }
    QPushButton* cmdStop() const { return cmdStop_; }
    QPushButton* cmdExport() const { return cmdExport_; }
    QPushButton* cmdExportXml() const { return cmdExportXml_; }
    QPushButton* cmdCopy() const { return cmdCopy_; }
    QPushButton* cmdCopyNumerals() const { return cmdCopyNumerals_; }
    QPushButton* cmdCopyChordPro() const { return cmdCopyChordPro_; }
    QPushButton* cmdPaste() const { return cmdPaste_; }
    QPushButton* cmdOpen() const { return cmdOpen_; }
    QPushButton* cmdSave() const { return cmdSave_; }
    QPushButton* cmdUndo() const { return cmdUndo_; }
    QPushButton* cmdRedo() const { return cmdRedo_; }
    QPushButton* cmdTransposeUp() const { return cmdTransposeUp_; }
    QPushButton* cmdTransposeDown() const { return cmdTransposeDown_; }
    QPushButton* cmdTransposeTo() const { return cmdTransposeTo_; }
    QCheckBox* chkLoop() const { return chkLoop_; }
    QCheckBox* chkCapture() const { return chkCapture_; }
    QSpinBox* spnTempo() const { return spnTempo_; }
    QSpinBox* spnBeats() const { return spnBeats_; }
    QComboBox* cboVoicing() const { return cboVoicing_; }
    QComboBox* cboKey() const { return cboKey_; }
    QLineEdit* txtChords() const { return txtChords_; }
    QLabel* lblChordsMessage() const { return lblChordsMessage_; }
    // Cell n's widget, nullptr outside the row.
    QWidget* Cell(int n) const { return row_->Cell(n); }

  public slots:
    // How the chords' symbols are written (Sharps at start).
    void SetSpelling(quorvane::theory::Spelling spelling);

  signals:
    // "Add": the main window's chord is to be added.
    void addRequested();
    void playRequested();
    void stopRequested();
    void exportRequested();
    void exportMusicXmlRequested();
    void saveRequested();
    void openRequested();
    // A left drag from the row: the progression is to be carried from `source` as a file.
    void dragRequested(QWidget* source, int cell);
    // A double-click on a cell: the main window is to show that chord as if picked there.
    void chordPicked(int rootIndex, int chordTypeIndex, int inversion);

  private:
    // Built in SequenceControls.cpp.
    void BuildControls();
    void LayOut();
    void Connect();
    // The model's settings shown in the controls.
    void ShowSettings();
    // The cells recomputed from the model and applied to the row.
    void Refresh();
    void ShowSelection(int previous, int current);
    void ShowDocument();
    void Copy(const std::string& text);
    void Paste();
    void PickCell(int cell);

    SequenceModel& model_;
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
    QPushButton* cmdExportXml_ = nullptr;
    QPushButton* cmdCopy_ = nullptr;
    QPushButton* cmdCopyNumerals_ = nullptr;
    QPushButton* cmdCopyChordPro_ = nullptr;
    QPushButton* cmdPaste_ = nullptr;
    QPushButton* cmdOpen_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QPushButton* cmdUndo_ = nullptr;
    QPushButton* cmdRedo_ = nullptr;
    QPushButton* cmdTransposeUp_ = nullptr;
    QPushButton* cmdTransposeDown_ = nullptr;
    QPushButton* cmdTransposeTo_ = nullptr;
    QCheckBox* chkLoop_ = nullptr;
    QCheckBox* chkCapture_ = nullptr;
    QSpinBox* spnTempo_ = nullptr;
    QSpinBox* spnBeats_ = nullptr;
    QComboBox* cboVoicing_ = nullptr;
    QComboBox* cboKey_ = nullptr;
    QLineEdit* txtChords_ = nullptr;
    QLabel* lblChordsMessage_ = nullptr;
};

}  // namespace quorvane::progressions
