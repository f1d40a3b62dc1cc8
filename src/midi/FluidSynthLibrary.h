#pragma once
// FluidSynth, loaded when the built-in synthesizer is opened rather than when the program
// starts: the library and the audio and file libraries it brings along take several megabytes
// and dozens of relocations that a musician who never opens the synthesizer should not pay for.

#include <memory>
#include <string>

#include <fluidsynth.h>

namespace quorvane::midi {

// Every FluidSynth entry point the program uses, each under its own name.
#define QUORVANE_FLUID_FUNCTIONS(X) \
    X(new_fluid_settings)           \
    X(delete_fluid_settings)        \
    X(fluid_settings_setnum)        \
    X(fluid_settings_setint)        \
    X(fluid_settings_setstr)        \
    X(new_fluid_synth)              \
    X(delete_fluid_synth)           \
    X(fluid_synth_sfload)           \
    X(fluid_synth_sfunload)         \
    X(fluid_synth_noteon)           \
    X(fluid_synth_noteoff)          \
    X(fluid_synth_key_pressure)     \
    X(fluid_synth_cc)               \
    X(fluid_synth_program_change)   \
    X(fluid_synth_pin_preset)       \
    X(fluid_synth_unpin_preset)     \
    X(fluid_synth_channel_pressure) \
    X(fluid_synth_pitch_bend)       \
    X(fluid_synth_system_reset)     \
    X(fluid_synth_all_sounds_off)   \
    X(fluid_synth_write_float)      \
    X(new_fluid_audio_driver)       \
    X(delete_fluid_audio_driver)    \
    X(fluid_set_log_function)

struct FluidSynthLibrary {
#define QUORVANE_FLUID_MEMBER(name) decltype(&::name) name = nullptr;
    QUORVANE_FLUID_FUNCTIONS(QUORVANE_FLUID_MEMBER)
#undef QUORVANE_FLUID_MEMBER

    // The installed FluidSynth with every entry point resolved; nullptr when it is not
    // installed or lacks one, with the loader's reason in `error`. The library stays loaded
    // once opened (its audio threads and those of the libraries it uses must never find it
    // gone).
    static std::shared_ptr<const FluidSynthLibrary> Load(std::string* error = nullptr);
};

}  // namespace quorvane::midi
