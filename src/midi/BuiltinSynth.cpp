#include "midi/BuiltinSynth.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include "midi/InstrumentLoader.h"
#include "midi/MidiLog.h"

namespace quorvane::midi {

namespace {

const std::filesystem::path kSoundfontFolder = "/usr/share/sounds/sf2";

// The errors FluidSynth reports while this thread opens the synthesizer; null at other times.
// Kept per thread, so that what the audio threads report never lands here.
thread_local std::vector<std::string>* tReports = nullptr;

// Collects the reports of this thread while it lives.
class ReportCapture {
  public:
    ReportCapture() : outer_(tReports) { tReports = &reports_; }
    ~ReportCapture() { tReports = outer_; }
    ReportCapture(const ReportCapture&) = delete;
    ReportCapture& operator=(const ReportCapture&) = delete;

    // What was reported since the last call, joined; `otherwise` when nothing was.
    std::string Take(const char* otherwise) {
        std::string text;
        for (const std::string& r : reports_) {
            text += (text.empty() ? "" : "; ") + r;
        }
        reports_.clear();
        return text.empty() ? otherwise : text;
    }

  private:
    std::vector<std::string> reports_;
    std::vector<std::string>* outer_;
};

// FluidSynth's errors while the synthesizer opens make the reason the open gives when it fails
// (its caller logs that); at other times they are failures of the running device, logged at
// once. Everything else FluidSynth and the ALSA library say goes to the debug log.
void Report(bool error, const char* source, const std::string& text) {
    if (error && tReports != nullptr) {
        tReports->push_back(text);
    }
    if (error && tReports == nullptr) {
        qCWarning(lcMidi).noquote() << source << text.c_str();
    } else {
        qCDebug(lcMidi).noquote() << source << text.c_str();
    }
}

void FluidSynthReport(int level, const char* message, void* /*data*/) {
    Report(level <= FLUID_ERR, "FluidSynth:", message != nullptr ? message : "");
}

void AlsaReport(const char* /*file*/, int /*line*/, const char* /*function*/, int err,
                const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::string line = text;
    if (err != 0) {
        line += std::string(": ") + snd_strerror(err);
    }
    Report(false, "ALSA:", line);
}

// FluidSynth and the ALSA library write to stderr by default; their reports go to the program's
// log instead.
void RouteFluidSynthLog(const FluidSynthLibrary& fluid) {
    snd_lib_error_set_handler(&AlsaReport);
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
        fluid.fluid_set_log_function(level, &FluidSynthReport, nullptr);
    }
}

class BuiltinSynthDevice final : public OutputDevice {
  public:
    BuiltinSynthDevice(std::unique_ptr<SynthSetup> setup, fluid_audio_driver_t* driver)
        : setup_(std::move(setup)),
          driver_(driver),
          loader_(std::make_unique<InstrumentLoader>(*setup_)) {}
    ~BuiltinSynthDevice() override { Close(); }
    BuiltinSynthDevice(const BuiltinSynthDevice&) = delete;
    BuiltinSynthDevice& operator=(const BuiltinSynthDevice&) = delete;

    bool NoteOn(int channel, int key, int velocity) override {
        return Send({SynthMessage::Kind::NoteOn, channel, key, velocity}, "a note-on");
    }
    bool NoteOff(int channel, int key, int /*velocity*/) override {
        return Send({SynthMessage::Kind::NoteOff, channel, key, 0}, "a note-off");
    }
    bool ProgramChange(int channel, int program) override {
        return Send({SynthMessage::Kind::ProgramChange, channel, program, 0}, "a program change");
    }
    bool ControlChange(int channel, int controller, int value) override {
        return Send({SynthMessage::Kind::ControlChange, channel, controller, value},
                    "a controller change");
    }
    bool Reset() override { return Send({SynthMessage::Kind::Reset}, "the reset"); }
    void Close() override {
        if (!closed_) {
            closed_ = true;
            loader_.reset();
            // The driver pulls audio from the synthesizer, so it goes first.
            setup_->fluid().delete_fluid_audio_driver(driver_);
            driver_ = nullptr;
        }
    }

    SynthSetup& Setup() { return *setup_; }

  private:
    bool Send(const SynthMessage& message, const char* what) {
        return !closed_ && Noted(loader_->Send(message), what);
    }
    // The first refusal is logged; the rest would say the same.
    bool Noted(bool ok, const char* what) {
        if (!ok && !refusalLogged_) {
            refusalLogged_ = true;
            qCWarning(lcMidi) << "The built-in synthesizer did not take" << what;
        }
        return ok;
    }

    std::unique_ptr<SynthSetup> setup_;
    fluid_audio_driver_t* driver_;
    std::unique_ptr<InstrumentLoader> loader_;
    bool refusalLogged_ = false;
    bool closed_ = false;
};

}  // namespace

SoundfontPlaces SystemSoundfontPlaces() {
    return {{kSoundfontFolder / "FluidR3_GM.sf2", kSoundfontFolder / "TimGM6mb.sf2"},
            kSoundfontFolder};
}

namespace {

bool IsSf2(const std::filesystem::path& file) {
    std::string ext = file.extension().string();
    for (char& c : ext) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return ext == ".sf2";
}

}  // namespace

std::optional<std::filesystem::path> ChooseGeneralMidiSoundfont(
    const SoundfontPlaces& places, const std::vector<std::filesystem::path>& present) {
    for (const std::filesystem::path& p : places.preferred) {
        if (std::find(present.begin(), present.end(), p) != present.end()) {
            return p;
        }
    }
    std::optional<std::filesystem::path> best;
    for (const std::filesystem::path& p : present) {
        if (p.parent_path() == places.folder && IsSf2(p) && (!best || p < *best)) {
            best = p;
        }
    }
    return best;
}

std::optional<std::filesystem::path> FindGeneralMidiSoundfont(const SoundfontPlaces& places) {
    std::error_code ec;
    std::vector<std::filesystem::path> present;
    for (const std::filesystem::path& p : places.preferred) {
        if (std::filesystem::is_regular_file(p, ec)) {
            present.push_back(p);
        }
    }
    for (std::filesystem::directory_iterator it(places.folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (std::filesystem::is_regular_file(it->path(), ec)) {
            present.push_back(it->path());
        }
    }
    return ChooseGeneralMidiSoundfont(places, present);
}

std::unique_ptr<SynthSetup> SynthSetup::Create(const std::filesystem::path& soundfont,
                                               std::string* error) {
    std::string ignored;
    std::string& why = error != nullptr ? *error : ignored;
    std::shared_ptr<const FluidSynthLibrary> fluid = FluidSynthLibrary::Load(&why);
    if (!fluid) {
        return nullptr;
    }
    RouteFluidSynthLog(*fluid);
    ReportCapture capture;
    std::unique_ptr<SynthSetup> setup(new SynthSetup());
    setup->fluid_ = std::move(fluid);
    const FluidSynthLibrary& f = *setup->fluid_;
    setup->settings_ = f.new_fluid_settings();
    if (setup->settings_ == nullptr) {
        why = "FluidSynth cannot make its settings: " + capture.Take("out of memory");
        return nullptr;
    }
    fluid_settings_t* s = setup->settings_;
    if (f.fluid_settings_setnum(s, "synth.gain", kSynthGain) != FLUID_OK ||
        f.fluid_settings_setnum(s, "synth.sample-rate", kSynthSampleRate) != FLUID_OK ||
        f.fluid_settings_setint(s, "audio.period-size", kAudioPeriodFrames) != FLUID_OK ||
        f.fluid_settings_setint(s, "audio.periods", kAudioPeriods) != FLUID_OK) {
        why = "FluidSynth refuses the gain, sample rate or buffer settings";
        return nullptr;
    }
    // Only the samples of the instruments the channels have chosen are read into memory: a full
    // General MIDI set can be well over a hundred megabytes, of which a chord uses one instrument.
    if (f.fluid_settings_setint(s, "synth.dynamic-sample-loading", 1) != FLUID_OK) {
        qCDebug(lcMidi) << "This FluidSynth loads every sample of the soundfont at once";
    }
    setup->synth_ = f.new_fluid_synth(s);
    if (setup->synth_ == nullptr) {
        why = "FluidSynth cannot make a synthesizer: " + capture.Take("no reason given");
        return nullptr;
    }
    if (!setup->UseSoundfont(soundfont, &why)) {
        return nullptr;
    }
    return setup;
}

bool SynthSetup::UseSoundfont(const std::filesystem::path& soundfont, std::string* error) {
    std::string ignored;
    std::string& why = error != nullptr ? *error : ignored;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(soundfont, ec)) {
        why = "The soundfont " + soundfont.string() +
              (std::filesystem::exists(soundfont, ec) ? " is not a file" : " does not exist");
        return false;
    }
    ReportCapture capture;
    // The new soundfont goes on top and every channel takes its program from it; only then is
    // the old one let go (FluidSynth frees it once no sounding voice uses it).
    const int id = fluid_->fluid_synth_sfload(synth_, soundfont.c_str(), 1);
    if (id == FLUID_FAILED) {
        why = "FluidSynth cannot load the soundfont " + soundfont.string() + ": " +
              capture.Take("no reason given");
        return false;
    }
    if (soundfontId_ >= 0 && fluid_->fluid_synth_sfunload(synth_, soundfontId_, 1) != FLUID_OK) {
        qCWarning(lcMidi).noquote() << "FluidSynth kept the soundfont" << soundfont_.c_str() << ":"
                                    << capture.Take("no reason given").c_str();
    }
    soundfontId_ = id;
    soundfont_ = soundfont;
    return true;
}

SynthSetup::~SynthSetup() {
    if (synth_ != nullptr) {
        fluid_->delete_fluid_synth(synth_);
    }
    if (settings_ != nullptr) {
        fluid_->delete_fluid_settings(settings_);
    }
}

namespace {

bool IsChannel(int channel) {
    return channel >= 0 && channel <= 15;
}
bool IsDataByte(int value) {
    return value >= 0 && value <= 127;
}

}  // namespace

bool SynthSetup::NoteOn(int channel, int key, int velocity) {
    if (!IsChannel(channel) || !IsDataByte(key) || !IsDataByte(velocity)) {
        return false;
    }
    const int result = fluid_->fluid_synth_noteon(synth_, channel, key, velocity);
    // A note-on with velocity 0 is a note-off, and a note-off for a note that no longer sounds
    // is not a failure of the device.
    return velocity == 0 || result == FLUID_OK;
}

bool SynthSetup::NoteOff(int channel, int key) {
    if (!IsChannel(channel) || !IsDataByte(key)) {
        return false;
    }
    fluid_->fluid_synth_noteoff(synth_, channel, key);
    return true;  // a note that no longer sounds is not a failure of the device
}

bool SynthSetup::ProgramChange(int channel, int program) {
    return IsProgramChange(channel, program) &&
           fluid_->fluid_synth_program_change(synth_, channel, program) == FLUID_OK;
}

bool SynthSetup::IsProgramChange(int channel, int program) {
    return IsChannel(channel) && IsDataByte(program);
}

namespace {

// The program never selects a bank: its channels play General MIDI bank 0, and the percussion
// channel FluidSynth's drum bank.
constexpr int kPercussionChannel = 9;
constexpr int kDrumBank = 128;

int BankOf(int channel) {
    return channel == kPercussionChannel ? kDrumBank : 0;
}

}  // namespace

int SynthSetup::PinProgram(int channel, int program) {
    const int font = soundfontId_;
    const bool pinned =
        IsProgramChange(channel, program) &&
        fluid_->fluid_synth_pin_preset(synth_, font, BankOf(channel), program) == FLUID_OK;
    return pinned ? font : -1;
}

void SynthSetup::UnpinProgram(int font, int channel, int program) {
    if (font >= 0 && IsProgramChange(channel, program)) {
        fluid_->fluid_synth_unpin_preset(synth_, font, BankOf(channel), program);
    }
}

bool SynthSetup::ControlChange(int channel, int controller, int value) {
    return IsChannel(channel) && IsDataByte(controller) && IsDataByte(value) &&
           fluid_->fluid_synth_cc(synth_, channel, controller, value) == FLUID_OK;
}

bool SynthSetup::Reset() {
    // The system reset puts controllers and programs back to their defaults but leaves sounding
    // voices to ring; All Sound Off on every channel, after it, cuts them.
    const bool reset = fluid_->fluid_synth_system_reset(synth_) == FLUID_OK;
    return fluid_->fluid_synth_all_sounds_off(synth_, -1) == FLUID_OK && reset;
}

std::unique_ptr<OutputDevice> OpenBuiltinSynth(const SoundfontPlaces& places, std::string* error) {
    const std::optional<std::filesystem::path> soundfont = FindGeneralMidiSoundfont(places);
    if (!soundfont) {
        if (error != nullptr) {
            *error = "No General MIDI soundfont was found in " + places.folder.string() +
                     " (none of the preferred files nor any other .sf2 file)";
        }
        return nullptr;
    }
    return OpenBuiltinSynth(*soundfont, error);
}

SynthSetup* BuiltinSynthSetup(OutputDevice* device) {
    auto* synth = dynamic_cast<BuiltinSynthDevice*>(device);
    return synth != nullptr ? &synth->Setup() : nullptr;
}

std::unique_ptr<OutputDevice> OpenBuiltinSynth(const std::filesystem::path& soundfont,
                                               std::string* error) {
    std::string ignored;
    std::string& why = error != nullptr ? *error : ignored;
    why.clear();
    std::unique_ptr<SynthSetup> setup = SynthSetup::Create(soundfont, &why);
    if (!setup) {
        return nullptr;
    }
    const FluidSynthLibrary& f = setup->fluid();
    fluid_settings_t* settings = setup->settings();
    // On JACK the outputs are connected to the system's playback ports, or nothing is heard;
    // on JACK and PulseAudio the program's name is shown, not FluidSynth's.
    if (f.fluid_settings_setstr(settings, "audio.jack.id", kAudioClientName) != FLUID_OK ||
        f.fluid_settings_setint(settings, "audio.jack.autoconnect", 1) != FLUID_OK) {
        qCDebug(lcMidi) << "This FluidSynth has no JACK output settings";
    }
    ReportCapture capture;
    std::string tried;
    for (const char* driverName : kAudioDrivers) {
        std::string outcome;
        if (f.fluid_settings_setstr(settings, "audio.driver", driverName) != FLUID_OK) {
            outcome = "not built into FluidSynth";
        } else if (fluid_audio_driver_t* driver =
                       f.new_fluid_audio_driver(settings, setup->synth())) {
            qCDebug(lcMidi) << "The built-in synthesizer plays through" << driverName;
            return std::make_unique<BuiltinSynthDevice>(std::move(setup), driver);
        } else {
            outcome = capture.Take("no output");
        }
        tried += (tried.empty() ? "" : "; ") + std::string(driverName) + ": " + outcome;
    }
    why = "No audio output could be opened (" + tried + ")";
    return nullptr;
}

}  // namespace quorvane::midi
