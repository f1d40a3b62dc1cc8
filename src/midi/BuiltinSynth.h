#pragma once
// The built-in General MIDI synthesizer: FluidSynth with the General MIDI soundfont, as the
// first output device. The synthesizer set-up is shared by the device, which plays it through
// the desktop's audio output, and by anything that renders it offline.

#include <array>
#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Where the General MIDI soundfont is looked for: the first of the preferred files that exists,
// else the first soundfont in the folder.
struct SoundfontPlaces {
    std::vector<std::filesystem::path> preferred;
    std::filesystem::path folder;
};
// The system's, in the system's soundfont folder: FluidR3 GM, the fuller and truer set, before
// TimGM6mb, the small one.
SoundfontPlaces SystemSoundfontPlaces();

// The soundfont to play among the files that exist (`present`: any of the preferred files and
// the folder's files, in any order); nullopt when none will do.
std::optional<std::filesystem::path> ChooseGeneralMidiSoundfont(
    const SoundfontPlaces& places, const std::vector<std::filesystem::path>& present);
// The same choice among the files on disk now.
std::optional<std::filesystem::path> FindGeneralMidiSoundfont(
    const SoundfontPlaces& places = SystemSoundfontPlaces());

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
    static bool IsProgramChange(int channel, int program);
    // Reads the samples of the instrument `program` would give `channel` and keeps them in
    // memory until unpinned; the program change itself then only switches. The soundfont's id,
    // or -1 when it lacks the instrument (the change then reads the samples itself).
    int PinProgram(int channel, int program);
    // Lets FluidSynth free the samples again once no channel plays the instrument.
    void UnpinProgram(int font, int channel, int program);
    bool ControlChange(int channel, int controller, int value);
    // FluidSynth's system reset: every note off, controllers and programs to their defaults.
    bool Reset();
    // Plays `soundfont` from now on in place of the one loaded, keeping each channel's program.
    // A file that does not load leaves the synthesizer as it was; false then, with the reason in
    // `error`.
    bool UseSoundfont(const std::filesystem::path& soundfont, std::string* error = nullptr);
    const std::filesystem::path& Soundfont() const { return soundfont_; }

  private:
    SynthSetup() = default;
    std::shared_ptr<const FluidSynthLibrary> fluid_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    std::filesystem::path soundfont_;
    // Read by the thread that pins instruments.
    std::atomic<int> soundfontId_ = -1;
};

// Opens the built-in synthesizer with `soundfont` on the first audio output that answers;
// nullptr when the soundfont, FluidSynth or an audio output cannot be had, with the reason in
// `error`. On JACK its outputs are connected to the system's playback ports.
std::unique_ptr<OutputDevice> OpenBuiltinSynth(const std::filesystem::path& soundfont,
                                               std::string* error = nullptr);
// The same with the General MIDI soundfont found in `places`.
std::unique_ptr<OutputDevice> OpenBuiltinSynth(
    const SoundfontPlaces& places = SystemSoundfontPlaces(), std::string* error = nullptr);
// The synthesizer behind `device` when it is the built-in synthesizer, else nullptr.
SynthSetup* BuiltinSynthSetup(OutputDevice* device);

}  // namespace quorvane::midi
