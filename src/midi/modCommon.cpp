#include "midi/modCommon.h"

#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <optional>
#include <span>

#include "midi/MidiLog.h"
#include "theory/catalogue.h"
#include "theory/theory.h"

namespace quorvane::midi {

modCommon::modCommon(std::unique_ptr<OutputDevices> devices, std::unique_ptr<MidiClock> clock,
                     std::unique_ptr<InputPorts> inputs)
    : devices_(std::move(devices)),
      clock_(std::move(clock)),
      input_(std::move(inputs), *this, *clock_) {}

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
    emit octaveChanged();
    return true;
}

bool modCommon::SetPlayAs(PlayStyle style) {
    if (static_cast<std::size_t>(style) >= kPlayStyleNames.size()) {
        return false;
    }
    playAs_ = style;
    return true;
}

bool modCommon::SetPlaySpacing(int milliseconds) {
    if (playAs_ == PlayStyle::Chord || milliseconds < kShortestSpacing ||
        milliseconds > kLongestSpacing) {
        return false;
    }
    spacing_[static_cast<std::size_t>(playAs_)] = milliseconds;
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
    if (device_) {
        emit outputEnding();
    }
    input_.ReleaseEchoed();
    emit deviceClosing();
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

bool modCommon::Send(std::uint32_t packed) {
    if (!device_) {
        return false;
    }
    const int status = StatusOf(packed);
    const int channel = ChannelOf(status);
    switch (KindOf(status)) {
        case kNoteOn:
            return device_->NoteOn(channel, Data1Of(packed), Data2Of(packed));
        case kNoteOff:
            return device_->NoteOff(channel, Data1Of(packed), Data2Of(packed));
        case kProgramChange:
            return device_->ProgramChange(channel, Data1Of(packed));
        default:
            return false;  // the program sends no other message
    }
}

void modCommon::SendProgramChange(int program) {
    if (program >= 0 && program <= 127) {
        program_ = program;
    }
    Send(ProgramChangeMessage(midiChannel_, program));
}

std::vector<std::uint32_t> modCommon::ChordNoteOns(int rootIndex, int chordTypeIndex,
                                                   int inversion) const {
    theory::ChordVoicing voicing;
    if (chordTypeIndex >= 0 && chordTypeIndex < static_cast<int>(theory::ChordTypes.size())) {
        voicing = theory::VoiceChord(theory::ChordTypes[chordTypeIndex].intervals, rootIndex,
                                     inversion, theory::kTrebleClefOffset);
    }
    std::vector<std::uint32_t> noteOns;
    noteOns.reserve(voicing.size());
    for (const theory::ChordNote& note : voicing) {
        noteOns.push_back(NoteOnMessage(noteOnBase_, velocity_, note.soundingKey, octave_));
    }
    return noteOns;
}

std::vector<int> modCommon::ChordNotes(int rootIndex, int chordTypeIndex, int inversion) const {
    std::vector<int> notes;
    for (std::uint32_t on : ChordNoteOns(rootIndex, chordTypeIndex, inversion)) {
        notes.push_back(Data1Of(on));
    }
    return notes;
}

PlayPlan modCommon::PlanChord(const std::vector<int>& notes) const {
    return PlanPlay(notes, playAs_, PlaySpacing(), noteLength_);
}

bool modCommon::WaitUntil(MidiClock::time_point deadline) {
    while (clock_->Now() < deadline) {
        if (endRequested_ && endRequested_()) {
            return false;
        }
        clock_->SleepUntil(deadline);
    }
    return true;
}

void modCommon::PlayChord(int rootIndex, int chordTypeIndex, int inversion) {
    DoEvents();
    const MidiClock::time_point start = clock_->Now();
    // Every value is taken now, so a setting changed while the chord sounds releases exactly the
    // notes that were started.
    const std::vector<std::uint32_t> noteOns = ChordNoteOns(rootIndex, chordTypeIndex, inversion);
    std::vector<int> playedKeys;
    for (std::uint32_t on : noteOns) {
        playedKeys.push_back(Data1Of(on));
    }
    const PlayPlan plan = PlanChord(playedKeys);
    // What comes back of this chord on the input (an output connected to the input) is not
    // taken for the musician's playing.
    input_.PlayStarted(std::move(playedKeys), clock_->Now());
    // The window does not respond while the chord sounds; only the program's end cuts it short,
    // and the notes whose onset had not come then stay silent.
    std::vector<bool> started(noteOns.size(), false);
    bool going = true;
    for (const PlannedOnset& onset : plan.onsets) {
        going = going && WaitUntil(start + std::chrono::milliseconds(onset.atMs));
        if (going) {
            Send(noteOns[onset.note]);
            started[onset.note] = true;
        }
    }
    if (going) {
        WaitUntil(start + std::chrono::milliseconds(plan.endMs));
    }
    for (std::size_t i = 0; i < noteOns.size(); ++i) {
        if (started[i]) {
            Send(NoteOffMessage(noteOns[i]));
        }
    }
    input_.PlayEnded(clock_->Now());
    DoEvents();
}

void modCommon::ResetMidi() {
    if (device_) {
        emit outputEnding();
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

// ---- The built-in synthesizer's sound --------------------------------------------------------

bool modCommon::OpenSoundfont(const std::string& path) {
    std::string reason;
    if (devices_->UseSoundfont(path, device_.get(), &reason)) {
        qCInfo(lcMidi).noquote() << "The built-in synthesizer plays" << path.c_str();
        emit soundfontChanged(QString::fromStdString(path));
        return true;
    }
    qCWarning(lcMidi).noquote() << QStringLiteral("The soundfont %1 was not loaded: %2")
                                       .arg(QString::fromStdString(path),
                                            QString::fromStdString(reason));
    emit errorOccurred(QStringLiteral("Quorvane"),
                       QStringLiteral("The SoundFont \"%1\" could not be loaded; the built-in "
                                      "synthesizer keeps its sound.")
                           .arg(QFileInfo(QString::fromStdString(path)).fileName()),
                       QString::fromStdString(reason));
    return false;
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
