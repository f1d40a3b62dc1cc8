#include "midi/modCommon.h"

#include <chrono>

#include "midi/MidiLog.h"
#include "midi/frmMIDI.h"
#include "theory/catalogue.h"
#include "theory/theory.h"

namespace quorvane::midi {

modCommon::modCommon(std::unique_ptr<OutputDevices> devices, std::unique_ptr<MidiClock> clock)
    : devices_(std::move(devices)), clock_(std::move(clock)) {}

modCommon::~modCommon() = default;

void modCommon::InitMidi() {
    // The note length and volume start at what the settings window shows.
    NoteLength = kStartNoteLength;
    Velocity = kStartVelocity;
    NoteOnBase = kMiddleCNoteOn + MidiChannel;

    for (const ListedDevice& listed : ListDevices()) {
        if (frmMIDI* window = MidiWindow ? MidiWindow() : nullptr) {
            window->AddDevice(listed.name, listed.device);
        }
    }
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
        if (ShowError) {
            ShowError(kOpenFailedTitle, kOpenFailedText, reason);
        }
        return;
    }
    openDevice_ = device;
    ++handle_;
    if (handle_ <= 0) {
        handle_ = 1;
    }
}

void modCommon::Send(std::uint32_t packed) {
    if (device_) {
        device_->ShortMsg(packed);  // a failed send is not reported
    }
}

void modCommon::SendProgramChange(int program) {
    Send(ProgramChangeMessage(MidiChannel, program));
}

void modCommon::SetMidiChannel(int shown) {
    NoteOnBase -= MidiChannel;
    MidiChannel = shown - 1;
    NoteOnBase += MidiChannel;
}

void modCommon::PlayChord(int rootIndex, int chordTypeIndex, int inversion) {
    if (DoEvents) {
        DoEvents();
    }
    const MidiClock::time_point end = clock_->Now() + std::chrono::milliseconds(NoteLength);

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
        noteOns.push_back(NoteOnMessage(NoteOnBase, Velocity, note.soundingKey, Octave));
    }
    for (std::uint32_t on : noteOns) {
        Send(on);
    }
    // The window does not respond while the chord sounds; only the program's end cuts it short.
    while (clock_->Now() < end && !(EndRequested && EndRequested())) {
        clock_->SleepUntil(end);
    }
    for (std::uint32_t on : noteOns) {
        Send(NoteOffMessage(on));
    }
    if (DoEvents) {
        DoEvents();
    }
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
    if (ShowClosingReminder) {
        ShowClosingReminder();
    }
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
    CloseDevice();  // no reset first
    if (UnloadSecondaryWindows) {
        UnloadSecondaryWindows();
    }
    if (EndProcess) {
        EndProcess();
    }
}

}  // namespace quorvane::midi
