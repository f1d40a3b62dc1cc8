#pragma once
// An output service that plays nothing and keeps every message sent to it, with the device and
// the time, for the tests. Messages are kept packed as the program composes them (modCommon.h),
// so a test compares them with the values the program is known by.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "midi/OutputDevices.h"
#include "midi/modCommon.h"

namespace quorvane::midi {

class RecordingOutputs final : public OutputDevices {
  public:
    enum class Kind { Message, Reset, Open, Close };

    struct Event {
        Kind kind;
        int device;
        std::uint32_t packed;  // Message only: PackShortMsg(status, data1, data2)
        MidiClock::time_point time;
    };

    struct DeviceSpec {
        std::optional<std::string> name;  // nullopt: the name query fails
        bool opens = true;
    };

    // Times are read from `now`; without one, from the steady clock.
    explicit RecordingOutputs(std::vector<DeviceSpec> devices,
                              std::function<MidiClock::time_point()> now = {});

    int GetNumDevs() override;
    std::optional<std::string> GetDevName(int device) override;
    std::unique_ptr<OutputDevice> Open(int device) override;

    // The devices from now on, as after a device was plugged in or removed.
    void SetDevices(std::vector<DeviceSpec> devices) { devices_ = std::move(devices); }

    const std::vector<Event>& Events() const { return log_->events; }
    // The packed messages only, in the order sent.
    std::vector<std::uint32_t> Messages() const;
    void Clear() { log_->events.clear(); }
    // Devices open at the moment.
    int OpenCount() const { return log_->open; }

  private:
    struct Log {
        std::vector<Event> events;
        int open = 0;
        std::function<MidiClock::time_point()> now;
    };
    class Device;

    std::vector<DeviceSpec> devices_;
    std::shared_ptr<Log> log_;
};

}  // namespace quorvane::midi
