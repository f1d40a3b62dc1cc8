// The chord types' intervals read once, for the readers and writers of symbols and numerals that
// look at many chords. Internal to the theory library.
#pragma once

#include <cstddef>
#include <vector>

#include "theory/catalogue.h"
#include "theory/theory.h"

namespace quorvane::theory::detail {

// The intervals of catalogue row `type`, which must be a row of ChordTypes.
inline const std::vector<int>& TypeIntervals(int type) {
    static const std::vector<std::vector<int>> table = [] {
        std::vector<std::vector<int>> all;
        for (const ChordType& t : ChordTypes) {
            all.push_back(ReadIntervals(t.intervals).value_or(std::vector<int>{}));
        }
        return all;
    }();
    return table[static_cast<std::size_t>(type)];
}

inline int Mod12(int v) {
    return ((v % 12) + 12) % 12;
}

// The pitch class sounding lowest in the inversion: the first `inversion` notes go an octave up.
inline int LowestPitchClass(int root, int type, int inversion) {
    const std::vector<int>& iv = TypeIntervals(type);
    int lowest = 99;
    for (std::size_t i = 0; i < iv.size(); ++i) {
        const int key = iv[i] + (static_cast<int>(i) < inversion ? 12 : 0);
        lowest = key < lowest ? key : lowest;
    }
    return Mod12(root + lowest);
}

}  // namespace quorvane::theory::detail
