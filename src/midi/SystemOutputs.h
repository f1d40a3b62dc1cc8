#pragma once
// The program's output devices: device 0 is the built-in synthesizer, the system's MIDI output
// ports (ALSA sequencer, JACK) follow in the order the MIDI library lists them.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "midi/BuiltinSynth.h"
#include "midi/OutputDevices.h"

namespace quorvane::midi {

class SystemOutputs final : public OutputDevices {
  public:
    // Device 0 looks for its soundfont in `soundfont`. Making the first one sets up the process
    // for the audio and MIDI libraries (among others, SIGPIPE is ignored from then on).
    explicit SystemOutputs(SoundfontPlaces soundfont = SystemSoundfontPlaces());
    ~SystemOutputs() override;

    // Lists the devices afresh; the numbers given out then stay valid until the next count.
    int GetNumDevs() override;
    std::optional<std::string> GetDevName(int device) override;
    std::unique_ptr<OutputDevice> Open(int device) override;
    std::string LastOpenError() const override { return lastOpenError_; }
    // The file chosen last, else the General MIDI soundfont found in the places given.
    std::string Soundfont() const override;
    // Without the synthesizer open the file is tried on a synthesizer of its own.
    bool UseSoundfont(const std::string& path, OutputDevice* open, std::string* error) override;

  private:
    struct Port {
        int api;           // RtMidi::Api
        unsigned index;    // port number when listed
        std::string name;  // full port name when listed
    };
    void ListPorts();

    SoundfontPlaces soundfont_;
    std::optional<std::filesystem::path> chosenSoundfont_;
    std::vector<Port> ports_;
    bool listed_ = false;
    std::string lastOpenError_;
};

}  // namespace quorvane::midi
