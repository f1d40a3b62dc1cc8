#pragma once
// Reads the note-ons and note-offs out of the raw bytes of a MIDI input, as a keyboard sends
// them: running status (data bytes after an earlier status byte), a note-on with velocity 0 as a
// note-off, real-time bytes in between, system exclusive and every other message skipped.

#include <cstdint>
#include <span>
#include <vector>

namespace quorvane::midi {

struct NoteEvent {
    bool on;       // false: note-off (or note-on with velocity 0)
    int channel;   // 0..15
    int key;       // 0..127
    int velocity;  // 0..127, as played
    friend bool operator==(const NoteEvent&, const NoteEvent&) = default;
};

class InputParser {
  public:
    // The note events in `bytes`; a message may continue from the previous call.
    std::vector<NoteEvent> Feed(std::span<const std::uint8_t> bytes);
    // Forgets the running status and any message begun (a port closed or opened).
    void Clear() { *this = InputParser(); }

  private:
    int status_ = 0;  // running status; 0 when there is none
    int data_[2] = {0, 0};
    int count_ = 0;
    bool sysex_ = false;
};

}  // namespace quorvane::midi
