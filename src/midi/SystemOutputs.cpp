#include "midi/SystemOutputs.h"

#include <array>

#include "midi/BuiltinSynth.h"
#include "midi/MidiLog.h"
#include "midi/MidiStatus.h"
#include "midi/RtMidiSupport.h"

namespace quorvane::midi {

namespace {

class PortDevice final : public OutputDevice {
  public:
    PortDevice(std::unique_ptr<RtMidiOut> out, std::unique_ptr<PortStatus> status)
        : out_(std::move(out)), status_(std::move(status)) {}
    ~PortDevice() override { Close(); }
    PortDevice(const PortDevice&) = delete;
    PortDevice& operator=(const PortDevice&) = delete;

    bool NoteOn(int channel, int key, int velocity) override {
        return SendChannelMessage(kNoteOn, channel, key, velocity);
    }
    bool NoteOff(int channel, int key, int velocity) override {
        return SendChannelMessage(kNoteOff, channel, key, velocity);
    }
    bool ControlChange(int channel, int controller, int value) override {
        return SendChannelMessage(kControlChange, channel, controller, value);
    }
    bool ProgramChange(int channel, int program) override {
        if (closed_ || !InRange(channel, 15) || !InRange(program, 127)) {
            return false;
        }
        const std::array<unsigned char, 2> bytes{
            static_cast<unsigned char>(ChannelStatus(kProgramChange, channel)),
            static_cast<unsigned char>(program)};
        return Send(bytes.data(), bytes.size());
    }

    void Close() override {
        if (closed_) {
            return;
        }
        closed_ = true;
        status_->failed = false;
        try {
            out_->closePort();
        } catch (const std::exception& e) {
            status_->failed = true;
            status_->text = e.what();
        }
        // Closing failures are of no consequence beyond the log.
        if (status_->failed) {
            qCWarning(lcMidi).noquote() << "Closing the MIDI port failed:" << status_->text.c_str();
        }
    }

    // The library has no reset: All Sound Off and All Notes Off on every channel.
    bool Reset() override {
        if (closed_) {
            return false;
        }
        bool ok = true;
        for (unsigned char channel = 0; channel < 16; ++channel) {
            const unsigned char status =
                static_cast<unsigned char>(ChannelStatus(kControlChange, channel));
            const std::array<unsigned char, 3> allSoundOff{status, kAllSoundOffController, 0};
            const std::array<unsigned char, 3> allNotesOff{status, kAllNotesOffController, 0};
            ok = Send(allSoundOff.data(), 3) && ok;
            ok = Send(allNotesOff.data(), 3) && ok;
        }
        return ok;
    }

  private:
    static bool InRange(int value, int maximum) { return value >= 0 && value <= maximum; }

    bool SendChannelMessage(int status, int channel, int key, int velocity) {
        if (closed_ || !InRange(channel, 15) || !InRange(key, 127) || !InRange(velocity, 127)) {
            return false;
        }
        const std::array<unsigned char, 3> bytes{static_cast<unsigned char>(status | channel),
                                                 static_cast<unsigned char>(key),
                                                 static_cast<unsigned char>(velocity)};
        return Send(bytes.data(), bytes.size());
    }

    bool Send(const unsigned char* bytes, std::size_t length) {
        status_->failed = false;
        try {
            out_->sendMessage(bytes, length);
        } catch (const std::exception& e) {
            status_->failed = true;
            status_->text = e.what();
        }
        // The first failure is logged; the ones after it would say the same.
        if (status_->failed && !failureLogged_) {
            failureLogged_ = true;
            qCWarning(lcMidi).noquote()
                << "The MIDI port does not take messages:" << status_->text.c_str();
        }
        return !status_->failed;
    }

    std::unique_ptr<RtMidiOut> out_;
    std::unique_ptr<PortStatus> status_;
    bool failureLogged_ = false;
    bool closed_ = false;
};

}  // namespace

SystemOutputs::SystemOutputs(SoundfontPlaces soundfont) : soundfont_(std::move(soundfont)) {
    PrepareProcessForMidi();
}
SystemOutputs::~SystemOutputs() = default;

std::string SystemOutputs::Soundfont() const {
    if (chosenSoundfont_) {
        return chosenSoundfont_->string();
    }
    const std::optional<std::filesystem::path> found = FindGeneralMidiSoundfont(soundfont_);
    return found ? found->string() : std::string();
}

bool SystemOutputs::UseSoundfont(const std::string& path, OutputDevice* open, std::string* error) {
    SynthSetup* playing = BuiltinSynthSetup(open);
    const bool loaded = playing != nullptr ? playing->UseSoundfont(path, error)
                                           : SynthSetup::Create(path, error) != nullptr;
    if (loaded) {
        chosenSoundfont_ = path;
    }
    return loaded;
}

void SystemOutputs::ListPorts() {
    ports_.clear();
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    for (RtMidi::Api api : apis) {
        if (api == RtMidi::RTMIDI_DUMMY) {
            continue;
        }
        PortStatus status;
        std::unique_ptr<RtMidiOut> out = MakePortObject<RtMidiOut>(api, &status);
        if (!out) {
            qCDebug(lcMidi).noquote() << RtMidi::getApiDisplayName(api).c_str()
                                      << "lists no ports:" << status.text.c_str();
            continue;
        }
        const unsigned count = out->getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            status.failed = false;
            std::string name = out->getPortName(i);
            if (status.failed) {
                qCDebug(lcMidi).noquote()
                    << "The name of a MIDI port cannot be read:" << status.text.c_str();
                name.clear();
            }
            ports_.push_back({static_cast<int>(api), i, std::move(name)});
        }
    }
    listed_ = true;
}

int SystemOutputs::GetNumDevs() {
    ListPorts();
    return 1 + static_cast<int>(ports_.size());
}

std::optional<std::string> SystemOutputs::GetDevName(int device) {
    if (device == 0) {
        return std::string(kBuiltinSynthName);
    }
    if (!listed_) {
        ListPorts();
    }
    if (device < 0 || device > static_cast<int>(ports_.size())) {
        return std::nullopt;
    }
    const Port& port = ports_[static_cast<std::size_t>(device - 1)];
    if (port.name.empty()) {
        return std::nullopt;
    }
    return FitDeviceName(port.name);
}

std::unique_ptr<OutputDevice> SystemOutputs::Open(int device) {
    lastOpenError_.clear();
    if (device == 0) {
        return chosenSoundfont_ ? OpenBuiltinSynth(*chosenSoundfont_, &lastOpenError_)
                                : OpenBuiltinSynth(soundfont_, &lastOpenError_);
    }
    if (!listed_) {
        ListPorts();
    }
    if (device < 0 || device > static_cast<int>(ports_.size())) {
        lastOpenError_ = "There is no MIDI output device number " + std::to_string(device);
        return nullptr;
    }
    const Port& port = ports_[static_cast<std::size_t>(device - 1)];
    auto status = std::make_unique<PortStatus>();
    std::unique_ptr<RtMidiOut> out =
        MakePortObject<RtMidiOut>(static_cast<RtMidi::Api>(port.api), status.get());
    if (!out) {
        lastOpenError_ = status->text;
        return nullptr;
    }
    // The port list may have changed since it was read: the port is found again by its name.
    const unsigned count = out->getPortCount();
    std::optional<unsigned> found;
    for (unsigned i = 0; i < count && !found; ++i) {
        if (out->getPortName(i) == port.name) {
            found = i;
        }
    }
    if (!found) {
        lastOpenError_ = "The MIDI port " + port.name + " is no longer there";
        if (!status->text.empty()) {
            lastOpenError_ += " (" + status->text + ")";
        }
        return nullptr;
    }
    status->failed = false;
    try {
        out->openPort(*found, kClientName);
    } catch (const std::exception& e) {
        status->failed = true;
        status->text = e.what();
    }
    if (status->failed || !out->isPortOpen()) {
        lastOpenError_ = "The MIDI port " + port.name + " cannot be opened: " +
                         (status->text.empty() ? std::string("no reason given") : status->text);
        return nullptr;
    }
    return std::make_unique<PortDevice>(std::move(out), std::move(status));
}

}  // namespace quorvane::midi
