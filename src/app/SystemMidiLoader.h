#pragma once
// The system's MIDI output devices and input ports, taken from the system MIDI module when they
// are first asked for: the program starts without the MIDI and audio libraries, which the module
// links. Without the module there are no devices and no ports, and the reason is given.

#include <memory>
#include <string>

#include "midi/InputPorts.h"
#include "midi/OutputDevices.h"

namespace quorvane::app {

// The module's file name, and where it is looked for: beside the program (a build tree), then in
// the program's library folder (an installed tree).
inline constexpr const char* kSystemMidiModule = "libquorvane-system-midi.so";

class LaterSystemOutputs final : public midi::OutputDevices {
  public:
    int GetNumDevs() override;
    std::optional<std::string> GetDevName(int device) override;
    std::unique_ptr<midi::OutputDevice> Open(int device) override;
    std::string LastOpenError() const override;

  private:
    midi::OutputDevices* Loaded();
    std::unique_ptr<midi::OutputDevices> loaded_;
    std::string failure_;
};

class LaterSystemInputs final : public midi::InputPorts {
  public:
    std::vector<std::string> List() override;
    std::unique_ptr<midi::InputPort> Open(const std::string& name, std::string* error) override;

  private:
    midi::InputPorts* Loaded();
    std::unique_ptr<midi::InputPorts> loaded_;
    std::string failure_;
};

}  // namespace quorvane::app
