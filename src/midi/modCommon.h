#pragma once
// modCommon: the process-wide MIDI state (the open output device and the playing settings), the
// operations on it, and ShutDown, the program's one way of ending. The steps that belong to the
// rest of the program (messages, yields, the closing reminder, unloading, the end of the process)
// are signals the program connects.

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "midi/InputPorts.h"
#include "midi/MidiInput.h"
#include "midi/MidiStatus.h"
#include "midi/OutputDevices.h"
#include "midi/PlayPlan.h"

namespace quorvane::midi {

// Packed short messages: status byte in bits 0..7, first data byte in bits 8..15, second in bits
// 16..23. The program composes its messages this way; modCommon hands each to the device as a
// typed call.
constexpr std::uint32_t PackShortMsg(int status, int data1, int data2) {
    return static_cast<std::uint32_t>(status & 0xFF) |
           (static_cast<std::uint32_t>(data1 & 0xFF) << 8) |
           (static_cast<std::uint32_t>(data2 & 0xFF) << 16);
}
constexpr int StatusOf(std::uint32_t packed) {
    return static_cast<int>(packed & 0xFF);
}
constexpr int Data1Of(std::uint32_t packed) {
    return static_cast<int>((packed >> 8) & 0xFF);
}
constexpr int Data2Of(std::uint32_t packed) {
    return static_cast<int>((packed >> 16) & 0xFF);
}

// The packed messages the program sends.
constexpr std::uint32_t NoteOnMessage(int noteOnBase, int velocity, int soundingKey, int octave) {
    return static_cast<std::uint32_t>(velocity * 65536 + noteOnBase +
                                      (soundingKey + 12 * octave) * 256);
}
constexpr std::uint32_t NoteOffMessage(std::uint32_t noteOn) {
    return noteOn - (kNoteOn - kNoteOff);
}
constexpr std::uint32_t ProgramChangeMessage(int midiChannel, int program) {
    return static_cast<std::uint32_t>(ChannelStatus(kProgramChange, midiChannel) + program * 256);
}

// Middle C's note-on on channel 0, the base every note-on is counted from.
inline constexpr std::int32_t kMiddleCNoteOn = kNoteOn + 60 * 256;
inline constexpr std::int32_t kStartNoteLength = 500;
inline constexpr std::int32_t kStartVelocity = 64;
// What the settings window's note-length slider can set.
inline constexpr std::int32_t kShortestNoteLength = 500;
inline constexpr std::int32_t kLongestNoteLength = 2500;
inline constexpr std::int32_t kLowestOctave = -2;
inline constexpr std::int32_t kHighestOctave = 2;

class modCommon : public QObject, private EchoTarget {
    Q_OBJECT
  public:
    // The devices, the clock and the input ports are the program's; tests pass a recording
    // service, a clock and input ports of their own. Without input ports none is listed.
    explicit modCommon(std::unique_ptr<OutputDevices> devices,
                       std::unique_ptr<MidiClock> clock = std::make_unique<SteadyMidiClock>(),
                       std::unique_ptr<InputPorts> inputs = nullptr);
    ~modCommon() override;
    modCommon(const modCommon&) = delete;
    modCommon& operator=(const modCommon&) = delete;

    // ---- State -------------------------------------------------------------------------
    // Each setter refuses a value outside its range (returns false and keeps the value).
    std::int32_t NoteLength() const { return noteLength_; }  // milliseconds, 500..2500
    bool SetNoteLength(int milliseconds);
    std::int32_t Velocity() const { return velocity_; }  // 0..127
    bool SetVelocity(int velocity);
    std::int32_t MidiChannel() const { return midiChannel_; }  // 0..15, shown as 1..16
    // `shown` is the channel as the user sees it, 1..16.
    bool SetMidiChannel(int shown);
    std::int32_t NoteOnBase() const { return noteOnBase_; }  // kMiddleCNoteOn + MidiChannel
    std::int32_t Octave() const { return octave_; }          // -2..2
    bool SetOctave(int octave);
    // How Play lays the notes out in time (a block chord at start), and the spacing between
    // onsets of that style, kShortestSpacing..kLongestSpacing; each style keeps its own.
    PlayStyle PlayAs() const { return playAs_; }
    bool SetPlayAs(PlayStyle style);
    int PlaySpacing() const { return spacing_[static_cast<std::size_t>(playAs_)]; }
    int SpacingOf(PlayStyle style) const { return spacing_[static_cast<std::size_t>(style)]; }
    // Refused for a block chord, which has no spacing.
    bool SetPlaySpacing(int milliseconds);
    // Nonzero while a device is open; changes with every open.
    std::int32_t MidiOutHandle() const { return device_ ? handle_ : 0; }
    bool DeviceOpen() const { return device_ != nullptr; }
    // The device number of the open device, -1 when none is open.
    int OpenDeviceNumber() const { return device_ ? openDevice_ : -1; }

    // ---- Where the outside world comes in ------------------------------------------------
    // True once the program has been asked from outside to end (ShutDownOnSignal is on its
    // way): a chord being held is released at once instead of at the end of its note length.
    void SetEndRequested(std::function<bool()> endRequested) {
        endRequested_ = std::move(endRequested);
    }

    // ---- Operations ----------------------------------------------------------------------
    struct ListedDevice {
        std::string name;
        int device;  // the number that opens it
    };
    // Playing defaults; the output devices for the settings window to list. Opens no device.
    std::vector<ListedDevice> InitMidi();
    // The output devices as they are now, in device-number order, without those whose name
    // cannot be read. Opens no device.
    std::vector<ListedDevice> ListDevices();
    // Closes the open device and opens device number `device`; on failure shows the message
    // and leaves no device open.
    void SelectDevice(int device);
    // Sends the instrument and keeps it as the one every exported file names.
    void SendProgramChange(int program);
    int Instrument() const { return program_; }  // 0..127, the last sent (0 at start)
    // Hands a packed message to the open device; false when none is open or it refused it (its
    // server gone, say).
    bool Send(std::uint32_t packed);
    // Sounds the chord of the given selection for NoteLength milliseconds, laid out as PlayAs.
    void PlayChord(int rootIndex, int chordTypeIndex, int inversion);
    // The MIDI note numbers Play sounds for the selection, in the chord's list order, and when.
    std::vector<int> ChordNotes(int rootIndex, int chordTypeIndex, int inversion) const;
    PlayPlan PlanChord(const std::vector<int>& notes) const;
    // Silences the open device; it stays open.
    void ResetMidi();
    // Lets queued window events run once.
    void DoEvents() { emit yieldRequested(); }
    // Closing reminder, device closed, secondary windows unloaded, process ended. Runs once.
    void ShutDown();
    // The end asked for from outside the program (the desktop session ending, Ctrl+C in a
    // terminal): ShutDown without the closing reminder, as nobody is there to answer it. Runs
    // from the event loop, which never runs while a chord sounds, so every note-off has gone out
    // before the device is closed. Also ends a ShutDown that waits on its reminder.
    void ShutDownOnSignal();

    // ---- The built-in synthesizer's sound ------------------------------------------------
    // The soundfont file the built-in synthesizer plays, or will play once opened; empty when
    // it has none.
    std::string Soundfont() const { return devices_->Soundfont(); }
    // The built-in synthesizer plays the soundfont file at `path` from now on, at once when it
    // is open, keeping its instrument. A file that does not load keeps the current sound and
    // shows a message saying why; false then.
    bool OpenSoundfont(const std::string& path);

    // ---- MIDI input ---------------------------------------------------------------------
    // The input ports as they are now, by name.
    std::vector<std::string> ListInputs() { return input_.List(); }
    // Closes the open input and opens the port of that name. On failure shows a message and
    // leaves no input open; false then.
    bool OpenInput(const std::string& name);
    // Closes the open input (if any); the notes it echoed and that still sound are released.
    void CloseInput() { input_.Close(); }
    bool InputOpen() const { return input_.IsOpen(); }
    // Whether played notes are echoed to the open output device (on at start). Switched off,
    // the echoed notes still sounding are released.
    bool Echo() const { return input_.Echo(); }
    void SetEcho(bool echo) { input_.SetEcho(echo); }
    // Handles one message of the input at once, on the user-interface thread; `arrived` is when
    // it came in. Tests and benchmarks call it directly.
    void HandleInput(const QByteArray& bytes, MidiClock::time_point arrived) {
        input_.Handle(bytes, arrived);
    }
    // The notes held on the input now, sustained ones included (MIDI note numbers, lowest
    // first, each once).
    std::vector<int> HeldNotes() const { return input_.HeldNotes(); }
    MidiInput& Input() { return input_; }

    OutputDevices& Devices() { return *devices_; }
    MidiClock& Clock() { return *clock_; }

    static constexpr const char* kOpenFailedText = "Failed to open MIDI Device";
    static constexpr const char* kOpenFailedTitle = "Vazevizaro Error";

  signals:
    // A modal message box with an OK button is due; `reason`, when not empty, goes below the
    // text. Connected directly: the box is answered before the operation goes on.
    void errorOccurred(const QString& title, const QString& text, const QString& reason);
    // Queued window events are to run once, now (connected directly).
    void yieldRequested();
    // The open device is about to be closed or silenced: whatever sounds through it is to be
    // released now, while it still takes messages (connected directly).
    void outputEnding();
    // ShutDown's outside steps, in this order, each connected directly: the closing reminder
    // (shown modally; returns when answered), unloading the secondary windows, and ending the
    // process.
    void closingReminderRequested();
    void secondaryWindowsUnloadRequested();
    void endProcessRequested();
    // The octave shift changed: what is held is drawn on other keys.
    void octaveChanged();
    // The device is about to be closed (or none is open and another is opened): what the window's
    // notes started is to be released now (connected directly).
    void deviceClosing();
    // The built-in synthesizer plays the soundfont file `path` from now on.
    void soundfontChanged(const QString& path);

  private:
    void CloseDevice();
    // The note-ons of the selection's notes, in the chord's list order.
    std::vector<std::uint32_t> ChordNoteOns(int rootIndex, int chordTypeIndex, int inversion) const;
    // Sleeps until the deadline; false when the program was asked to end before it came.
    bool WaitUntil(MidiClock::time_point deadline);
    // ShutDown's steps after the reminder; once.
    void FinishShutDown();
    OutputDevice* EchoDevice() override { return device_.get(); }
    int EchoChannel() const override { return midiChannel_; }

    std::unique_ptr<OutputDevices> devices_;
    std::unique_ptr<MidiClock> clock_;
    std::unique_ptr<OutputDevice> device_;
    std::function<bool()> endRequested_;
    std::int32_t noteLength_ = kStartNoteLength;
    std::int32_t velocity_ = kStartVelocity;
    std::int32_t midiChannel_ = 0;
    std::int32_t noteOnBase_ = kMiddleCNoteOn;
    std::int32_t octave_ = 0;
    PlayStyle playAs_ = PlayStyle::Chord;
    std::array<int, kPlayStyleNames.size()> spacing_ = kStartSpacing;
    int program_ = 0;
    int openDevice_ = -1;
    std::int32_t handle_ = 0;
    bool shuttingDown_ = false;
    bool finished_ = false;

    // Declared last: it releases its echo through the device when it goes.
    MidiInput input_;
};

}  // namespace quorvane::midi
