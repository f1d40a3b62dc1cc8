#pragma once
// modCommon: the process-wide MIDI state (the open output device and the playing settings), the
// operations on it, and ShutDown, the program's one way of ending.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "midi/OutputDevices.h"

namespace quorvane::midi {

class frmMIDI;

// The packed messages the program sends.
constexpr std::uint32_t NoteOnMessage(int noteOnBase, int velocity, int soundingKey, int octave) {
    return static_cast<std::uint32_t>(velocity * 65536 + noteOnBase +
                                      (soundingKey + 12 * octave) * 256);
}
constexpr std::uint32_t NoteOffMessage(std::uint32_t noteOn) {
    return noteOn - 16;
}
constexpr std::uint32_t ProgramChangeMessage(int midiChannel, int program) {
    return static_cast<std::uint32_t>(0xC0 + midiChannel + program * 256);
}

inline constexpr std::int32_t kMiddleCNoteOn = 0x3C90;
inline constexpr std::int32_t kStartNoteLength = 500;
inline constexpr std::int32_t kStartVelocity = 64;

class modCommon {
  public:
    // The devices and the clock are the program's; tests pass a recording service and a clock
    // of their own.
    explicit modCommon(std::unique_ptr<OutputDevices> devices,
                       std::unique_ptr<MidiClock> clock = std::make_unique<SteadyMidiClock>());
    ~modCommon();
    modCommon(const modCommon&) = delete;
    modCommon& operator=(const modCommon&) = delete;

    // ---- State -------------------------------------------------------------------------
    std::int32_t NoteLength = kStartNoteLength;  // milliseconds
    std::int32_t Velocity = kStartVelocity;      // 0..127
    std::int32_t MidiChannel = 0;                // 0..15, shown as 1..16
    std::int32_t NoteOnBase = kMiddleCNoteOn;    // 0x3C90 + MidiChannel
    std::int32_t Octave = 0;                     // -2..2
    // Nonzero while a device is open; changes with every open.
    std::int32_t MidiOutHandle() const { return device_ ? handle_ : 0; }
    // The device number of the open device, -1 when none is open.
    int OpenDeviceNumber() const { return device_ ? openDevice_ : -1; }

    // ---- Hooks set by the program --------------------------------------------------------
    // The MIDI settings window, created (hidden) on first use; nullptr when there is none.
    std::function<frmMIDI*()> MidiWindow;
    // Lets queued window events run once.
    std::function<void()> DoEvents;
    // A modal message box with an OK button; `reason`, when not empty, is shown below the text.
    std::function<void(const std::string& title, const std::string& text,
                       const std::string& reason)>
        ShowError;
    // True once the program has been asked from outside to end (ShutDownOnSignal is on its
    // way): a chord being held is released at once instead of at the end of its note length.
    std::function<bool()> EndRequested;
    // ShutDown's outside steps: the closing reminder (skipped when unset), unloading the
    // secondary windows, and ending the process.
    std::function<void()> ShowClosingReminder;
    std::function<void()> UnloadSecondaryWindows;
    std::function<void()> EndProcess;

    // ---- Operations ----------------------------------------------------------------------
    // Playing defaults, then the device list of the MIDI settings window. Opens no device.
    void InitMidi();
    struct ListedDevice {
        std::string name;
        int device;  // the number that opens it
    };
    // The output devices as they are now, in device-number order, without those whose name
    // cannot be read. Opens no device.
    std::vector<ListedDevice> ListDevices();
    // Closes the open device and opens device number `device`; on failure shows the message
    // and leaves no device open.
    void SelectDevice(int device);
    void SendProgramChange(int program);
    // `shown` is the channel as the user sees it, 1..16.
    void SetMidiChannel(int shown);
    // Sounds the chord of the given selection for NoteLength milliseconds.
    void PlayChord(int rootIndex, int chordTypeIndex, int inversion);
    // Silences the open device; it stays open.
    void ResetMidi();
    // Closing reminder, device closed, secondary windows unloaded, process ended. Runs once.
    void ShutDown();
    // The end asked for from outside the program (the desktop session ending, Ctrl+C in a
    // terminal): ShutDown without the closing reminder, as nobody is there to answer it. Runs
    // from the event loop, which never runs while a chord sounds, so every note-off has gone out
    // before the device is closed. Also ends a ShutDown that waits on its reminder.
    void ShutDownOnSignal();

    OutputDevices& Devices() { return *devices_; }
    MidiClock& Clock() { return *clock_; }

    static constexpr const char* kOpenFailedText = "Failed to open MIDI Device";
    static constexpr const char* kOpenFailedTitle = "Vazevizaro Error";

  private:
    void Send(std::uint32_t packed);
    void CloseDevice();
    // ShutDown's steps after the reminder; once.
    void FinishShutDown();

    std::unique_ptr<OutputDevices> devices_;
    std::unique_ptr<MidiClock> clock_;
    std::unique_ptr<OutputDevice> device_;
    int openDevice_ = -1;
    std::int32_t handle_ = 0;
    bool shuttingDown_ = false;
    bool finished_ = false;
};

}  // namespace quorvane::midi
