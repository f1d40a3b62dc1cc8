#include "midi/SequencePlan.h"

namespace quorvane::midi {

std::int64_t EventMicroseconds(const SequenceEvent& event, int tempo) {
    return static_cast<std::int64_t>(event.beat) * 60'000'000 / tempo +
           static_cast<std::int64_t>(event.offsetMs) * 1000;
}

SequencePlan PlanSequence(const std::vector<std::vector<int>>& chords, int beatsPerChord, int tempo,
                          PlayStyle style, int spacingMs) {
    SequencePlan plan;
    const std::int64_t spanUs = static_cast<std::int64_t>(beatsPerChord) * 60'000'000 / tempo;
    std::vector<int> sounding;  // the notes of the chord before, to release at the next beat
    int soundingChord = 0;
    for (std::size_t i = 0; i < chords.size(); ++i) {
        const int chord = static_cast<int>(i);
        const int beat = chord * beatsPerChord;
        for (int note : sounding) {
            plan.events.push_back({soundingChord, beat, 0, false, note});
        }
        sounding.clear();
        const std::vector<int>& notes = chords[i];
        for (const PlannedOnset& onset : PlanPlay(notes, style, spacingMs, 0).onsets) {
            if (onset.note < notes.size() &&
                static_cast<std::int64_t>(onset.atMs) * 1000 < spanUs) {
                plan.events.push_back({chord, beat, onset.atMs, true, notes[onset.note]});
                sounding.push_back(notes[onset.note]);
            }
        }
        soundingChord = chord;
    }
    plan.beats = static_cast<int>(chords.size()) * beatsPerChord;
    for (int note : sounding) {
        plan.events.push_back({soundingChord, plan.beats, 0, false, note});
    }
    return plan;
}

}  // namespace quorvane::midi
