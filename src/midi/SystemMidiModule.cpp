// The system's MIDI output devices and input ports as a module of their own, which the program
// loads when it first lists them: the MIDI and audio libraries they link (RtMidi, ALSA, JACK) are
// then not loaded while the program starts.
#include "midi/SystemInputs.h"
#include "midi/SystemOutputs.h"

extern "C" {

__attribute__((visibility("default"))) quorvane::midi::OutputDevices* quorvane_system_outputs() {
    return new quorvane::midi::SystemOutputs();
}

__attribute__((visibility("default"))) quorvane::midi::InputPorts* quorvane_system_inputs() {
    return new quorvane::midi::SystemInputs();
}
}
