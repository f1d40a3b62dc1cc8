#include "midi/SystemOutputs.h"

#include <jack/jack.h>
#include <rtmidi/RtMidi.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <system_error>

#include "midi/BuiltinSynth.h"
#include "midi/MidiLog.h"

namespace quorvane::midi {

namespace {

constexpr const char* kClientName = "Quorvane";

// What the MIDI library said about the last operation on a port object.
struct PortStatus {
    bool failed = false;
    std::string text;  // its last error or warning
};

// The MIDI library reports a failure through this callback instead of throwing once a port
// object exists; the status tells the caller the last operation failed, and why.
void NoteFailure(RtMidiError::Type type, const std::string& text, void* status) {
    auto* s = static_cast<PortStatus*>(status);
    s->text = text;
    if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) {
        s->failed = true;
    }
}

// The JACK library reports a missing server on stderr before the MIDI library sees the failure;
// a machine without a JACK server simply lists no JACK ports. What it says goes to the debug log.
void QuietJack() {
    static std::once_flag once;
    std::call_once(once, [] {
        jack_set_error_function([](const char* text) { qCDebug(lcMidi) << "JACK:" << text; });
        jack_set_info_function([](const char*) {});
    });
}

// A port object of the given interface, or nullptr when the interface is not available.
std::unique_ptr<RtMidiOut> MakePortObject(RtMidi::Api api, PortStatus* status) {
    if (api == RtMidi::LINUX_ALSA) {
        // Without a sequencer device the library would complain on stderr before failing.
        std::error_code ec;
        if (!std::filesystem::exists("/dev/snd/seq", ec)) {
            return nullptr;
        }
    }
    if (api == RtMidi::UNIX_JACK) {
        QuietJack();
    }
    // The library writes its warnings (a JACK server that is not running) to std::cerr while the
    // port object is made, before a callback can be set.
    struct SilenceCerr {
        std::streambuf* saved = std::cerr.rdbuf(nullptr);
        ~SilenceCerr() {
            std::cerr.rdbuf(saved);
            std::cerr.clear();  // writes while silenced left the stream failed
        }
    } silence;
    try {
        auto out = std::make_unique<RtMidiOut>(api, kClientName);
        out->setErrorCallback(&NoteFailure, status);
        return out;
    } catch (const std::exception& e) {
        status->failed = true;
        status->text = e.what();
        return nullptr;
    }
}

// The length of a short message from its status byte; 0 for system messages, which are not
// sent as short messages.
std::size_t ShortMessageLength(int status) {
    switch (status & 0xF0) {
        case 0xC0:
        case 0xD0:
            return 2;
        case 0x80:
        case 0x90:
        case 0xA0:
        case 0xB0:
        case 0xE0:
            return 3;
        default:
            return 0;
    }
}

class PortDevice final : public OutputDevice {
  public:
    PortDevice(std::unique_ptr<RtMidiOut> out, std::unique_ptr<PortStatus> status)
        : out_(std::move(out)), status_(std::move(status)) {}
    ~PortDevice() override {
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
    PortDevice(const PortDevice&) = delete;
    PortDevice& operator=(const PortDevice&) = delete;

    bool ShortMsg(std::uint32_t packed) override {
        const std::array<unsigned char, 3> bytes{static_cast<unsigned char>(StatusOf(packed)),
                                                 static_cast<unsigned char>(Data1Of(packed)),
                                                 static_cast<unsigned char>(Data2Of(packed))};
        const std::size_t length = ShortMessageLength(bytes[0]);
        if (length == 0) {
            return false;
        }
        return Send(bytes.data(), length);
    }

    // The library has no reset: All Sound Off and All Notes Off on every channel.
    bool Reset() override {
        bool ok = true;
        for (unsigned char channel = 0; channel < 16; ++channel) {
            const unsigned char status = static_cast<unsigned char>(0xB0 | channel);
            const std::array<unsigned char, 3> allSoundOff{status, 120, 0};
            const std::array<unsigned char, 3> allNotesOff{status, 123, 0};
            ok = Send(allSoundOff.data(), 3) && ok;
            ok = Send(allNotesOff.data(), 3) && ok;
        }
        return ok;
    }

  private:
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
};

}  // namespace

SystemOutputs::SystemOutputs(SoundfontPlaces soundfont) : soundfont_(std::move(soundfont)) {
    // The audio and MIDI libraries write to their servers through sockets and pipes: a server
    // that goes away (a JACK server stopped or killed) would end the program by SIGPIPE at the
    // next write. Ignored for the whole process, before any device opens, the write fails
    // instead, and so does the device, silently.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
    // Set once, before any audio or MIDI thread exists:
    // - A JACK client (the synthesizer's audio output, a JACK port) would otherwise try to
    //   launch a server of its own when none runs, which can take seconds and leave a stray
    //   process behind; only a running server is used.
    // - The synthesizer's PulseAudio stream is shown in volume mixers under the program's name
    //   and icon rather than FluidSynth's.
    setenv("JACK_NO_START_SERVER", "1", 0);
    setenv("PULSE_PROP_OVERRIDE",
           "application.name=\"Quorvane\" application.icon_name=\"quorvane\"", 0);
}
SystemOutputs::~SystemOutputs() = default;

void SystemOutputs::ListPorts() {
    ports_.clear();
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    for (RtMidi::Api api : apis) {
        if (api == RtMidi::RTMIDI_DUMMY) {
            continue;
        }
        PortStatus status;
        std::unique_ptr<RtMidiOut> out = MakePortObject(api, &status);
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
        return OpenBuiltinSynth(soundfont_, &lastOpenError_);
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
        MakePortObject(static_cast<RtMidi::Api>(port.api), status.get());
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
