#include "midi/RtMidiSupport.h"

#include <jack/jack.h>

#include <csignal>
#include <cstdlib>
#include <mutex>

#include "midi/MidiLog.h"

namespace quorvane::midi {

void PrepareProcessForMidi() {
    static std::once_flag once;
    std::call_once(once, [] {
        // The audio and MIDI libraries write to their servers through sockets and pipes: a server
        // that goes away (a JACK server stopped or killed) would end the program by SIGPIPE at
        // the next write. Ignored for the whole process, before any device opens, the write
        // fails instead, and so does the device, silently.
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGPIPE, &ignore, nullptr);
        // Set once, before any audio or MIDI thread exists:
        // - A JACK client (the synthesizer's audio output, a JACK port) would otherwise try to
        //   launch a server of its own when none runs, which can take seconds and leave a stray
        //   process behind; only a running server is used.
        // - The synthesizer's PulseAudio stream is shown in volume mixers under the program's
        //   name and icon rather than FluidSynth's.
        setenv("JACK_NO_START_SERVER", "1", 0);
        setenv("PULSE_PROP_OVERRIDE",
               "application.name=\"Quorvane\" application.icon_name=\"quorvane\"", 0);
    });
}

void NoteFailure(RtMidiError::Type type, const std::string& text, void* status) {
    auto* s = static_cast<PortStatus*>(status);
    s->text = text;
    if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) {
        s->failed = true;
    }
}

void QuietJack() {
    static std::once_flag once;
    std::call_once(once, [] {
        jack_set_error_function([](const char* text) { qCDebug(lcMidi) << "JACK:" << text; });
        jack_set_info_function([](const char*) {});
    });
}

}  // namespace quorvane::midi
