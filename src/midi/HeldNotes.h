#pragma once
// HeldNotes: every note held now, from each source beside the others: the MIDI input, the keys
// picked with the mouse, the computer keyboard and the fretboard's neck, and the naming of what
// they hold together. The picks and the computer keys sound through the output engine as the
// input's notes are echoed; the input's own notes are held (and echoed) by MidiInput.

#include <QObject>
#include <QString>
#include <cstdint>
#include <map>
#include <vector>

#include "midi/ComputerKeys.h"
#include "midi/PickedNotes.h"
#include "theory/recognition.h"

namespace quorvane::midi {

class modCommon;

class HeldNotes : public QObject {
    Q_OBJECT
  public:
    // The output engine sounds the picks and the computer keys and holds the MIDI input; it
    // outlives this object.
    explicit HeldNotes(modCommon& output);
    HeldNotes(const HeldNotes&) = delete;
    HeldNotes& operator=(const HeldNotes&) = delete;

    // ---- Picked with the mouse -----------------------------------------------------------------
    // Picked and held by keyboard key (0..35), they sound at the octave shift, on the channel and
    // with the volume as velocity.
    // Picks `key`, sounding it for the note length without waiting for it, or takes it away
    // (silently); either way what is held then is named, unless nothing is.
    void PickKey(int key);
    // Takes every pick away, silencing what still sounds.
    void ClearPicks();
    // Escape: the picks and what the neck frets are emptied together.
    void ClearPicksAndNeck();
    std::vector<int> PickedKeys() const { return picked_.Keys(); }

    // ---- The computer keyboard -----------------------------------------------------------------
    // A computer key went down or up (`scanCode` and `character` as ComputerKeys reads them):
    // a key that plays is echoed as the input's notes are, and named when it goes down.
    void ComputerKeyDown(std::uint32_t scanCode, int character);
    void ComputerKeyUp(std::uint32_t scanCode, int character);
    // Lets every computer key go, so nothing is left sounding.
    void ReleaseComputerKeys();

    // ---- The fretboard's neck ------------------------------------------------------------------
    // What the neck frets now (MIDI note numbers), replacing what it fretted; named with the
    // rest after every change, unless nothing is held. The neck sounds its notes itself.
    void SetNeckNotes(std::vector<int> midiNotes);
    std::vector<int> NeckNotes() const { return neck_; }

    // Every note held now, from every source (MIDI note numbers, lowest first, each once).
    std::vector<int> AllHeldNotes() const;

  signals:
    // The notes held now name a catalogue chord: the window selects it and shows what else
    // `names` says they could be named, or that the fifth is left out.
    void chordRecognised(int rootIndex, int chordTypeIndex, int inversion,
                         const quorvane::theory::HeldChordNames& names);
    // The notes held now (named in `notes`, lowest first) are no catalogue chord.
    void unlistedChordHeld(const QString& notes);
    // What is held from any source, or where it is drawn (the octave shift), changed.
    void heldChanged();
    // The neck was emptied from here (Escape): the fretboard unfrets its drawing.
    void neckCleared();

  private:
    // Names every note held now, as the held notes of a MIDI keyboard are named.
    void NameHeld();
    std::uint32_t KeyNoteOn(int key) const;
    // Ends the sound of what the picks and the computer keys started.
    void SilenceWindowNotes();

    modCommon& output_;
    PickedNotes picked_;
    std::map<std::uint64_t, std::uint32_t> pickSounding_;  // pick id -> its note-on
    ComputerKeys computerKeys_;
    std::map<int, std::uint32_t> keySounding_;  // keyboard key -> its echoed note-on
    std::vector<int> neck_;                     // MIDI notes, lowest first, each once
};

}  // namespace quorvane::midi
