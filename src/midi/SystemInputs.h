#pragma once
// The system's MIDI input ports (ALSA sequencer, JACK), in the order the MIDI library lists them.

#include "midi/InputPorts.h"

namespace quorvane::midi {

class SystemInputs final : public InputPorts {
  public:
    // Making the first one sets up the process for the MIDI libraries, as SystemOutputs does.
    SystemInputs();
    std::vector<std::string> List() override;
    std::unique_ptr<InputPort> Open(const std::string& name, std::string* error) override;
};

}  // namespace quorvane::midi
