#pragma once
// Reads the note-ons, note-offs and sustain pedal out of the raw bytes of a MIDI input, as a
// keyboard sends them: running status (data bytes after an earlier status byte), a note-on with
// velocity 0 as a note-off, real-time bytes in between, system exclusive (also when it comes in
// pieces) and every other message skipped.

#include <cstdint>
#include <span>
#include <vector>

#include "midi/MidiStatus.h"

namespace quorvane::midi {

// A pedal value from this up holds the notes.
inline constexpr int kPedalDownValue = 64;

struct InputEvent {
    enum class Kind { NoteOff, NoteOn, Pedal };
    Kind kind;    // a note-on with velocity 0 is a note-off
    int channel;  // 0..15
    int key;      // 0..127; the pedal's controller number for a pedal
    int value;    // velocity as played, or the pedal's value
    bool PedalDown() const { return value >= kPedalDownValue; }
    friend bool operator==(const InputEvent&, const InputEvent&) = default;
};

class InputParser {
  public:
    // The events in `bytes`; a message may continue from the previous call.
    std::vector<InputEvent> Feed(std::span<const std::uint8_t> bytes);
    // Forgets the running status and any message begun (a port closed or opened).
    void Clear() { *this = InputParser(); }

  private:
    int status_ = 0;  // running status; 0 when there is none
    int data_[2] = {0, 0};
    int count_ = 0;
    bool sysex_ = false;
};

}  // namespace quorvane::midi
