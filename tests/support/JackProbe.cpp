#include "JackProbe.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

namespace quorvane::testing {

namespace {

// Room for half a minute per channel at 48 kHz, and for thousands of MIDI messages.
constexpr std::size_t kAudioBytesPerChannel = 30 * 48000 * sizeof(float);
constexpr std::size_t kMidiBufferBytes = 1 << 16;

std::vector<std::string> TakeNames(const char** names) {
    std::vector<std::string> out;
    if (names == nullptr) {
        return out;
    }
    for (const char** n = names; *n != nullptr; ++n) {
        out.emplace_back(*n);
    }
    jack_free(static_cast<void*>(names));
    return out;
}

}  // namespace

std::unique_ptr<JackProbe> JackProbe::Connect(const std::string& server,
                                              const std::string& clientName) {
    std::unique_ptr<JackProbe> probe(new JackProbe());
    jack_status_t status{};
    const auto options = static_cast<jack_options_t>(
        JackNoStartServer | (server.empty() ? JackNullOption : JackServerName));
    probe->client_ = server.empty()
                         ? jack_client_open(clientName.c_str(), options, &status)
                         : jack_client_open(clientName.c_str(), options, &status, server.c_str());
    if (probe->client_ == nullptr) {
        return nullptr;
    }
    jack_on_shutdown(probe->client_, &JackProbe::Shutdown, probe.get());
    if (jack_set_process_callback(probe->client_, &JackProbe::Process, probe.get()) != 0 ||
        jack_activate(probe->client_) != 0) {
        return nullptr;
    }
    return probe;
}

JackProbe::~JackProbe() {
    if (client_ != nullptr) {
        // After the server has gone this fails at once.
        jack_client_close(client_);
    }
    if (audio_ != nullptr) {
        jack_ringbuffer_free(audio_);
    }
    if (midi_ != nullptr) {
        jack_ringbuffer_free(midi_);
    }
    if (midiToSend_ != nullptr) {
        jack_ringbuffer_free(midiToSend_);
    }
}

void JackProbe::Shutdown(void* self) {
    static_cast<JackProbe*>(self)->alive_.store(false);
}

int JackProbe::Process(std::uint32_t frames, void* arg) {
    auto* self = static_cast<JackProbe*>(arg);
    const std::int64_t cycleStart =
        std::chrono::nanoseconds(std::chrono::steady_clock::now().time_since_epoch()).count();
    if (self->recordingAudio_.load(std::memory_order_acquire)) {
        std::array<const float*, kMaxChannels> in{};
        for (std::size_t c = 0; c < self->channels_; ++c) {
            in[c] = static_cast<const float*>(jack_port_get_buffer(self->audioIn_[c], frames));
        }
        const std::size_t frameBytes = self->channels_ * sizeof(float);
        for (std::uint32_t f = 0; f < frames; ++f) {
            if (jack_ringbuffer_write_space(self->audio_) < frameBytes) {
                break;  // full: the rest of the period is dropped
            }
            for (std::size_t c = 0; c < self->channels_; ++c) {
                jack_ringbuffer_write(self->audio_, reinterpret_cast<const char*>(&in[c][f]),
                                      sizeof(float));
            }
        }
    }
    if (self->recordingMidi_.load(std::memory_order_acquire)) {
        void* buffer = jack_port_get_buffer(self->midiIn_, frames);
        const std::uint32_t count = jack_midi_get_event_count(buffer);
        for (std::uint32_t i = 0; i < count; ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, buffer, i) != 0 || event.size == 0 ||
                event.size > 255) {
                continue;
            }
            if (jack_ringbuffer_write_space(self->midi_) < event.size + 1 + sizeof(cycleStart)) {
                break;
            }
            // This cycle's start, then the message's frame in it.
            const std::int64_t at = cycleStart + std::int64_t{event.time} * 1'000'000'000 /
                                                     jack_get_sample_rate(self->client_);
            const auto size = static_cast<unsigned char>(event.size);
            jack_ringbuffer_write(self->midi_, reinterpret_cast<const char*>(&size), 1);
            jack_ringbuffer_write(self->midi_, reinterpret_cast<const char*>(&at), sizeof at);
            jack_ringbuffer_write(self->midi_, reinterpret_cast<const char*>(event.buffer),
                                  event.size);
        }
    }
    if (self->playingMidi_.load(std::memory_order_acquire)) {
        void* buffer = jack_port_get_buffer(self->midiOut_, frames);
        jack_midi_clear_buffer(buffer);
        unsigned char size = 0;
        while (jack_ringbuffer_read_space(self->midiToSend_) >= 1) {
            jack_ringbuffer_peek(self->midiToSend_, reinterpret_cast<char*>(&size), 1);
            if (jack_ringbuffer_read_space(self->midiToSend_) < 1u + size ||
                jack_midi_max_event_size(buffer) < size) {
                break;  // the rest is still being written, or waits for the next period
            }
            jack_ringbuffer_read_advance(self->midiToSend_, 1);
            unsigned char bytes[255];
            jack_ringbuffer_read(self->midiToSend_, reinterpret_cast<char*>(bytes), size);
            jack_midi_event_write(buffer, 0, bytes, size);
        }
    }
    return 0;
}

std::string JackProbe::Name() const {
    return jack_get_client_name(client_);
}

int JackProbe::SampleRate() const {
    return static_cast<int>(jack_get_sample_rate(client_));
}

std::vector<std::string> JackProbe::Ports(const std::string& part) const {
    std::vector<std::string> all = TakeNames(jack_get_ports(client_, nullptr, nullptr, 0));
    std::erase_if(all, [&](const std::string& n) { return n.find(part) == std::string::npos; });
    return all;
}

std::vector<std::string> JackProbe::Connections(const std::string& port) const {
    jack_port_t* p = jack_port_by_name(client_, port.c_str());
    if (p == nullptr) {
        return {};
    }
    return TakeNames(jack_port_get_all_connections(client_, p));
}

bool JackProbe::WaitForPort(const std::string& port, double seconds) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (jack_port_by_name(client_, port.c_str()) == nullptr) {
        if (std::chrono::steady_clock::now() > end || !ServerAlive()) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool JackProbe::RecordAudio(const std::vector<std::string>& sources) {
    if (audio_ != nullptr || sources.empty() || sources.size() > kMaxChannels) {
        return false;
    }
    for (std::size_t c = 0; c < sources.size(); ++c) {
        const std::string name = "in_" + std::to_string(c + 1);
        audioIn_[c] =
            jack_port_register(client_, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        if (audioIn_[c] == nullptr) {
            return false;
        }
    }
    channels_ = sources.size();
    audio_ = jack_ringbuffer_create(kAudioBytesPerChannel * channels_);
    if (audio_ == nullptr) {
        return false;
    }
    recordingAudio_.store(true, std::memory_order_release);
    for (std::size_t c = 0; c < sources.size(); ++c) {
        if (jack_connect(client_, sources[c].c_str(), jack_port_name(audioIn_[c])) != 0) {
            return false;
        }
    }
    return true;
}

std::vector<float> JackProbe::TakeAudio() {
    std::vector<float> out;
    if (audio_ == nullptr) {
        return out;
    }
    const std::size_t frameBytes = channels_ * sizeof(float);
    const std::size_t bytes = jack_ringbuffer_read_space(audio_) / frameBytes * frameBytes;
    out.resize(bytes / sizeof(float));
    jack_ringbuffer_read(audio_, reinterpret_cast<char*>(out.data()), bytes);
    return out;
}

std::string JackProbe::RecordMidi() {
    if (midi_ != nullptr) {
        return {};
    }
    midiIn_ = jack_port_register(client_, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (midiIn_ == nullptr) {
        return {};
    }
    midi_ = jack_ringbuffer_create(kMidiBufferBytes);
    if (midi_ == nullptr) {
        return {};
    }
    recordingMidi_.store(true, std::memory_order_release);
    return jack_port_name(midiIn_);
}

std::string JackProbe::PlayMidi() {
    if (midiToSend_ != nullptr) {
        return {};
    }
    midiOut_ = jack_port_register(client_, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    if (midiOut_ == nullptr) {
        return {};
    }
    midiToSend_ = jack_ringbuffer_create(kMidiBufferBytes);
    if (midiToSend_ == nullptr) {
        return {};
    }
    playingMidi_.store(true, std::memory_order_release);
    return jack_port_name(midiOut_);
}

bool JackProbe::SendMidi(const std::vector<std::uint8_t>& message) {
    if (midiToSend_ == nullptr || message.empty() || message.size() > 255 ||
        jack_ringbuffer_write_space(midiToSend_) < message.size() + 1) {
        return false;
    }
    // Size and bytes in one write: the reader never sees a size without its bytes.
    std::vector<char> record(1 + message.size());
    record[0] = static_cast<char>(message.size());
    std::copy(message.begin(), message.end(), record.begin() + 1);
    jack_ringbuffer_write(midiToSend_, record.data(), record.size());
    return true;
}

bool JackProbe::ConnectPorts(const std::string& source, const std::string& destination) {
    const int result = jack_connect(client_, source.c_str(), destination.c_str());
    return result == 0 || result == EEXIST;
}

bool JackProbe::MidiOutConnected() const {
    return midiOut_ != nullptr && jack_port_connected(midiOut_) > 0;
}

std::vector<std::vector<std::uint8_t>> JackProbe::TakeMidi(std::vector<std::int64_t>* arrivals) {
    std::vector<std::vector<std::uint8_t>> out;
    if (midi_ == nullptr) {
        return out;
    }
    unsigned char size = 0;
    while (jack_ringbuffer_read_space(midi_) >= 1) {
        jack_ringbuffer_peek(midi_, reinterpret_cast<char*>(&size), 1);
        std::int64_t at = 0;
        if (jack_ringbuffer_read_space(midi_) < 1u + sizeof at + size) {
            break;  // the rest of it is still being written
        }
        jack_ringbuffer_read_advance(midi_, 1);
        jack_ringbuffer_read(midi_, reinterpret_cast<char*>(&at), sizeof at);
        if (arrivals != nullptr) {
            arrivals->push_back(at);
        }
        std::vector<std::uint8_t> message(size);
        jack_ringbuffer_read(midi_, reinterpret_cast<char*>(message.data()), size);
        out.push_back(std::move(message));
    }
    return out;
}

}  // namespace quorvane::testing
