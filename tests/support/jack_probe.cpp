// jack_probe: looks at a JACK server from outside a program under test.
//
// Usage:
//   jack_probe [-s SERVER] [-c CLIENT] ports [PART]
//       Lists every port whose full name contains PART, one per line, followed by the ports it
//       is connected to:  "Quorvane:left -> system:playback_1".
//   jack_probe [-s SERVER] [-c CLIENT] wait PORT [SECONDS]
//       Waits until the port PORT exists (10 seconds at most by default).
//   jack_probe [-s SERVER] [-c CLIENT] record SECONDS FILE PORT...
//       Records the audio of the output ports PORT... for SECONDS seconds into FILE: raw 32-bit
//       float samples, native byte order, interleaved with one channel per PORT in the order
//       given, at the server's rate. Then prints one line:
//       "rate=48000 channels=2 frames=96000 peak=0.312 rms=0.041".
//   jack_probe [-s SERVER] [-c CLIENT] midi SECONDS
//       Makes the MIDI input port CLIENT:midi_in ("jack_probe:midi_in"), prints its full name
//       on the first line, then each MIDI message it receives during SECONDS seconds as
//       hexadecimal bytes, one message a line, as it arrives: "90 3c 40", each after a line
//       with the microsecond of the steady clock (CLOCK_MONOTONIC) it arrived at: "t=1234567".
//   jack_probe [-s SERVER] [-c CLIENT] connect SOURCE DESTINATION
//       Connects the port SOURCE to the port DESTINATION.
//   jack_probe [-s SERVER] [-c CLIENT] flood SECONDS RATE
//       Like "play", but sends what a broken device or a loop might: a 1 MB system exclusive in
//       pieces, then for SECONDS seconds RATE note messages a second (notes 0 to 127, on a
//       channel that changes under held notes, as note-offs or note-ons of velocity 0), the
//       sustain pedal toggled 1000 times a second, running status, alone and after garbage;
//       then every note off and the pedal up on every channel, and C E G held for a moment.
//       Prints "flooded N" (messages).
//   jack_probe [-s SERVER] [-c CLIENT] play SECONDS EVENT...
//       Makes the MIDI output port CLIENT:midi_out, prints its full name on the first line, waits
//       up to SECONDS seconds until a port is connected to it, then sends the EVENTs in order: a
//       MIDI message as hexadecimal bytes joined by commas ("90,40,50"), or "+MS" to wait MS
//       milliseconds. Prints "played" when done, and keeps the port a moment for the last
//       messages to go out. Exit status 1 when nothing connected in time.
//
// SERVER defaults to $JACK_DEFAULT_SERVER, else the default server; a server is never started.
// CLIENT defaults to "jack_probe". SIGTERM or SIGINT end "record" and "midi" early (the file and
// the output are complete up to there).
// Exit status: 0 done (for "wait": the port exists), 1 no server, no such port or a port that
// cannot be made or connected, 2 wrong usage.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "JackProbe.h"

namespace {

volatile std::sig_atomic_t gStop = 0;

void Stop(int) {
    gStop = 1;
}

int Usage() {
    std::fputs(
        "usage: jack_probe [-s SERVER] [-c CLIENT] ports [PART]\n"
        "       jack_probe [-s SERVER] [-c CLIENT] wait PORT [SECONDS]\n"
        "       jack_probe [-s SERVER] [-c CLIENT] record SECONDS FILE PORT...\n"
        "       jack_probe [-s SERVER] [-c CLIENT] midi SECONDS\n"
        "       jack_probe [-s SERVER] [-c CLIENT] connect SOURCE DESTINATION\n"
        "       jack_probe [-s SERVER] [-c CLIENT] flood SECONDS RATE\n"
        "       jack_probe [-s SERVER] [-c CLIENT] play SECONDS EVENT...\n",
        stderr);
    return 2;
}

bool ParseSeconds(const char* text, double* seconds) {
    char* end = nullptr;
    *seconds = std::strtod(text, &end);
    return end != text && *end == '\0' && *seconds >= 0 && *seconds < 3600;
}

// Runs `step` every 10 ms for `seconds` or until a stop signal.
template <typename Step>
void RunFor(double seconds, Step step) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (gStop == 0 && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        step();
    }
    step();
}

int Ports(quorvane::testing::JackProbe& probe, const std::string& part) {
    for (const std::string& port : probe.Ports(part)) {
        std::string line = port;
        const std::vector<std::string> connections = probe.Connections(port);
        for (std::size_t i = 0; i < connections.size(); ++i) {
            line += (i == 0 ? " -> " : ", ") + connections[i];
        }
        std::puts(line.c_str());
    }
    return 0;
}

int Record(quorvane::testing::JackProbe& probe, double seconds, const char* file,
           const std::vector<std::string>& ports) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) {
        std::fprintf(stderr, "jack_probe: cannot write %s\n", file);
        return 1;
    }
    if (!probe.RecordAudio(ports)) {
        std::fputs("jack_probe: cannot connect to the ports\n", stderr);
        return 1;
    }
    std::size_t samples = 0;
    double peak = 0.0;
    double sum = 0.0;
    RunFor(seconds, [&] {
        const std::vector<float> block = probe.TakeAudio();
        for (float s : block) {
            peak = std::max(peak, static_cast<double>(std::fabs(s)));
            sum += static_cast<double>(s) * s;
        }
        samples += block.size();
        out.write(reinterpret_cast<const char*>(block.data()),
                  static_cast<std::streamsize>(block.size() * sizeof(float)));
    });
    out.close();
    std::printf("rate=%d channels=%zu frames=%zu peak=%.4f rms=%.4f\n", probe.SampleRate(),
                ports.size(), samples / ports.size(), peak,
                samples > 0 ? std::sqrt(sum / static_cast<double>(samples)) : 0.0);
    return out ? 0 : 1;
}

int Midi(quorvane::testing::JackProbe& probe, double seconds) {
    const std::string port = probe.RecordMidi();
    if (port.empty()) {
        std::fputs("jack_probe: cannot make the MIDI input port\n", stderr);
        return 1;
    }
    std::printf("%s\n", port.c_str());
    std::fflush(stdout);
    RunFor(seconds, [&] {
        std::vector<std::int64_t> arrivals;
        const std::vector<std::vector<std::uint8_t>> messages = probe.TakeMidi(&arrivals);
        for (std::size_t m = 0; m < messages.size(); ++m) {
            std::printf("t=%lld\n", static_cast<long long>(arrivals[m] / 1000));
            std::string line;
            for (std::uint8_t byte : messages[m]) {
                char hex[4];
                std::snprintf(hex, sizeof hex, line.empty() ? "%02x" : " %02x", byte);
                line += hex;
            }
            std::puts(line.c_str());
            std::fflush(stdout);
        }
    });
    return 0;
}

// One EVENT of "play": a message ("90,40,50") or a wait ("+300", milliseconds).
struct PlayEvent {
    std::vector<std::uint8_t> message;
    int waitMs = 0;
};

bool ParseEvent(const std::string& text, PlayEvent* event) {
    if (!text.empty() && text[0] == '+') {
        char* end = nullptr;
        const long ms = std::strtol(text.c_str() + 1, &end, 10);
        event->waitMs = static_cast<int>(ms);
        return end != text.c_str() + 1 && *end == '\0' && ms >= 0 && ms < 600000;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string part = text.substr(start, comma - start);
        char* end = nullptr;
        const long byte = std::strtol(part.c_str(), &end, 16);
        if (part.empty() || *end != '\0' || byte < 0 || byte > 0xFF) {
            return false;
        }
        event->message.push_back(static_cast<std::uint8_t>(byte));
        start = comma + 1;
    }
    return !event->message.empty();
}

int Play(quorvane::testing::JackProbe& probe, double seconds,
         const std::vector<PlayEvent>& events) {
    const std::string port = probe.PlayMidi();
    if (port.empty()) {
        std::fputs("jack_probe: cannot make the MIDI output port\n", stderr);
        return 1;
    }
    std::printf("%s\n", port.c_str());
    std::fflush(stdout);
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!probe.MidiOutConnected()) {
        if (gStop != 0 || std::chrono::steady_clock::now() > until) {
            std::fputs("jack_probe: nothing connected to the output port\n", stderr);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (const PlayEvent& e : events) {
        if (gStop != 0) {
            break;
        }
        if (e.message.empty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(e.waitMs));
        } else if (!probe.SendMidi(e.message)) {
            std::fputs("jack_probe: the output queue is full\n", stderr);
            return 1;
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::puts("played");
    return 0;
}

// Queues a message, waiting while the queue is full.
bool SendWhenRoom(quorvane::testing::JackProbe& probe, const std::vector<std::uint8_t>& message) {
    while (!probe.SendMidi(message)) {
        if (gStop != 0 || !probe.ServerAlive()) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

int Flood(quorvane::testing::JackProbe& probe, double seconds, int rate) {
    if (Play(probe, 60, {}) != 0) {
        return 1;
    }
    std::mt19937 random(1);
    std::uint64_t sent = 0;
    const auto send = [&](std::vector<std::uint8_t> message) {
        sent += SendWhenRoom(probe, message) ? 1 : 0;
    };
    std::vector<std::uint8_t> piece{0xF0};
    for (int byte = 0; byte < (1 << 20); ++byte) {
        piece.push_back(static_cast<std::uint8_t>(byte & 0x7F));
        if (piece.size() == 250) {
            send(piece);
            piece.clear();
        }
    }
    piece.push_back(0xF7);
    send(piece);
    const auto start = std::chrono::steady_clock::now();
    std::uint8_t channel = 0;
    bool pedal = false;
    for (int tick = 0; tick < seconds * 1000 && gStop == 0; ++tick) {
        if (tick % 50 == 0) {
            channel = static_cast<std::uint8_t>(random() % 16);  // under the notes still held
        }
        for (int n = 0; n < rate / 1000; ++n) {
            const auto key = static_cast<std::uint8_t>(n == 0 ? (tick % 2) * 127 : random() % 128);
            const bool on = random() % 2 == 0;
            send({static_cast<std::uint8_t>((on || n % 3 == 0 ? 0x90 : 0x80) | channel), key,
                  static_cast<std::uint8_t>(on ? 1 + random() % 127 : 0)});
        }
        pedal = !pedal;
        send({static_cast<std::uint8_t>(0xB0 | channel), 64,
              pedal ? std::uint8_t{127} : std::uint8_t{0}});
        if (tick % 100 == 0) {
            send({0xF4});  // garbage: the data after it belongs to no message
            send({0x3C, 0x40});
            send({static_cast<std::uint8_t>(0x90 | channel), 0x3C, 0x40});
            send({0x3E, 0x40});  // running status: a second note-on
        }
        std::this_thread::sleep_until(start + std::chrono::milliseconds(tick + 1));
    }
    for (std::uint8_t c = 0; c < 16; ++c) {
        send({static_cast<std::uint8_t>(0xB0 | c), 64, 0});
        for (std::uint8_t key = 0; key < 128; ++key) {
            send({static_cast<std::uint8_t>(0x80 | c), key, 0});
        }
    }
    // Then C major, which names itself only if nothing else is held.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (std::uint8_t key : {60, 64, 67}) {
        send({0x90, key, 80});
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (std::uint8_t key : {60, 64, 67}) {
        send({0x80, key, 0});
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::printf("flooded %llu\n", static_cast<unsigned long long>(sent));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);  // the server may go away while we talk to it
    std::signal(SIGTERM, &Stop);
    std::signal(SIGINT, &Stop);

    std::string server;
    if (const char* fromEnv = std::getenv("JACK_DEFAULT_SERVER")) {
        server = fromEnv;
    }
    std::string client = "jack_probe";
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == '-'; i += 2) {
        if (std::strcmp(argv[i], "-s") == 0) {
            server = argv[i + 1];
        } else if (std::strcmp(argv[i], "-c") == 0) {
            client = argv[i + 1];
        } else {
            return Usage();
        }
    }
    if (i >= argc) {
        return Usage();
    }
    const std::string command = argv[i];
    const std::vector<std::string> args(argv + i + 1, argv + argc);
    double seconds = 10.0;
    const bool usageOk =
        (command == "ports" && args.size() <= 1) ||
        (command == "wait" && !args.empty() && args.size() <= 2 &&
         (args.size() == 1 || ParseSeconds(args[1].c_str(), &seconds))) ||
        (command == "record" && args.size() >= 3 && ParseSeconds(args[0].c_str(), &seconds) &&
         args.size() - 2 <= quorvane::testing::JackProbe::kMaxChannels) ||
        (command == "midi" && args.size() == 1 && ParseSeconds(args[0].c_str(), &seconds)) ||
        (command == "play" && args.size() >= 2 && ParseSeconds(args[0].c_str(), &seconds)) ||
        (command == "connect" && args.size() == 2) ||
        (command == "flood" && args.size() == 2 && ParseSeconds(args[0].c_str(), &seconds) &&
         std::atoi(args[1].c_str()) >= 1000);
    std::vector<PlayEvent> events;
    for (std::size_t a = 1; usageOk && command == "play" && a < args.size(); ++a) {
        PlayEvent event;
        if (!ParseEvent(args[a], &event)) {
            return Usage();
        }
        events.push_back(std::move(event));
    }
    if (!usageOk) {
        return Usage();
    }

    std::unique_ptr<quorvane::testing::JackProbe> probe =
        quorvane::testing::JackProbe::Connect(server, client);
    if (!probe) {
        std::fprintf(stderr, "jack_probe: no JACK server%s%s is running\n",
                     server.empty() ? "" : " named ", server.c_str());
        return 1;
    }
    if (command == "ports") {
        return Ports(*probe, args.empty() ? std::string() : args[0]);
    }
    if (command == "wait") {
        return probe->WaitForPort(args[0], seconds) ? 0 : 1;
    }
    if (command == "record") {
        return Record(*probe, seconds, args[1].c_str(), {args.begin() + 2, args.end()});
    }
    if (command == "play") {
        return Play(*probe, seconds, events);
    }
    if (command == "connect") {
        return probe->ConnectPorts(args[0], args[1]) ? 0 : 1;
    }
    if (command == "flood") {
        return Flood(*probe, seconds, std::atoi(args[1].c_str()));
    }
    return Midi(*probe, seconds);
}
