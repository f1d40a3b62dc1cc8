#pragma once
// The status bytes of the MIDI messages the program reads and writes, by name. A channel
// message's status is its kind in the high nibble and the channel (0..15) in the low one.

#include <cstdint>

namespace quorvane::midi {

inline constexpr int kNoteOff = 0x80;
inline constexpr int kNoteOn = 0x90;
inline constexpr int kPolyPressure = 0xA0;
inline constexpr int kControlChange = 0xB0;
inline constexpr int kProgramChange = 0xC0;
inline constexpr int kChannelPressure = 0xD0;
inline constexpr int kPitchBend = 0xE0;
// From here on the bytes are system messages, which carry no channel.
inline constexpr int kSystemExclusive = 0xF0;
// Real-time bytes (clock, start, stop, active sensing) may come between any two bytes.
inline constexpr int kFirstRealTime = 0xF8;

// Bits of a byte: a status byte has the high bit set, data bytes never do.
inline constexpr int kStatusBit = 0x80;
inline constexpr int kKindMask = 0xF0;
inline constexpr int kChannelMask = 0x0F;

constexpr int KindOf(int status) {
    return status & kKindMask;
}
constexpr int ChannelOf(int status) {
    return status & kChannelMask;
}
constexpr int ChannelStatus(int kind, int channel) {
    return kind | (channel & kChannelMask);
}

// The controllers the program sends or reads.
inline constexpr int kSustainController = 64;
inline constexpr int kAllSoundOffController = 120;
inline constexpr int kAllNotesOffController = 123;

}  // namespace quorvane::midi
