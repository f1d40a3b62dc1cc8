#pragma once
// The built-in General MIDI synthesizer: FluidSynth with the General MIDI soundfont, as the
// first output device. The synthesizer set-up is shared by the device, which plays it through
// the desktop's audio output, and by anything that renders it offline.

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "midi/FluidSynthLibrary.h"
#include "midi/OutputDevices.h"

#include <fluidsynth.h>

namespace quorvane::midi {

// The device's name in the list.
inline constexpr std::string_view kBuiltinSynthName = "Quorvane GM Synthesizer";

// Output gain of the synthesizer: a chord at the middle velocity sounds at a normal listening
// level and a six-note chord at full velocity stays below full scale.
inline constexpr double kSynthGain = 0.75;
inline constexpr int kSynthSampleRate = 48000;
// Two periods of 128 frames: about 5 ms of audio queued after a note-on at 48 kHz.
inline constexpr int kAudioPeriodFrames = 128;
inline constexpr int kAudioPeriods = 2;

// The audio outputs tried, in order: PulseAudio (also served by PipeWire desktops), a running
// JACK server, ALSA, SDL2.
inline constexpr std::array<const char*, 4> kAudioDrivers{"pulseaudio", "jack", "alsa", "sdl2"};

// Its client name in the audio server (the JACK patchbay, the PulseAudio volume mixer).
inline constexpr const char* kAudioClientName = "Quorvane";

// Where the General MIDI soundfont is looked for: the preferred file where it exists, else the
// first soundfont in the folder.
struct SoundfontPlaces {
    std::filesystem::path preferred;
    std::filesystem::path folder;
};
// The system's: TimGM6mb in the system's soundfont folder.
SoundfontPlaces SystemSoundfontPlaces();

std::optional<std::filesystem::path> FindGeneralMidiSoundfont();
std::optional<std::filesystem::path> FindGeneralMidiSoundfont(
    const std::filesystem::path& preferred, const std::filesystem::path& folder);

// A FluidSynth synthesizer with the program's settings and the soundfont loaded.
class SynthSetup {
  public:
    // nullptr when the synthesizer cannot be made or the soundfont cannot be loaded, with the
    // reason in `error`.
    static std::unique_ptr<SynthSetup> Create(const std::filesystem::path& soundfont,
                                              std::string* error = nullptr);
    ~SynthSetup();
    SynthSetup(const SynthSetup&) = delete;
    SynthSetup& operator=(const SynthSetup&) = delete;

    // The FluidSynth entry points this synthesizer was made with.
    const FluidSynthLibrary& fluid() const { return *fluid_; }
    fluid_settings_t* settings() const { return settings_; }
    fluid_synth_t* synth() const { return synth_; }

    // Plays one message on the synthesizer; false when it was not taken.
    bool NoteOn(int channel, int key, int velocity);
    bool NoteOff(int channel, int key);
    bool ProgramChange(int channel, int program);
    bool ControlChange(int channel, int controller, int value);
    // FluidSynth's system reset: every note off, controllers and programs to their defaults.
    bool Reset();

  private:
    SynthSetup() = default;
    std::shared_ptr<const FluidSynthLibrary> fluid_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
};

// Opens the built-in synthesizer on the first audio output that answers; nullptr when no
// soundfont, no FluidSynth or no audio output can be had, with the reason in `error`. On JACK
// its outputs are connected to the system's playback ports.
std::unique_ptr<OutputDevice> OpenBuiltinSynth(
    const SoundfontPlaces& places = SystemSoundfontPlaces(), std::string* error = nullptr);

}  // namespace quorvane::midi
