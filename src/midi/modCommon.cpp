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
    : devices_(std::move(devices)),
      clock_(std::move(clock)),
      input_(std::move(inputs), *this, *clock_) {
    connect(&input_, &MidiInput::chordRecognised, this, &modCommon::chordRecognised);
    connect(&input_, &MidiInput::unlistedChordHeld, this, &modCommon::unlistedChordHeld);
}

modCommon::~modCommon() {
    input_.Close();  // its echo is released while the device is still here
}

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
    input_.ReleaseEchoed();
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
    std::vector<int> playedKeys;
    for (std::uint32_t on : noteOns) {
        playedKeys.push_back(Data1Of(on));
    }
    input_.PlayStarted(std::move(playedKeys), clock_->Now());
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
    input_.PlayEnded(clock_->Now());
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

bool modCommon::OpenInput(const std::string& name) {
    std::string reason;
    if (input_.Open(name, &reason)) {
        return true;
    }
    qCWarning(lcMidi).noquote() << QStringLiteral("Failed to open MIDI input port %1: %2")
                                       .arg(QString::fromStdString(name),
                                            QString::fromStdString(reason));
    emit errorOccurred(QStringLiteral("Quorvane"),
                       QStringLiteral("The MIDI input port \"%1\" could not be opened.")
                           .arg(QString::fromStdString(name)),
                       QString::fromStdString(reason));
    return false;
}

}  // namespace quorvane::midi
