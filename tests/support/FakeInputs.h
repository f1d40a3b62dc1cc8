#pragma once
// Input ports for the tests: named ports that open or refuse to, and send what the test gives
// them from a thread of their own, as the system's ports deliver from the MIDI library's thread.

#include <QByteArray>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "midi/InputPorts.h"
#include "midi/OutputDevices.h"

namespace quorvane::midi {

class FakeInputs final : public InputPorts {
  public:
    struct PortSpec {
        std::string name;
        bool opens = true;
    };
    // Arrival times are read from `now`; without one, from the steady clock.
    explicit FakeInputs(std::vector<PortSpec> ports,
                        std::function<MidiClock::time_point()> now = {});

    std::vector<std::string> List() override;
    std::unique_ptr<InputPort> Open(const std::string& name, std::string* error) override;

    void SetPorts(std::vector<PortSpec> ports) { ports_ = std::move(ports); }
    // Sends one message on the open port from another thread and returns once it is sent (it
    // is queued for the receiver's thread, which handles it when its events run); false when no
    // port is open.
    bool Send(const QByteArray& bytes);
    bool Send(std::initializer_list<int> bytes);
    // The name of the open port; empty when none is open.
    std::string OpenPort() const;

  private:
    class Port;
    std::vector<PortSpec> ports_;
    std::function<MidiClock::time_point()> now_;
    std::shared_ptr<Port*> open_;  // the open port, cleared when it closes
};

}  // namespace quorvane::midi
