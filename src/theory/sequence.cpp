#include "theory/sequence.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "theory/catalogue.h"
#include "theory/theory.h"

namespace quorvane::theory {

namespace {

// Far enough to reach every octave of the keyboard from any inversion.
constexpr int kWidestShift = 3;

}  // namespace

std::vector<int> PlacedKeys(const SequenceChord& chord, PlacedChord placement) {
    const ChordType* type = RowAt(ChordTypes, chord.chordTypeIndex);
    if (type == nullptr) {
        return {};
    }
    const ChordVoicing voicing =
        VoiceChord(type->intervals, chord.rootIndex, placement.inversion, kTrebleClefOffset);
    std::vector<int> keys;
    keys.reserve(voicing.size());
    for (const ChordNote& note : voicing) {
        const int key = note.soundingKey + 12 * placement.octaveShift;
        if (key < 0 || key >= kKeyboardKeys) {
            return {};
        }
        keys.push_back(key);
    }
    return keys;
}

int MotionCost(const std::vector<int>& from, const std::vector<int>& to) {
    if (from.empty()) {
        return 0;
    }
    int cost = 0;
    for (int key : to) {
        int nearest = INT_MAX;
        for (int previous : from) {
            nearest = std::min(nearest, std::abs(key - previous));
        }
        cost += nearest;
    }
    return cost;
}

namespace {

// The placement of least motion from `previous`; ties go to the lower bass. `fallback` when no
// placement voices the chord.
PlacedChord LeastMotion(const SequenceChord& chord, const std::vector<int>& previous,
                        PlacedChord fallback) {
    PlacedChord best = fallback;
    int bestCost = INT_MAX;
    int bestBass = INT_MAX;
    for (int inversion = 0; inversion < 4; ++inversion) {
        for (int shift = -kWidestShift; shift <= kWidestShift; ++shift) {
            const std::vector<int> keys = PlacedKeys(chord, {inversion, shift});
            if (keys.empty()) {
                continue;
            }
            const int cost = MotionCost(previous, keys);
            const int bass = *std::min_element(keys.begin(), keys.end());
            if (cost < bestCost || (cost == bestCost && bass < bestBass)) {
                best = {inversion, shift};
                bestCost = cost;
                bestBass = bass;
            }
        }
    }
    return best;
}

}  // namespace

std::vector<PlacedChord> PlaceSequence(const Sequence& sequence, Voicing voicing) {
    std::vector<PlacedChord> placed;
    placed.reserve(sequence.size());
    std::vector<int> previous;
    for (const SequenceChord& chord : sequence) {
        const PlacedChord asAdded{chord.inversion, 0};
        const PlacedChord placement = voicing == Voicing::Smooth && !previous.empty()
                                          ? LeastMotion(chord, previous, asAdded)
                                          : asAdded;
        placed.push_back(placement);
        std::vector<int> keys = PlacedKeys(chord, placement);
        if (!keys.empty()) {
            previous = std::move(keys);
        }
    }
    return placed;
}

}  // namespace quorvane::theory
