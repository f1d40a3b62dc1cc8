#include "midi/InputParser.h"

namespace quorvane::midi {

namespace {

// Data bytes that complete a channel message of this status.
int DataLength(int status) {
    const int kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

}  // namespace

std::vector<InputEvent> InputParser::Feed(std::span<const std::uint8_t> bytes) {
    using Kind = InputEvent::Kind;
    std::vector<InputEvent> events;
    for (const std::uint8_t byte : bytes) {
        if (byte >= 0xF8) {
            continue;  // real-time bytes may come anywhere and change nothing
        }
        if (byte >= 0xF0) {
            // System exclusive and system common messages end the running status; their data
            // bytes are skipped.
            sysex_ = byte == 0xF0;
            status_ = 0;
            count_ = 0;
            continue;
        }
        if (byte & 0x80) {
            sysex_ = false;
            status_ = byte;
            count_ = 0;
            continue;
        }
        if (sysex_ || status_ == 0) {
            continue;
        }
        data_[count_++] = byte;
        if (count_ < DataLength(status_)) {
            continue;
        }
        count_ = 0;  // the next data bytes begin a message of the same status
        const int kind = status_ & 0xF0;
        const int channel = status_ & 0x0F;
        if (kind == 0x90 || kind == 0x80) {
            events.push_back({kind == 0x90 && data_[1] > 0 ? Kind::NoteOn : Kind::NoteOff, channel,
                              data_[0], data_[1]});
        } else if (kind == 0xB0 && data_[0] == kSustainController) {
            events.push_back({Kind::Pedal, channel, data_[0], data_[1]});
        }
    }
    return events;
}

}  // namespace quorvane::midi
