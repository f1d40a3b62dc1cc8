#pragma once
// A JACK client that looks at a server from outside the program: it lists ports and their
// connections, records the audio of output ports, records the MIDI messages sent to an input
// port of its own, and sends MIDI messages from an output port of its own, as a keyboard would.
// Used by the tests and by the command-line tool jack_probe.
//
// It survives the server going away (with SIGPIPE ignored, as the program does): its calls then
// fail and closing it returns at once.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <jack/jack.h>
#include <jack/ringbuffer.h>

namespace quorvane::testing {

class JackProbe {
  public:
    // Connects to the server of that name (empty: the default server) without starting one;
    // nullptr when no such server runs.
    static std::unique_ptr<JackProbe> Connect(const std::string& server,
                                              const std::string& clientName = "jack_probe");
    ~JackProbe();
    JackProbe(const JackProbe&) = delete;
    JackProbe& operator=(const JackProbe&) = delete;

    // The client's name as the server gave it.
    std::string Name() const;
    int SampleRate() const;
    // False once the server has gone away.
    bool ServerAlive() const { return alive_.load(); }

    // Every port whose full name contains `part`, in the server's order.
    std::vector<std::string> Ports(const std::string& part = {}) const;
    // The ports connected to `port`; empty when it has none or does not exist.
    std::vector<std::string> Connections(const std::string& port) const;
    // Waits up to `seconds` for a port of that full name to appear.
    bool WaitForPort(const std::string& port, double seconds) const;

    // Records the audio of the given output ports (at most kMaxChannels), one channel each, from
    // now on. Once per probe; false when a port cannot be made or connected.
    bool RecordAudio(const std::vector<std::string>& sources);
    // The audio recorded since the last call, interleaved one sample per channel.
    std::vector<float> TakeAudio();
    std::size_t AudioChannels() const { return channels_; }

    // Makes a MIDI input port, "<client>:midi_in", whose messages are recorded; its full name,
    // empty when it cannot be made. Once per probe.
    std::string RecordMidi();
    // The MIDI messages received since the last call, in order.
    // `arrivals` gets each one's arrival, in nanoseconds of std::chrono::steady_clock.
    std::vector<std::vector<std::uint8_t>> TakeMidi(std::vector<std::int64_t>* arrivals = nullptr);

    // Makes a MIDI output port, "<client>:midi_out", that sends what SendMidi queues; its full
    // name, empty when it cannot be made. Once per probe.
    std::string PlayMidi();
    // Queues one message for the output port; it goes out in the next period. False when it
    // does not fit or there is no output port.
    bool SendMidi(const std::vector<std::uint8_t>& message);
    // Whether the output port is connected to any port.
    bool MidiOutConnected() const;
    // Connects two ports of any clients; false when the server refuses.
    bool ConnectPorts(const std::string& source, const std::string& destination);

    static constexpr std::size_t kMaxChannels = 8;

  private:
    JackProbe() = default;
    static int Process(std::uint32_t frames, void* self);
    static void Shutdown(void* self);

    jack_client_t* client_ = nullptr;
    std::atomic<bool> alive_{true};
    // Written before they are published through the atomics the process callback reads.
    std::array<jack_port_t*, kMaxChannels> audioIn_{};
    std::size_t channels_ = 0;
    jack_ringbuffer_t* audio_ = nullptr;
    std::atomic<bool> recordingAudio_{false};
    jack_port_t* midiIn_ = nullptr;
    jack_ringbuffer_t* midi_ = nullptr;
    std::atomic<bool> recordingMidi_{false};
    jack_port_t* midiOut_ = nullptr;
    jack_ringbuffer_t* midiToSend_ = nullptr;
    std::atomic<bool> playingMidi_{false};
};

}  // namespace quorvane::testing
