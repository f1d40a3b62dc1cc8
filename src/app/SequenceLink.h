#pragma once
// The chord sequence put into the program: its model, its window with the Window menu item and
// the main window's Insert and Delete keys, the sequence played through the sequence player,
// written to a MIDI file or dragged, its files, and the chords the main window and the MIDI input
// give it.

#include <QObject>
#include <QPointer>
#include <QString>

#include "app/SequenceDocument.h"
#include "mainwin/Desktop.h"
#include "mainwin/frmChordMain.h"
#include "midi/MidiFile.h"
#include "midi/SequencePlayer.h"
#include "midi/modCommon.h"
#include "progressions/SequenceModel.h"
#include "progressions/frmChordSequence.h"

namespace quorvane::app {

class SequenceLink final : public QObject {
    Q_OBJECT
  public:
    // `exportFolder` is where the program's last exported file went, shared with the chord's.
    SequenceLink(midi::modCommon& midi, mainwin::frmChordMain& main, mainwin::Desktop& desktop,
                 QString& exportFolder);
    ~SequenceLink() override;
    SequenceLink(const SequenceLink&) = delete;
    SequenceLink& operator=(const SequenceLink&) = delete;

    // Window > "Chord &Sequence", Insert and Delete on the main window, once its menus are built.
    void AddToMainWindow();
    progressions::SequenceModel& Model() { return model_; }
    progressions::frmChordSequence* Window() const { return window_.data(); }
    // Created hidden, owned by the main window.
    progressions::frmChordSequence* EnsureWindow();
    QAction* mnuWindowSequence() const { return menuItem_; }
    midi::SequencePlayer& Player() { return player_; }

    void AddCurrentChord();
    void AddPlayedChord(int rootIndex, int chordTypeIndex, int inversion);
    void Play();
    void Stop() { player_.Stop(); }
    // Shows the sequence window with the song at `path` opened in it; a file that cannot be
    // opened is said as the Open button says it. False then.
    bool OpenFile(const QString& path);
    // Whether the program may end: nothing unsaved, or the user saved or discarded it.
    bool MayClose() { return document_.MayDiscard(); }
    void Unload();

  private:
    void ShowWindow();
    // The cells as the exports name them: in the main window's spelling and the sequence's key.
    std::vector<progressions::SequenceCellView> Views() const;
    // The progression's notes as they sound (the MIDI settings' octave), laid out in time.
    midi::SequencePlan Plan() const;
    midi::SequenceFile File() const;
    void Export();
    void Drag(QWidget* source, int cell);

    midi::modCommon& midi_;
    mainwin::frmChordMain& main_;
    mainwin::Desktop& desktop_;
    QString& exportFolder_;
    progressions::SequenceModel model_;
    SequenceDocument document_;
    midi::SequencePlayer player_;
    QPointer<progressions::frmChordSequence> window_;
    QAction* menuItem_ = nullptr;
};

}  // namespace quorvane::app
