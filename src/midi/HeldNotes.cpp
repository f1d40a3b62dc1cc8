#include "midi/HeldNotes.h"

#include <QTimer>
#include <algorithm>
#include <set>

#include "midi/modCommon.h"
#include "theory/recognition.h"
#include "theory/theory.h"

namespace quorvane::midi {

namespace {

void SortUnique(std::vector<int>& notes) {
    std::sort(notes.begin(), notes.end());
    notes.erase(std::unique(notes.begin(), notes.end()), notes.end());
}

// Ends every note of `sounding` (anything -> its note-on) on the output and forgets them.
template <typename Sounding>
void Release(modCommon& output, Sounding& sounding) {
    for (const auto& [owner, noteOn] : sounding) {
        output.Send(NoteOffMessage(noteOn));
    }
    sounding.clear();
}

}  // namespace

HeldNotes::HeldNotes(modCommon& output) : output_(output) {
    connect(&output_.Input(), &MidiInput::heldChanged, this, [this](bool added) {
        if (added) {
            NameHeld();
        }
        emit heldChanged();
    });
    // The input's notes and the picks are drawn on other keys now.
    connect(&output_, &modCommon::octaveChanged, this, &HeldNotes::heldChanged);
    connect(&output_, &modCommon::deviceClosing, this, &HeldNotes::SilenceWindowNotes,
            Qt::DirectConnection);
}

std::uint32_t HeldNotes::KeyNoteOn(int key) const {
    return NoteOnMessage(output_.NoteOnBase(), output_.Velocity(), key, output_.Octave());
}

void HeldNotes::PickKey(int key) {
    if (key < 0 || key >= theory::kKeyboardKeys) {
        return;
    }
    if (const auto sounding = pickSounding_.find(picked_.Id(key));
        sounding != pickSounding_.end()) {
        output_.Send(NoteOffMessage(sounding->second));
        pickSounding_.erase(sounding);
    }
    if (picked_.Toggle(key)) {
        // The window goes on at once; the note ends on its own when the note length is up,
        // unless it was taken away or silenced before.
        const std::uint32_t noteOn = KeyNoteOn(key);
        const std::uint64_t id = picked_.Id(key);
        pickSounding_[id] = noteOn;
        output_.Send(noteOn);
        QTimer::singleShot(output_.NoteLength(), this, [this, id] {
            if (const auto it = pickSounding_.find(id); it != pickSounding_.end()) {
                output_.Send(NoteOffMessage(it->second));
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

void HeldNotes::ClearPicks() {
    Release(output_, pickSounding_);
    if (!picked_.Empty()) {
        picked_.Clear();
        emit heldChanged();
    }
}

void HeldNotes::ClearPicksAndNeck() {
    ClearPicks();
    if (!neck_.empty()) {
        neck_.clear();
        emit neckCleared();
        emit heldChanged();
    }
}

void HeldNotes::ComputerKeyDown(std::uint32_t scanCode, int character) {
    const std::optional<int> key = computerKeys_.Press(scanCode, character);
    if (!key) {
        return;
    }
    if (output_.Echo() && output_.DeviceOpen()) {
        const std::uint32_t noteOn = KeyNoteOn(*key);
        keySounding_[*key] = noteOn;
        output_.Send(noteOn);
    }
    NameHeld();
    emit heldChanged();
}

void HeldNotes::ComputerKeyUp(std::uint32_t scanCode, int character) {
    const std::optional<int> key = computerKeys_.Release(scanCode, character);
    if (!key) {
        return;
    }
    // Released as the input's notes are: the name stays.
    if (const auto it = keySounding_.find(*key); it != keySounding_.end()) {
        output_.Send(NoteOffMessage(it->second));
        keySounding_.erase(it);
    }
    emit heldChanged();
}

void HeldNotes::ReleaseComputerKeys() {
    Release(output_, keySounding_);
    if (!computerKeys_.ReleaseAll().empty()) {
        emit heldChanged();
    }
}

void HeldNotes::SetNeckNotes(std::vector<int> midiNotes) {
    std::erase_if(midiNotes, [](int note) { return note < 0 || note > 127; });
    SortUnique(midiNotes);
    if (midiNotes == neck_) {
        return;
    }
    neck_ = std::move(midiNotes);
    // Fretting is an edit, as picking is: what is held then is named again.
    if (!AllHeldNotes().empty()) {
        NameHeld();
    }
    emit heldChanged();
}

void HeldNotes::SilenceWindowNotes() {
    Release(output_, pickSounding_);
    Release(output_, keySounding_);
}

std::vector<int> HeldNotes::AllHeldNotes() const {
    std::vector<int> notes = output_.HeldNotes();
    for (const std::vector<int>& keys : {picked_.Keys(), computerKeys_.Keys()}) {
        for (int key : keys) {
            notes.push_back(Data1Of(KeyNoteOn(key)));
        }
    }
    notes.insert(notes.end(), neck_.begin(), neck_.end());
    SortUnique(notes);
    return notes;
}

void HeldNotes::NameHeld() {
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
