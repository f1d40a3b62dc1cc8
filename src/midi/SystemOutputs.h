#pragma once
// The program's output devices: device 0 is the built-in synthesizer, the system's MIDI output
// ports (ALSA sequencer, JACK) follow in the order the MIDI library lists them.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "midi/OutputDevices.h"

namespace quorvane::midi {

class SystemOutputs final : public OutputDevices {
  public:
    SystemOutputs();
    ~SystemOutputs() override;

    // Lists the devices afresh; the numbers given out then stay valid until the next count.
    int GetNumDevs() override;
    std::optional<std::string> GetDevName(int device) override;
    std::unique_ptr<OutputDevice> Open(int device) override;

  private:
    struct Port {
        int api;           // RtMidi::Api
        unsigned index;    // port number when listed
        std::string name;  // full port name when listed
    };
    void ListPorts();

    std::vector<Port> ports_;
    bool listed_ = false;
};

}  // namespace quorvane::midi
