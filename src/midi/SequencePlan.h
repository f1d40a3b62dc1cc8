#pragma once
// How a chord progression is laid out in time: each chord from its first beat until the next
// chord's first beat, its notes laid out by the play style inside that span. The same plan drives
// the sequence player and the progression's MIDI file. Standard library only.

#include <cstdint>
#include <vector>

#include "midi/PlayPlan.h"

namespace quorvane::midi {

inline constexpr int kSlowestTempo = 40;  // beats a minute
inline constexpr int kFastestTempo = 240;
inline constexpr int kStartTempo = 100;
inline constexpr int kFewestBeatsPerChord = 1;
inline constexpr int kMostBeatsPerChord = 8;
inline constexpr int kStartBeatsPerChord = 4;

struct SequenceEvent {
    int chord;     // index into the progression
    int beat;      // the beat the event's chord span starts on (note-offs: the next chord's beat)
    int offsetMs;  // after that beat: the play style's onset spacing
    bool on;       // note-on, else note-off
    int note;      // MIDI note number

    friend bool operator==(const SequenceEvent&, const SequenceEvent&) = default;
};

struct SequencePlan {
    std::vector<SequenceEvent> events;  // in the order they are sent
    int beats = 0;                      // the whole progression's length
};

// `chords` holds each chord's MIDI note numbers in list order. A chord's note-offs go out at the
// next chord's first beat, before that chord's note-ons, so a note in both is struck again. An
// onset the style would place at or after the next chord's beat is left out. A chord without
// notes keeps its beats silent.
SequencePlan PlanSequence(const std::vector<std::vector<int>>& chords, int beatsPerChord, int tempo,
                          PlayStyle style, int spacingMs);

// When an event falls after the progression's start, in microseconds at `tempo`.
std::int64_t EventMicroseconds(const SequenceEvent& event, int tempo);

}  // namespace quorvane::midi
