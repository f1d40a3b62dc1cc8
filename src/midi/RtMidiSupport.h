#pragma once
// What the system's output and input ports share in their use of the MIDI library (RtMidi):
// setting the process up for it, its failure reports, and making a port object quietly.

#include <rtmidi/RtMidi.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>

namespace quorvane::midi {

inline constexpr const char* kClientName = "Quorvane";

// What the MIDI library said about the last operation on a port object.
struct PortStatus {
    bool failed = false;
    std::string text;  // its last error or warning
};

// Once, before any audio or MIDI thread exists: a server that goes away no longer ends the
// program by SIGPIPE, and no JACK client starts a server of its own.
void PrepareProcessForMidi();

// The MIDI library reports a failure through this callback instead of throwing once a port
// object exists; `status` (a PortStatus) tells the caller the last operation failed, and why.
void NoteFailure(RtMidiError::Type type, const std::string& text, void* status);

// The JACK library reports a missing server on stderr; what it says goes to the debug log.
void QuietJack();

// A port object (RtMidiOut or RtMidiIn) of the given interface, or nullptr when the interface is
// not available (with the reason in `status`).
template <typename PortObject>
std::unique_ptr<PortObject> MakePortObject(RtMidi::Api api, PortStatus* status) {
    if (api == RtMidi::LINUX_ALSA) {
        // Without a sequencer device the library would complain on stderr before failing.
        std::error_code ec;
        if (!std::filesystem::exists("/dev/snd/seq", ec)) {
            status->text = "there is no ALSA sequencer";
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
        auto port = std::make_unique<PortObject>(api, kClientName);
        port->setErrorCallback(&NoteFailure, status);
        return port;
    } catch (const std::exception& e) {
        status->failed = true;
        status->text = e.what();
        return nullptr;
    }
}

}  // namespace quorvane::midi
