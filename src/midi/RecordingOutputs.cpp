#include "midi/RecordingOutputs.h"

namespace quorvane::midi {

class RecordingOutputs::Device final : public OutputDevice {
  public:
    Device(std::shared_ptr<Log> log, int number) : log_(std::move(log)), number_(number) {
        ++log_->open;
        Record(Kind::Open, 0);
    }
    ~Device() override {
        --log_->open;
        Record(Kind::Close, 0);
    }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    bool ShortMsg(std::uint32_t packed) override {
        Record(Kind::Message, packed);
        return true;
    }
    bool Reset() override {
        Record(Kind::Reset, 0);
        return true;
    }

  private:
    void Record(Kind kind, std::uint32_t packed) {
        log_->events.push_back({kind, number_, packed, log_->now()});
    }

    std::shared_ptr<Log> log_;
    int number_;
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
