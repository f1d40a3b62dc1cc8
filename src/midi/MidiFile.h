#pragma once
// Standard MIDI Files of one chord: format 0, one track, with the tempo, the instrument on the
// chosen channel, and the chord's notes as its play plan lays them out. The division and tempo
// make one tick one millisecond (500 ticks a quarter note at 500000 microseconds a quarter note).
// Standard library only.

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "midi/PlayPlan.h"
#include "midi/SequencePlan.h"

namespace quorvane::midi {

inline constexpr int kTicksPerQuarter = 500;
inline constexpr int kMicrosecondsPerQuarter = 500000;

struct ChordFile {
    std::string name;        // the track's name; none when empty
    int channel = 0;         // 0..15
    int program = 0;         // 0..127
    int velocity = 64;       // of every note-on and note-off, 0..127
    std::vector<int> notes;  // MIDI note numbers in the chord's list order
    PlayPlan plan;
};

// The file's bytes. Values outside their ranges are kept to their low bits, as on the wire.
std::vector<std::uint8_t> WriteMidiFile(const ChordFile& chord);

// A chord progression's file: one tempo event at the progression's tempo, a 4/4 time signature,
// the track name, the instrument, then the plan's events, kSequenceTicksPerQuarter ticks a beat.
inline constexpr int kSequenceTicksPerQuarter = 480;

struct SequenceFile {
    std::string name;  // the track's name; none when empty
    int channel = 0;
    int program = 0;
    int velocity = 64;
    int tempo = kStartTempo;  // beats a minute
    SequencePlan plan;
    // Each chord's symbol at its first beat, written as a Marker so a DAW shows it over the notes.
    std::vector<std::pair<int /*beat*/, std::string /*symbol*/>> markers;
};

std::vector<std::uint8_t> WriteSequenceFile(const SequenceFile& sequence);

// The file name for a chord's title: the title and ".mid", with the characters that a file
// system or a file manager takes for something else ('/', '\\', ':', '*', '?', '"', '<', '>',
// '|' and control characters) made '-'; "chord.mid" for an empty title.
std::string ChordFileName(const std::string& title);

// Writes the bytes to `path`: into a new file beside it, renamed over it once complete, so that a
// failure leaves what was there untouched. False with the reason in `why`.
bool SaveMidiFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                  std::string* why);

}  // namespace quorvane::midi
