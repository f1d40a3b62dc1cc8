#pragma once
// The chord sequence as a document: its cells, the key chosen for them, how it plays (tempo,
// beats per chord, loop, voicing), the file it came from or went to, whether it has changed
// since, and the steps to take back and redo. One owner for all of it, outside any window: the
// sequence window shows and edits it, the player and the exports read it.

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

#include "theory/keys.h"
#include "theory/sequence.h"

namespace quorvane::progressions {

using SequenceCells = std::vector<theory::SequenceCell>;

class SequenceModel final : public QObject {
    Q_OBJECT
  public:
    explicit SequenceModel(QObject* parent = nullptr);

    // ---- What it holds --------------------------------------------------------------------
    const SequenceCells& Cells() const { return cells_; }
    int Size() const { return static_cast<int>(cells_.size()); }
    int Selected() const { return selected_; }  // -1 when no cell is selected
    // The key the user chose; nullopt for Auto, which follows the cells.
    std::optional<theory::Key> ChosenKey() const { return chosenKey_; }
    // The key the numerals and spellings read in: the chosen one, or the one found.
    theory::Key Key() const { return chosenKey_ ? *chosenKey_ : foundKey_; }
    theory::Key FoundKey() const { return foundKey_; }
    int Tempo() const { return tempo_; }
    int BeatsPerChord() const { return beatsPerChord_; }
    bool Loop() const { return loop_; }
    theory::Voicing Voicing() const { return voicing_; }
    bool Capture() const { return capture_; }
    // Each cell's inversion and octave as it plays; unknown cells are silent.
    const std::vector<theory::PlacedChord>& Placements() const { return placements_; }
    // The file the sequence was opened from or saved to; empty for a new one.
    const QString& FilePath() const { return filePath_; }
    bool Modified() const { return revision_ != savedRevision_ || settingsChanged_; }
    // Whether closing it would lose work: modified and not an empty new sequence.
    bool NeedsSaving() const { return Modified() && !(cells_.empty() && filePath_.isEmpty()); }
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }

    // ---- Changes of the cells, each one step to undo -----------------------------------------
    // After the selected cell, or at the end when none is; the last added is selected. False,
    // and nothing added, when the sequence would pass kMaxSequenceChords.
    bool Insert(const SequenceCells& cells);
    bool AddChord(const theory::SequenceChord& chord);
    // A chord named on the MIDI input: appended while capturing, unless it repeats the last.
    void AddPlayedChord(const theory::SequenceChord& chord);
    void RemoveSelected();
    void Clear();
    // Moves a cell to stand at `to` (an index before the move, or the size for the end); the
    // moved cell stays selected.
    void MoveCell(int from, int to);
    // Every cell, and a chosen key, by `semitones`.
    void Transpose(int semitones);
    // To the key `key`: by the shortest move from the key it reads in now.
    void TransposeTo(theory::Key key);
    // A song opened from `path`: its cells and settings; saved as it stands.
    void Open(const SequenceCells& cells, const QString& path);
    void Undo();
    void Redo();

    // ---- Settings and selection -------------------------------------------------------------
    void Select(int cell);
    void SetChosenKey(std::optional<theory::Key> key);
    void SetTempo(int tempo);
    void SetBeatsPerChord(int beats);
    void SetLoop(bool loop);
    void SetVoicing(theory::Voicing voicing);
    void SetCapture(bool capture) { capture_ = capture; }
    // The sequence now stands as saved at `path`.
    void MarkSaved(const QString& path);

  signals:
    // The cells changed (and with them the placements and the key found).
    void cellsChanged();
    void selectionChanged(int previous, int current);
    // The tempo, beats per chord, voicing or chosen key changed.
    void settingsChanged();
    void loopChanged(bool loop);
    // The file, the modified flag or what can be undone changed.
    void documentChanged();

  private:
    struct Snapshot {
        SequenceCells cells;
        int selected = -1;
        std::optional<theory::Key> chosenKey;
        int revision = 0;
    };
    Snapshot Now() const { return {cells_, selected_, chosenKey_, revision_}; }
    // Keeps the state for Undo, then makes `cells` and `selected` the sequence's.
    void Change(SequenceCells cells, int selected);
    void Change(SequenceCells cells, int selected, std::optional<theory::Key> key);
    void Restore(const Snapshot& snapshot);
    SequenceCells Transposed(int semitones) const;
    void CellsChanged();
    void SettingChanged();

    SequenceCells cells_;
    int selected_ = -1;
    std::optional<theory::Key> chosenKey_;
    theory::Key foundKey_;
    std::vector<theory::PlacedChord> placements_;
    int tempo_;
    int beatsPerChord_;
    bool loop_ = false;
    theory::Voicing voicing_ = theory::Voicing::AsShown;
    bool capture_ = false;
    QString filePath_;
    std::vector<Snapshot> undo_;
    std::vector<Snapshot> redo_;
    int revision_ = 0;
    int nextRevision_ = 0;
    int savedRevision_ = 0;
    bool settingsChanged_ = false;
};

}  // namespace quorvane::progressions
