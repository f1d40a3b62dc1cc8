#include "support/RecordingOutputs.h"

namespace quorvane::midi {

class RecordingOutputs::Device final : public OutputDevice {
  public:
    Device(std::shared_ptr<Log> log, int number) : log_(std::move(log)), number_(number) {
        ++log_->open;
        Record(Kind::Open, 0);
    }
    ~Device() override { Close(); }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    bool NoteOn(int channel, int key, int velocity) override {
        return Message(PackShortMsg(0x90 | channel, key, velocity));
    }
    bool NoteOff(int channel, int key, int velocity) override {
        return Message(PackShortMsg(0x80 | channel, key, velocity));
    }
    bool ProgramChange(int channel, int program) override {
        return Message(PackShortMsg(0xC0 | channel, program, 0));
    }
    bool ControlChange(int channel, int controller, int value) override {
        return Message(PackShortMsg(0xB0 | channel, controller, value));
    }
    bool Reset() override {
        if (closed_) {
            return false;
        }
        Record(Kind::Reset, 0);
        return true;
    }
    void Close() override {
        if (!closed_) {
            closed_ = true;
            --log_->open;
            Record(Kind::Close, 0);
        }
    }

  private:
    bool Message(std::uint32_t packed) {
        if (closed_) {
            return false;
        }
        Record(Kind::Message, packed);
        return true;
    }
    void Record(Kind kind, std::uint32_t packed) {
        log_->events.push_back({kind, number_, packed, log_->now()});
    }

    std::shared_ptr<Log> log_;
    int number_;
    bool closed_ = false;
};

RecordingOutputs::RecordingOutputs(std::vector<DeviceSpec> devices,
                                   std::function<MidiClock::time_point()> now)
    : devices_(std::move(devices)), log_(std::make_shared<Log>()) {
    log_->now = now ? std::move(now) : [] { return std::chrono::steady_clock::now(); };
}

int RecordingOutputs::GetNumDevs() {
    return static_cast<int>(devices_.size());
}

std::optional<std::string> RecordingOutputs::GetDevName(int device) {
    if (device < 0 || device >= GetNumDevs() || !devices_[device].name) {
        return std::nullopt;
    }
    return FitDeviceName(*devices_[device].name);
}

std::unique_ptr<OutputDevice> RecordingOutputs::Open(int device) {
    if (device < 0 || device >= GetNumDevs() || !devices_[device].opens) {
        return nullptr;
    }
    return std::make_unique<Device>(log_, device);
}

std::vector<std::uint32_t> RecordingOutputs::Messages() const {
    std::vector<std::uint32_t> out;
    for (const Event& e : log_->events) {
        if (e.kind == Kind::Message) {
            out.push_back(e.packed);
        }
    }
    return out;
}

}  // namespace quorvane::midi
