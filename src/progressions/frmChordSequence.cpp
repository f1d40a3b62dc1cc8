#include "progressions/frmChordSequence.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "theory/symbols.h"

namespace quorvane::progressions {

frmChordSequence::frmChordSequence(SequenceModel& model, QWidget* owner)
    : QWidget(owner, Qt::Window), model_(model) {
    BuildControls();
    ShowSettings();
    Refresh();
    ShowDocument();
    // Eight cells to a line, and room for three lines before the row scrolls.
    resize(SequenceRow::kCellsPerLine * (SequenceRow::kCellWidth + SequenceRow::kGap) + 60,
           3 * (SequenceRow::kCellHeight + SequenceRow::kGap) + 260);
}

frmChordSequence::~frmChordSequence() = default;

void frmChordSequence::Refresh() {
    cells_ = ComputeSequenceCells(model_.Cells(), model_.Placements(), model_.Selected(), playing_,
                                  spelling_, model_.Key());
    row_->Apply(cells_);
    cmdRemove_->setEnabled(model_.Selected() >= 0);
    cboKey_->setItemText(0, QStringLiteral("Auto (%1)")
                                .arg(QString::fromStdString(theory::KeyName(model_.FoundKey()))));
}

void frmChordSequence::ShowSelection(int previous, int current) {
    for (const int n : {previous, current}) {
        if (n >= 0 && n < static_cast<int>(cells_.size())) {
            cells_[static_cast<std::size_t>(n)].selected = n == current;
        }
    }
    row_->Apply(cells_);
    cmdRemove_->setEnabled(current >= 0);
}

void frmChordSequence::ShowPlaying(int cell) {
    for (const int n : {playing_, cell}) {
        if (n >= 0 && n < static_cast<int>(cells_.size())) {
            cells_[static_cast<std::size_t>(n)].playing = n == cell;
        }
    }
    playing_ = cell;
    row_->Apply(cells_);
}

void frmChordSequence::ShowSettings() {
    spnTempo_->setValue(model_.Tempo());
    spnBeats_->setValue(model_.BeatsPerChord());
    chkLoop_->setChecked(model_.Loop());
    chkCapture_->setChecked(model_.Capture());
    cboVoicing_->setCurrentIndex(model_.Voicing() == theory::Voicing::Smooth ? 1 : 0);
    int key = 0;
    const std::vector<theory::Key> keys = theory::AllKeys();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (model_.ChosenKey() == keys[i]) {
            key = static_cast<int>(i) + 1;
        }
    }
    cboKey_->setCurrentIndex(key);
}

void frmChordSequence::ShowDocument() {
    QString title = QString::fromLatin1(kTitle);
    if (!model_.FilePath().isEmpty()) {
        title += QStringLiteral(" - ") + QFileInfo(model_.FilePath()).fileName();
    }
    setWindowTitle(model_.Modified() ? title + QLatin1Char('*') : title);
    cmdUndo_->setEnabled(model_.CanUndo());
    cmdRedo_->setEnabled(model_.CanRedo());
}

void frmChordSequence::SetSpelling(theory::Spelling spelling) {
    spelling_ = spelling;
    Refresh();
}

bool frmChordSequence::AddSymbols(const QString& text) {
    const theory::SymbolsRead read = theory::ReadChordSymbols(text.toStdString());
    QString message;
    if (!read.error.empty()) {
        message = QString::fromStdString(read.error);
    } else if (read.cells.empty()) {
        message = QStringLiteral("There are no chord symbols to add.");
    } else if (!model_.Insert(read.cells)) {
        message =
            QStringLiteral("The sequence holds at most %1 chords.").arg(theory::kMaxSequenceChords);
    }
    lblChordsMessage_->setText(message);
    return message.isEmpty();
}

void frmChordSequence::Copy(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void frmChordSequence::Paste() {
    AddSymbols(QGuiApplication::clipboard()->text());
}

void frmChordSequence::PickCell(int cell) {
    const SequenceCells& cells = model_.Cells();
    if (cell < 0 || cell >= model_.Size() || !cells[static_cast<std::size_t>(cell)].known) {
        return;
    }
    const theory::SequenceChord& chord = cells[static_cast<std::size_t>(cell)].chord;
    const auto& placed = model_.Placements()[static_cast<std::size_t>(cell)];
    emit chordPicked(chord.rootIndex, chord.chordTypeIndex, placed.inversion);
}

}  // namespace quorvane::progressions
