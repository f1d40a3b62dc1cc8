// modCommon's notes played in the window: the mouse's picks and the computer keyboard, sounded,
// echoed and named with what the MIDI input holds.
#include <QTimer>
#include <algorithm>
#include <set>

#include "midi/modCommon.h"
#include "theory/recognition.h"
#include "theory/theory.h"

namespace quorvane::midi {

void modCommon::PickKey(int key) {
    if (key < 0 || key >= theory::kKeyboardKeys) {
        return;
    }
    if (const auto sounding = pickSounding_.find(picked_.Id(key));
        sounding != pickSounding_.end()) {
        Send(NoteOffMessage(sounding->second));
        pickSounding_.erase(sounding);
    }
    if (picked_.Toggle(key)) {
        // The window goes on at once; the note ends on its own when the note length is up,
        // unless it was taken away or silenced before.
        const std::uint32_t noteOn = KeyNoteOn(key);
        const std::uint64_t id = picked_.Id(key);
        pickSounding_[id] = noteOn;
        Send(noteOn);
        QTimer::singleShot(noteLength_, this, [this, id] {
            if (const auto it = pickSounding_.find(id); it != pickSounding_.end()) {
                Send(NoteOffMessage(it->second));
                pickSounding_.erase(it);
            }
        });
    }
    // Taking a note away is an edit: what is left is named again.
    if (!AllHeldNotes().empty()) {
        NameHeld();
    }
    emit heldChanged();
}

void modCommon::ClearPicks() {
    for (const auto& [id, noteOn] : pickSounding_) {
        Send(NoteOffMessage(noteOn));
    }
    pickSounding_.clear();
    if (!picked_.Empty()) {
        picked_.Clear();
        emit heldChanged();
    }
}

void modCommon::ComputerKeyDown(std::uint32_t scanCode, int character) {
    const std::optional<int> key = computerKeys_.Press(scanCode, character);
    if (!key) {
        return;
    }
    if (input_.Echo() && device_) {
        const std::uint32_t noteOn = KeyNoteOn(*key);
        keySounding_[*key] = noteOn;
        Send(noteOn);
    }
    NameHeld();
    emit heldChanged();
}

void modCommon::ComputerKeyUp(std::uint32_t scanCode, int character) {
    const std::optional<int> key = computerKeys_.Release(scanCode, character);
    if (!key) {
        return;
    }
    // Released as the input's notes are: the name stays.
    if (const auto it = keySounding_.find(*key); it != keySounding_.end()) {
        Send(NoteOffMessage(it->second));
        keySounding_.erase(it);
    }
    emit heldChanged();
}

void modCommon::ReleaseComputerKeys() {
    for (const auto& [key, noteOn] : keySounding_) {
        Send(NoteOffMessage(noteOn));
    }
    keySounding_.clear();
    if (!computerKeys_.ReleaseAll().empty()) {
        emit heldChanged();
    }
}

void modCommon::SilenceWindowNotes() {
    for (const auto& [id, noteOn] : pickSounding_) {
        Send(NoteOffMessage(noteOn));
    }
    pickSounding_.clear();
    for (const auto& [key, noteOn] : keySounding_) {
        Send(NoteOffMessage(noteOn));
    }
    keySounding_.clear();
}

std::vector<int> modCommon::AllHeldNotes() const {
    std::vector<int> notes = input_.HeldNotes();
    for (const std::vector<int>& keys : {picked_.Keys(), computerKeys_.Keys()}) {
        for (int key : keys) {
            notes.push_back(Data1Of(KeyNoteOn(key)));
        }
    }
    std::sort(notes.begin(), notes.end());
    notes.erase(std::unique(notes.begin(), notes.end()), notes.end());
    return notes;
}

void modCommon::NameHeld() {
    const std::vector<int> held = AllHeldNotes();
    const theory::HeldChordNames names = theory::NameHeldChord(held);
    if (names.chord) {
        emit chordRecognised(names.chord->rootIndex, names.chord->chordTypeIndex,
                             names.chord->inversion, names);
        return;
    }
    std::set<int> pitchClasses;
    for (int key : held) {
        pitchClasses.insert(key % 12);
    }
    if (pitchClasses.size() >= 3) {
        emit unlistedChordHeld(QString::fromStdString(theory::HeldNoteNames(held)));
    }
}

}  // namespace quorvane::midi
