#include "midi/modCommon.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <span>

#include "midi/MidiLog.h"
#include "theory/catalogue.h"
#include "theory/recognition.h"
#include "theory/theory.h"

namespace quorvane::midi {

modCommon::modCommon(std::unique_ptr<OutputDevices> devices, std::unique_ptr<MidiClock> clock,
                     std::unique_ptr<InputPorts> inputs)
    : devices_(std::move(devices)), clock_(std::move(clock)), inputs_(std::move(inputs)) {}

modCommon::~modCommon() = default;

std::vector<modCommon::ListedDevice> modCommon::InitMidi() {
    // The note length and volume start at what the settings window shows.
    noteLength_ = kStartNoteLength;
    velocity_ = kStartVelocity;
    noteOnBase_ = kMiddleCNoteOn + midiChannel_;
    return ListDevices();
}

bool modCommon::SetNoteLength(int milliseconds) {
    if (milliseconds < kShortestNoteLength || milliseconds > kLongestNoteLength) {
        return false;
    }
    noteLength_ = milliseconds;
    return true;
}

bool modCommon::SetVelocity(int velocity) {
    if (velocity < 0 || velocity > 127) {
        return false;
    }
    velocity_ = velocity;
    return true;
}

bool modCommon::SetMidiChannel(int shown) {
    if (shown < 1 || shown > 16) {
        return false;
    }
    noteOnBase_ -= midiChannel_;
    midiChannel_ = shown - 1;
    noteOnBase_ += midiChannel_;
    return true;
}

bool modCommon::SetOctave(int octave) {
    if (octave < kLowestOctave || octave > kHighestOctave) {
        return false;
    }
    octave_ = octave;
    return true;
}

std::vector<modCommon::ListedDevice> modCommon::ListDevices() {
    std::vector<ListedDevice> listed;
    const int count = devices_->GetNumDevs();
    for (int device = 0; device < count; ++device) {
        std::optional<std::string> name = devices_->GetDevName(device);
        if (!name) {
            continue;  // a device that cannot be queried is not listed
        }
        listed.push_back({std::move(*name), device});
    }
    return listed;
}

void modCommon::CloseDevice() {
    ReleaseEchoedNotes();
    if (device_) {
        device_->Close();
    }
    device_.reset();
    openDevice_ = -1;
}

void modCommon::SelectDevice(int device) {
    CloseDevice();
    device_ = devices_->Open(device);
    if (!device_) {
        const std::string reason = devices_->LastOpenError();
        const std::optional<std::string> name = devices_->GetDevName(device);
        qCWarning(lcMidi).noquote()
            << QStringLiteral("Failed to open MIDI output device %1 (%2): %3")
                   .arg(device)
                   .arg(QString::fromStdString(name.value_or("no name")),
                        reason.empty() ? QStringLiteral("no reason given")
                                       : QString::fromStdString(reason));
        emit errorOccurred(QString::fromLatin1(kOpenFailedTitle),
                           QString::fromLatin1(kOpenFailedText), QString::fromStdString(reason));
        return;
    }
    openDevice_ = device;
    ++handle_;
    if (handle_ <= 0) {
        handle_ = 1;
    }
}

void modCommon::Send(std::uint32_t packed) {
    if (!device_) {
        return;
    }
    const int status = StatusOf(packed);
    const int channel = status & 0x0F;
    // A failed send is not reported.
    switch (status & 0xF0) {
        case 0x90:
            device_->NoteOn(channel, Data1Of(packed), Data2Of(packed));
            break;
        case 0x80:
            device_->NoteOff(channel, Data1Of(packed), Data2Of(packed));
            break;
        case 0xC0:
            device_->ProgramChange(channel, Data1Of(packed));
            break;
        default:
            break;  // the program sends no other message
    }
}

void modCommon::SendProgramChange(int program) {
    Send(ProgramChangeMessage(midiChannel_, program));
}

void modCommon::PlayChord(int rootIndex, int chordTypeIndex, int inversion) {
    DoEvents();
    const MidiClock::time_point end = clock_->Now() + std::chrono::milliseconds(noteLength_);

    theory::ChordVoicing voicing;
    if (chordTypeIndex >= 0 && chordTypeIndex < static_cast<int>(theory::ChordTypes.size())) {
        voicing = theory::VoiceChord(theory::ChordTypes[chordTypeIndex].intervals, rootIndex,
                                     inversion, theory::kTrebleClefOffset);
    }
    // Every value is taken now, so a setting changed while the chord sounds releases exactly the
    // notes that were started.
    std::vector<std::uint32_t> noteOns;
    noteOns.reserve(voicing.size());
    for (const theory::ChordNote& note : voicing) {
        noteOns.push_back(NoteOnMessage(noteOnBase_, velocity_, note.soundingKey, octave_));
    }
    // What comes back of this chord on the input (an output connected to the input) is not
    // taken for the musician's playing.
    playedKeys_.clear();
    for (std::uint32_t on : noteOns) {
        playedKeys_.push_back(Data1Of(on));
    }
    playedFrom_ = clock_->Now();
    playedUntil_ = MidiClock::time_point::max();
    for (std::uint32_t on : noteOns) {
        Send(on);
    }
    // The window does not respond while the chord sounds; only the program's end cuts it short.
    while (clock_->Now() < end && !(endRequested_ && endRequested_())) {
        clock_->SleepUntil(end);
    }
    for (std::uint32_t on : noteOns) {
        Send(NoteOffMessage(on));
    }
    playedUntil_ = clock_->Now() + kPlayEchoGrace;
    DoEvents();
}

void modCommon::ResetMidi() {
    if (device_) {
        device_->Reset();
    }
}

void modCommon::ShutDown() {
    if (shuttingDown_) {
        return;
    }
    shuttingDown_ = true;
    emit closingReminderRequested();
    FinishShutDown();
}

void modCommon::ShutDownOnSignal() {
    shuttingDown_ = true;
    FinishShutDown();
}

void modCommon::FinishShutDown() {
    if (finished_) {
        return;
    }
    finished_ = true;
    CloseInput();   // its echoed notes are released while the device is still open
    CloseDevice();  // no reset first
    emit secondaryWindowsUnloadRequested();
    emit endProcessRequested();
}

// ---- MIDI input -----------------------------------------------------------------------------

std::vector<std::string> modCommon::ListInputs() {
    return inputs_ ? inputs_->List() : std::vector<std::string>{};
}

bool modCommon::OpenInput(const std::string& name) {
    CloseInput();
    std::string reason = "there are no MIDI input ports";
    std::unique_ptr<InputPort> port = inputs_ ? inputs_->Open(name, &reason) : nullptr;
    if (!port) {
        qCWarning(lcMidi).noquote()
            << QStringLiteral("Failed to open MIDI input port %1: %2")
                   .arg(QString::fromStdString(name), QString::fromStdString(reason));
        emit errorOccurred(QStringLiteral("Quorvane"),
                           QStringLiteral("The MIDI input port \"%1\" could not be opened.")
                               .arg(QString::fromStdString(name)),
                           QString::fromStdString(reason));
        return false;
    }
    input_ = std::move(port);
    const std::uint64_t generation = ++inputGeneration_;
    // The port delivers on a thread of its own: each message is handed to this thread.
    connect(
        input_.get(), &InputPort::messageReceived, this,
        [this, generation](const QByteArray& bytes, qint64 arrivedNs) {
            if (generation == inputGeneration_ && input_) {
                HandleInput(bytes, MidiClock::time_point(std::chrono::nanoseconds(arrivedNs)));
            }
        },
        Qt::QueuedConnection);
    return true;
}

void modCommon::CloseInput() {
    ++inputGeneration_;
    input_.reset();
    ReleaseEchoedNotes();
    held_.clear();
    parser_.Clear();
}

void modCommon::SetEcho(bool echo) {
    echo_ = echo;
    if (!echo_) {
        ReleaseEchoedNotes();
    }
}

std::vector<int> modCommon::HeldNotes() const {
    std::vector<int> keys;
    for (const auto& [channel, key] : held_) {
        keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

bool modCommon::FromPlay(int key, MidiClock::time_point arrived) const {
    return arrived >= playedFrom_ && arrived <= playedUntil_ &&
           std::find(playedKeys_.begin(), playedKeys_.end(), key) != playedKeys_.end();
}

void modCommon::HandleInput(const QByteArray& bytes, MidiClock::time_point arrived) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    bool changed = false;
    for (const NoteEvent& event : parser_.Feed(
             std::span<const std::uint8_t>(data, static_cast<std::size_t>(bytes.size())))) {
        if (FromPlay(event.key, arrived)) {
            continue;
        }
        const std::pair<int, int> note{event.channel, event.key};
        changed = (event.on ? held_.insert(note).second : held_.erase(note) > 0) || changed;
        Echo(event);
    }
    if (changed) {
        Recognise();
    }
}

void modCommon::Echo(const NoteEvent& event) {
    if (!echo_ || !device_) {
        return;
    }
    if (event.on) {
        device_->NoteOn(midiChannel_, event.key, event.velocity);
        echoed_[event.key] = midiChannel_;
        return;
    }
    // Released on the channel it was started on, also after a change of channel; a note whose
    // start was not echoed is not released either.
    if (const auto it = echoed_.find(event.key); it != echoed_.end()) {
        device_->NoteOff(it->second, event.key, event.velocity);
        echoed_.erase(it);
    }
}

void modCommon::ReleaseEchoedNotes() {
    if (device_) {
        for (const auto& [key, channel] : echoed_) {
            device_->NoteOff(channel, key, 0);
        }
    }
    echoed_.clear();
}

void modCommon::Recognise() {
    const std::vector<int> held = HeldNotes();
    std::set<int> pitchClasses;
    for (int key : held) {
        pitchClasses.insert(key % 12);
    }
    if (pitchClasses.size() < 3) {
        return;
    }
    if (const std::optional<theory::RecognisedChord> chord = theory::RecogniseChord(held)) {
        emit chordRecognised(chord->rootIndex, chord->chordTypeIndex, chord->inversion);
    } else {
        emit unlistedChordHeld(QString::fromStdString(theory::HeldNoteNames(held)));
    }
}

}  // namespace quorvane::midi
