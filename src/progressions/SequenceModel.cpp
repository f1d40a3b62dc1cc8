#include "progressions/SequenceModel.h"

#include <algorithm>

#include "midi/SequencePlan.h"

namespace quorvane::progressions {

namespace {

// Steps kept to take back; the oldest go first.
constexpr std::size_t kUndoSteps = 200;

// Unknown cells take part in the voicing as chords that cannot be voiced: silent, and the next
// chord follows the last one that sounded.
theory::Sequence VoicedChords(const SequenceCells& cells) {
    theory::Sequence chords;
    chords.reserve(cells.size());
    for (const theory::SequenceCell& cell : cells) {
        chords.push_back(cell.known ? cell.chord : theory::SequenceChord{0, -1, 0});
    }
    return chords;
}

// A key's tonic counted as its relative major's, so that a move between keys of either mode
// takes the song where the chosen key reads it.
int MajorTonic(theory::Key key) {
    return key.minor ? (key.tonic + 3) % 12 : key.tonic;
}

}  // namespace

SequenceModel::SequenceModel(QObject* parent)
    : QObject(parent), tempo_(midi::kStartTempo), beatsPerChord_(midi::kStartBeatsPerChord) {
    CellsChanged();
}

bool SequenceModel::Insert(const SequenceCells& cells) {
    if (cells.empty() || cells_.size() + cells.size() > theory::kMaxSequenceChords) {
        return cells.empty();
    }
    const int at = selected_ >= 0 ? selected_ + 1 : Size();
    SequenceCells changed = cells_;
    changed.insert(changed.begin() + at, cells.begin(), cells.end());
    Change(std::move(changed), at + static_cast<int>(cells.size()) - 1);
    return true;
}

bool SequenceModel::AddChord(const theory::SequenceChord& chord) {
    return Insert({theory::SequenceCell{chord, true, {}, {}}});
}

void SequenceModel::AddPlayedChord(const theory::SequenceChord& chord) {
    const theory::SequenceCell cell{chord, true, {}, {}};
    if (!capture_ || (!cells_.empty() && cells_.back() == cell) ||
        cells_.size() >= theory::kMaxSequenceChords) {
        return;
    }
    SequenceCells changed = cells_;
    changed.push_back(cell);
    Change(std::move(changed), selected_);
}

void SequenceModel::RemoveSelected() {
    if (selected_ < 0 || selected_ >= Size()) {
        return;
    }
    SequenceCells changed = cells_;
    changed.erase(changed.begin() + selected_);
    Change(std::move(changed), -1);
}

void SequenceModel::Clear() {
    if (!cells_.empty()) {
        Change({}, -1);
    }
}

void SequenceModel::MoveCell(int from, int to) {
    if (from < 0 || from >= Size() || to < 0 || to > Size() || to == from || to == from + 1) {
        return;
    }
    SequenceCells changed = cells_;
    const theory::SequenceCell moved = changed[static_cast<std::size_t>(from)];
    changed.erase(changed.begin() + from);
    const int at = to > from ? to - 1 : to;
    changed.insert(changed.begin() + at, moved);
    Change(std::move(changed), at);
}

void SequenceModel::Transpose(int semitones) {
    if (cells_.empty() || semitones % 12 == 0) {
        return;
    }
    // A chosen key moves with the cells, in the same step to undo.
    std::optional<theory::Key> key = chosenKey_;
    if (key) {
        key = theory::Transpose(*key, semitones);
    }
    Change(Transposed(semitones), selected_, key);
}

void SequenceModel::TransposeTo(theory::Key key) {
    int semitones = ((MajorTonic(key) - MajorTonic(Key())) % 12 + 12) % 12;
    if (semitones > 6) {
        semitones -= 12;
    }
    if (cells_.empty() || semitones == 0) {
        if (chosenKey_) {
            SetChosenKey(key);
        }
        return;
    }
    Change(Transposed(semitones), selected_,
           chosenKey_ ? std::optional<theory::Key>(key) : std::nullopt);
}

SequenceCells SequenceModel::Transposed(int semitones) const {
    SequenceCells moved;
    moved.reserve(cells_.size());
    for (const theory::SequenceCell& cell : cells_) {
        moved.push_back(theory::Transpose(cell, semitones));
    }
    return moved;
}

void SequenceModel::Open(const SequenceCells& cells, const QString& path) {
    Change(cells, -1);
    MarkSaved(path);
}

void SequenceModel::Undo() {
    if (undo_.empty()) {
        return;
    }
    redo_.push_back(Now());
    const Snapshot back = std::move(undo_.back());
    undo_.pop_back();
    Restore(back);
}

void SequenceModel::Redo() {
    if (redo_.empty()) {
        return;
    }
    undo_.push_back(Now());
    const Snapshot again = std::move(redo_.back());
    redo_.pop_back();
    Restore(again);
}

void SequenceModel::Select(int cell) {
    const int previous = selected_;
    selected_ = cell >= 0 && cell < Size() ? cell : -1;
    if (selected_ != previous) {
        emit selectionChanged(previous, selected_);
    }
}

void SequenceModel::SetChosenKey(std::optional<theory::Key> key) {
    if (key != chosenKey_) {
        chosenKey_ = key;
        SettingChanged();
        emit cellsChanged();  // the numerals read in the new key
    }
}

void SequenceModel::SetTempo(int tempo) {
    tempo = std::clamp(tempo, midi::kSlowestTempo, midi::kFastestTempo);
    if (tempo != tempo_) {
        tempo_ = tempo;
        SettingChanged();
    }
}

void SequenceModel::SetBeatsPerChord(int beats) {
    beats = std::clamp(beats, midi::kFewestBeatsPerChord, midi::kMostBeatsPerChord);
    if (beats != beatsPerChord_) {
        beatsPerChord_ = beats;
        foundKey_ = theory::FindKey(cells_, beatsPerChord_);
        SettingChanged();
        emit cellsChanged();
    }
}

void SequenceModel::SetLoop(bool loop) {
    if (loop != loop_) {
        loop_ = loop;
        emit loopChanged(loop_);
    }
}

void SequenceModel::SetVoicing(theory::Voicing voicing) {
    if (voicing != voicing_) {
        voicing_ = voicing;
        placements_ = theory::PlaceSequence(VoicedChords(cells_), voicing_);
        SettingChanged();
        emit cellsChanged();
    }
}

void SequenceModel::MarkSaved(const QString& path) {
    filePath_ = path;
    savedRevision_ = revision_;
    settingsChanged_ = false;
    emit documentChanged();
}

void SequenceModel::Change(SequenceCells cells, int selected) {
    Change(std::move(cells), selected, chosenKey_);
}

void SequenceModel::Change(SequenceCells cells, int selected, std::optional<theory::Key> key) {
    undo_.push_back(Now());
    if (undo_.size() > kUndoSteps) {
        undo_.erase(undo_.begin());
    }
    redo_.clear();
    cells_ = std::move(cells);
    selected_ = selected;
    revision_ = ++nextRevision_;
    if (key != chosenKey_) {
        chosenKey_ = key;
        emit settingsChanged();
    }
    CellsChanged();
}

void SequenceModel::Restore(const Snapshot& snapshot) {
    cells_ = snapshot.cells;
    selected_ = snapshot.selected;
    const bool keyMoved = chosenKey_ != snapshot.chosenKey;
    chosenKey_ = snapshot.chosenKey;
    revision_ = snapshot.revision;
    if (keyMoved) {
        emit settingsChanged();
    }
    CellsChanged();
}

void SequenceModel::CellsChanged() {
    placements_ = theory::PlaceSequence(VoicedChords(cells_), voicing_);
    foundKey_ = theory::FindKey(cells_, beatsPerChord_);
    emit cellsChanged();
    emit documentChanged();
}

void SequenceModel::SettingChanged() {
    settingsChanged_ = true;
    emit settingsChanged();
    emit documentChanged();
}

}  // namespace quorvane::progressions
