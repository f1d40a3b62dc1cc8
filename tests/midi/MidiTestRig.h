#pragma once
// A modCommon wired to a recording output service and a clock that moves only when slept on.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "midi/modCommon.h"
#include "support/FakeInputs.h"
#include "support/RecordingOutputs.h"

namespace quorvane::midi::testing {

class FakeClock final : public MidiClock {
  public:
    time_point Now() override { return now; }
    void SleepUntil(time_point deadline) override {
        ++sleeps;
        if (deadline > now) {
            now = deadline;
        }
    }
    time_point now{std::chrono::seconds(1000)};
    int sleeps = 0;
};

struct Note {
    int status;
    int data1;
    int data2;
    friend bool operator==(const Note&, const Note&) = default;
};

inline std::vector<Note> Decode(const std::vector<std::uint32_t>& messages) {
    std::vector<Note> out;
    for (std::uint32_t m : messages) {
        out.push_back({StatusOf(m), Data1Of(m), Data2Of(m)});
    }
    return out;
}

struct MidiRig {
    explicit MidiRig(std::vector<RecordingOutputs::DeviceSpec> devices = {{"Recorder", true}},
                     std::vector<FakeInputs::PortSpec> inputPorts = {}) {
        auto ownedClock = std::make_unique<FakeClock>();
        clock = ownedClock.get();
        auto ownedOutputs = std::make_unique<RecordingOutputs>(std::move(devices),
                                                               [c = clock] { return c->Now(); });
        outputs = ownedOutputs.get();
        auto ownedInputs =
            std::make_unique<FakeInputs>(std::move(inputPorts), [c = clock] { return c->Now(); });
        inputs = ownedInputs.get();
        midi = std::make_unique<modCommon>(std::move(ownedOutputs), std::move(ownedClock),
                                           std::move(ownedInputs));
        QObject::connect(midi.get(), &modCommon::errorOccurred,
                         [this](const QString& title, const QString& text, const QString&) {
                             errors.push_back((title + QLatin1Char('|') + text).toStdString());
                         });
    }
    std::vector<Note> Notes() const { return Decode(outputs->Messages()); }

    FakeClock* clock = nullptr;
    RecordingOutputs* outputs = nullptr;
    FakeInputs* inputs = nullptr;
    std::unique_ptr<modCommon> midi;
    std::vector<std::string> errors;
};

}  // namespace quorvane::midi::testing
