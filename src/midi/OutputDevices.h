#pragma once
// The MIDI output service the program plays through: devices listed by number with a name query
// that may fail, opened by number, each taking note-on, note-off and program-change messages and
// a reset, closed on request or when released; and the monotonic clock that times a played chord.

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace quorvane::midi {

// Device names are kept to what a 32-byte, zero-terminated name field holds.
inline constexpr std::size_t kMaxDeviceNameLength = 31;

// Cuts a name to kMaxDeviceNameLength bytes without splitting a UTF-8 character.
std::string FitDeviceName(std::string name);

// One open output device. Channels are 0..15, keys, velocities and programs 0..127. Destroying
// it closes it.
class OutputDevice {
  public:
    virtual ~OutputDevice() = default;
    // Each returns false when the device did not take the message.
    virtual bool NoteOn(int channel, int key, int velocity) = 0;
    virtual bool NoteOff(int channel, int key, int velocity) = 0;
    virtual bool ProgramChange(int channel, int program) = 0;
    // A controller change (the sustain pedal is controller 64); controllers and values 0..127.
    virtual bool ControlChange(int channel, int controller, int value) = 0;
    // Silences every note on every channel of the device.
    virtual bool Reset() = 0;
    // Closes the device; it takes nothing afterwards. Closing twice does nothing.
    virtual void Close() = 0;
};

// The list of output devices, by number 0..GetNumDevs()-1.
class OutputDevices {
  public:
    virtual ~OutputDevices() = default;
    virtual int GetNumDevs() = 0;
    // The device's product name (at most 31 characters); nullopt when the query fails.
    virtual std::optional<std::string> GetDevName(int device) = 0;
    // Opens the device; nullptr when it cannot be opened.
    virtual std::unique_ptr<OutputDevice> Open(int device) = 0;
    // Why the last Open gave no device, in words; empty when it gave one or nothing is known.
    virtual std::string LastOpenError() const { return {}; }
    // The soundfont file the built-in synthesizer plays, or plays once opened; empty when it
    // has none (or there is no built-in synthesizer).
    virtual std::string Soundfont() const { return {}; }
    // The built-in synthesizer plays the soundfont file `path` from now on; `open` is the open
    // device (or nullptr), which takes it at once when it is the synthesizer. A file that does
    // not load changes nothing: false, with the reason in `error`.
    virtual bool UseSoundfont(const std::string& /*path*/, OutputDevice* /*open*/,
                              std::string* error) {
        if (error != nullptr) {
            *error = "There is no built-in synthesizer";
        }
        return false;
    }
};

// The clock a played chord is timed by.
class MidiClock {
  public:
    using time_point = std::chrono::steady_clock::time_point;
    virtual ~MidiClock() = default;
    virtual time_point Now() = 0;
    // Blocks the calling thread until Now() has reached the deadline (or returns at once when it
    // already has). Never spins.
    virtual void SleepUntil(time_point deadline) = 0;
};

// The system's monotonic clock.
class SteadyMidiClock final : public MidiClock {
  public:
    time_point Now() override;
    void SleepUntil(time_point deadline) override;
};

}  // namespace quorvane::midi
