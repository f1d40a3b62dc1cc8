#include "midi/InputParser.h"

#include "midi/MidiStatus.h"

namespace quorvane::midi {

namespace {

// Data bytes that complete a channel message of this status.
int DataLength(int status) {
    const int kind = KindOf(status);
    return kind == kProgramChange || kind == kChannelPressure ? 1 : 2;
}

}  // namespace

std::vector<InputEvent> InputParser::Feed(std::span<const std::uint8_t> bytes) {
    using Kind = InputEvent::Kind;
    std::vector<InputEvent> events;
    for (const std::uint8_t byte : bytes) {
        if (byte >= kFirstRealTime) {
            continue;  // real-time bytes may come anywhere and change nothing
        }
        if (byte >= kSystemExclusive) {
            // System exclusive and system common messages end the running status; their data
            // bytes are skipped.
            sysex_ = byte == kSystemExclusive;
            status_ = 0;
            count_ = 0;
            continue;
        }
        if ((byte & kStatusBit) != 0) {
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
        const int kind = KindOf(status_);
        const int channel = ChannelOf(status_);
        if (kind == kNoteOn || kind == kNoteOff) {
            events.push_back({kind == kNoteOn && data_[1] > 0 ? Kind::NoteOn : Kind::NoteOff,
                              channel, data_[0], data_[1]});
        } else if (kind == kControlChange && data_[0] == kSustainController) {
            events.push_back({Kind::Pedal, channel, data_[0], data_[1]});
        }
    }
    return events;
}

}  // namespace quorvane::midi
