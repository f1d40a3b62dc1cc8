#include "midi/OutputDevices.h"

#include <thread>

namespace quorvane::midi {

std::string FitDeviceName(std::string name) {
    if (name.size() <= kMaxDeviceNameLength) {
        return name;
    }
    std::size_t cut = kMaxDeviceNameLength;
    // Step back over UTF-8 continuation bytes so no character is split.
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0b1100'0000) == 0b1000'0000) {
        --cut;
    }
    name.resize(cut);
    return name;
}

MidiClock::time_point SteadyMidiClock::Now() {
    return std::chrono::steady_clock::now();
}

void SteadyMidiClock::SleepUntil(time_point deadline) {
    // sleep_until may return early on a signal; sleep again until the deadline is reached.
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_until(deadline);
    }
}

}  // namespace quorvane::midi
