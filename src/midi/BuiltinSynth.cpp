#include "midi/BuiltinSynth.h"

#include <alsa/asoundlib.h>

#include <cctype>
#include <cstdlib>
#include <system_error>

namespace quorvane::midi {

namespace {

const std::filesystem::path kPreferredSoundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
const std::filesystem::path kSoundfontFolder = "/usr/share/sounds/sf2";

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// FluidSynth and the ALSA library report to stderr by default; the program keeps quiet and
// shows failures its own way.
void QuietFluidSynthLog(const FluidSynthLibrary& fluid) {
    snd_lib_error_set_handler(&IgnoreAlsaError);
    for (int level : {FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
        fluid.fluid_set_log_function(level, nullptr, nullptr);
    }
}

class BuiltinSynthDevice final : public OutputDevice {
  public:
    BuiltinSynthDevice(std::unique_ptr<SynthSetup> setup, fluid_audio_driver_t* driver)
        : setup_(std::move(setup)), driver_(driver) {}
    ~BuiltinSynthDevice() override {
        // The driver pulls audio from the synthesizer, so it goes first.
        setup_->fluid().delete_fluid_audio_driver(driver_);
    }
    BuiltinSynthDevice(const BuiltinSynthDevice&) = delete;
    BuiltinSynthDevice& operator=(const BuiltinSynthDevice&) = delete;

    bool ShortMsg(std::uint32_t packed) override { return setup_->ShortMsg(packed); }
    bool Reset() override { return setup_->Reset(); }

  private:
    std::unique_ptr<SynthSetup> setup_;
    fluid_audio_driver_t* driver_;
};

}  // namespace

std::optional<std::filesystem::path> FindGeneralMidiSoundfont(
    const std::filesystem::path& preferred, const std::filesystem::path& folder) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(preferred, ec)) {
        return preferred;
    }
    std::optional<std::filesystem::path> best;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::filesystem::path& p = it->path();
        std::string ext = p.extension().string();
        for (char& c : ext) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (ext == ".sf2" && std::filesystem::is_regular_file(p, ec) && (!best || p < *best)) {
            best = p;
        }
    }
    return best;
}

std::optional<std::filesystem::path> FindGeneralMidiSoundfont() {
    return FindGeneralMidiSoundfont(kPreferredSoundfont, kSoundfontFolder);
}

std::unique_ptr<SynthSetup> SynthSetup::Create(const std::filesystem::path& soundfont) {
    std::shared_ptr<const FluidSynthLibrary> fluid = FluidSynthLibrary::Load();
    if (!fluid) {
        return nullptr;
    }
    QuietFluidSynthLog(*fluid);
    std::unique_ptr<SynthSetup> setup(new SynthSetup());
    setup->fluid_ = std::move(fluid);
    const FluidSynthLibrary& f = *setup->fluid_;
    setup->settings_ = f.new_fluid_settings();
    if (setup->settings_ == nullptr) {
        return nullptr;
    }
    fluid_settings_t* s = setup->settings_;
    if (f.fluid_settings_setnum(s, "synth.gain", kSynthGain) != FLUID_OK ||
        f.fluid_settings_setnum(s, "synth.sample-rate", kSynthSampleRate) != FLUID_OK ||
        f.fluid_settings_setint(s, "audio.period-size", kAudioPeriodFrames) != FLUID_OK ||
        f.fluid_settings_setint(s, "audio.periods", kAudioPeriods) != FLUID_OK) {
        return nullptr;
    }
    setup->synth_ = f.new_fluid_synth(s);
    if (setup->synth_ == nullptr) {
        return nullptr;
    }
    if (f.fluid_synth_sfload(setup->synth_, soundfont.c_str(), 1) == FLUID_FAILED) {
        return nullptr;
    }
    return setup;
}

SynthSetup::~SynthSetup() {
    if (synth_ != nullptr) {
        fluid_->delete_fluid_synth(synth_);
    }
    if (settings_ != nullptr) {
        fluid_->delete_fluid_settings(settings_);
    }
}

bool SynthSetup::ShortMsg(std::uint32_t packed) {
    const int status = StatusOf(packed);
    const int channel = status & 0x0F;
    const int data1 = Data1Of(packed) & 0x7F;
    const int data2 = Data2Of(packed) & 0x7F;
    int result = FLUID_FAILED;
    switch (status & 0xF0) {
        case 0x80:
            fluid_->fluid_synth_noteoff(synth_, channel, data1);
            // A note-off for a note that no longer sounds is not a failure of the device.
            return true;
        case 0x90:
            result = fluid_->fluid_synth_noteon(synth_, channel, data1, data2);
            if (data2 == 0) {
                return true;  // a note-on with velocity 0 is a note-off
            }
            break;
        case 0xA0:
            result = fluid_->fluid_synth_key_pressure(synth_, channel, data1, data2);
            break;
        case 0xB0:
            result = fluid_->fluid_synth_cc(synth_, channel, data1, data2);
            break;
        case 0xC0:
            result = fluid_->fluid_synth_program_change(synth_, channel, data1);
            break;
        case 0xD0:
            result = fluid_->fluid_synth_channel_pressure(synth_, channel, data1);
            break;
        case 0xE0:
            result = fluid_->fluid_synth_pitch_bend(synth_, channel, data1 | (data2 << 7));
            break;
        default:
            return false;
    }
    return result == FLUID_OK;
}

bool SynthSetup::Reset() {
    // The system reset puts controllers and programs back to their defaults but leaves sounding
    // voices to ring; All Sound Off on every channel, after it, cuts them.
    const bool reset = fluid_->fluid_synth_system_reset(synth_) == FLUID_OK;
    return fluid_->fluid_synth_all_sounds_off(synth_, -1) == FLUID_OK && reset;
}

std::unique_ptr<OutputDevice> OpenBuiltinSynth() {
    const std::optional<std::filesystem::path> soundfont = FindGeneralMidiSoundfont();
    if (!soundfont) {
        return nullptr;
    }
    std::unique_ptr<SynthSetup> setup = SynthSetup::Create(*soundfont);
    if (!setup) {
        return nullptr;
    }
    const FluidSynthLibrary& f = setup->fluid();
    for (const char* driverName : kAudioDrivers) {
        if (f.fluid_settings_setstr(setup->settings(), "audio.driver", driverName) != FLUID_OK) {
            continue;
        }
        if (fluid_audio_driver_t* driver =
                f.new_fluid_audio_driver(setup->settings(), setup->synth())) {
            return std::make_unique<BuiltinSynthDevice>(std::move(setup), driver);
        }
    }
    return nullptr;
}

}  // namespace quorvane::midi
