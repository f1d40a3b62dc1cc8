#pragma once
// How a chord's notes are laid out in time when it is played or written to a file: all at once,
// as an arpeggio up or down, or strummed. The same plan drives the output device and the MIDI
// file, so what is heard and what is exported never differ. Standard library only.

#include <array>
#include <string_view>
#include <vector>

namespace quorvane::midi {

enum class PlayStyle { Chord, ArpeggioUp, ArpeggioDown, Strum };

inline constexpr std::array<std::string_view, 4> kPlayStyleNames{"Chord", "Arpeggio up",
                                                                 "Arpeggio down", "Strum"};
// The spacing between onsets the user can set, in milliseconds: a strum's 15..40 and an
// arpeggio's 100..400 both fit.
inline constexpr int kShortestSpacing = 5;
inline constexpr int kLongestSpacing = 500;
// What each style starts with; a block chord has no spacing.
inline constexpr std::array<int, 4> kStartSpacing{0, 200, 200, 25};

struct PlannedOnset {
    std::size_t note;  // index into the chord's notes, in their list order
    int atMs;          // from the first onset
};

struct PlayPlan {
    std::vector<PlannedOnset> onsets;  // in the order they are sent
    // When every note is released together, from the first onset.
    int endMs = 0;
};

// `notes` are MIDI note numbers in the chord's list order. A block chord starts every note at
// once, in list order, and ends after `noteLengthMs`. An arpeggio up, and a strum (a downstroke,
// lowest string first), start the notes by pitch from the lowest, `spacingMs` apart; an arpeggio
// down from the highest. The note length runs from the first onset; when the onsets do not fit
// into it, the end moves out so that the last note still sounds for one spacing.
PlayPlan PlanPlay(const std::vector<int>& notes, PlayStyle style, int spacingMs, int noteLengthMs);

}  // namespace quorvane::midi
