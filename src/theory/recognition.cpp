#include "theory/recognition.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string_view>

#include "theory/catalogue.h"
#include "theory/theory.h"

namespace quorvane::theory {
namespace {

constexpr int kLowestMidiNote = 0;
constexpr int kHighestMidiNote = 127;
constexpr int kMinimumPitchClasses = 3;

using PitchClassSet = std::uint16_t;  // bit p set: pitch class p (C = 0) is present

// A chord type's intervals folded into one octave, in list order. The catalogue's strings are
// plain digits and slashes, so they are read here at compile time.
struct FoldedType {
    std::array<std::uint8_t, kMaxChordNotes> classes{};
    int count = 0;
};

constexpr FoldedType Fold(std::string_view intervals) {
    FoldedType folded;
    int value = 0;
    for (char c : intervals) {
        if (c == '/') {
            folded.classes[static_cast<std::size_t>(folded.count++)] =
                static_cast<std::uint8_t>(value % 12);
            value = 0;
        } else {
            value = value * 10 + (c - '0');
        }
    }
    return folded;
}

constexpr PitchClassSet Transposed(const FoldedType& type, int root) {
    PitchClassSet set = 0;
    for (int i = 0; i < type.count; ++i) {
        set |= static_cast<PitchClassSet>(
            1u << ((type.classes[static_cast<std::size_t>(i)] + root) % 12));
    }
    return set;
}

constexpr auto kFoldedTypes = [] {
    std::array<FoldedType, ChordTypes.size()> types{};
    for (std::size_t row = 0; row < ChordTypes.size(); ++row) {
        types[row] = Fold(ChordTypes[row].intervals);
    }
    return types;
}();

// The pitch-class set of every chord type on every root, row by row.
constexpr auto kCatalogueSets = [] {
    std::array<std::array<PitchClassSet, 12>, ChordTypes.size()> sets{};
    for (std::size_t row = 0; row < ChordTypes.size(); ++row) {
        for (int root = 0; root < 12; ++root) {
            sets[row][static_cast<std::size_t>(root)] = Transposed(kFoldedTypes[row], root);
        }
    }
    return sets;
}();

bool IsMidiNote(int note) {
    return note >= kLowestMidiNote && note <= kHighestMidiNote;
}

int InversionOf(const FoldedType& type, int root, int lowestClass) {
    for (int place = 0; place < type.count && place <= 3; ++place) {
        if ((type.classes[static_cast<std::size_t>(place)] + root) % 12 == lowestClass) {
            return place;
        }
    }
    return 0;
}

}  // namespace

std::optional<RecognisedChord> RecogniseChord(std::span<const int> heldMidiNotes) {
    PitchClassSet held = 0;
    int lowest = kHighestMidiNote + 1;
    for (int note : heldMidiNotes) {
        if (IsMidiNote(note)) {
            held |= static_cast<PitchClassSet>(1u << (note % 12));
            lowest = std::min(lowest, note);
        }
    }
    if (std::popcount(held) < kMinimumPitchClasses) {
        return std::nullopt;
    }
    const int lowestClass = lowest % 12;

    // Rows are walked in order and roots upwards, so the first match is the lowest row and root;
    // a match on the lowest held note's root beats any earlier one.
    std::optional<RecognisedChord> first;
    for (std::size_t row = 0; row < kCatalogueSets.size(); ++row) {
        for (int root = 0; root < 12; ++root) {
            if (kCatalogueSets[row][static_cast<std::size_t>(root)] != held) {
                continue;
            }
            const RecognisedChord found{static_cast<int>(row), root,
                                        InversionOf(kFoldedTypes[row], root, lowestClass)};
            if (root == lowestClass) {
                return found;
            }
            if (!first) {
                first = found;
            }
        }
    }
    return first;
}

std::string HeldNoteNames(std::span<const int> heldMidiNotes) {
    std::array<bool, kHighestMidiNote + 1> held{};
    for (int note : heldMidiNotes) {
        if (IsMidiNote(note)) {
            held[static_cast<std::size_t>(note)] = true;
        }
    }
    std::string names;
    for (int note = kLowestMidiNote; note <= kHighestMidiNote; ++note) {
        if (held[static_cast<std::size_t>(note)]) {
            if (!names.empty()) {
                names += ' ';
            }
            names += NoteName(note % 12);
        }
    }
    return names;
}

}  // namespace quorvane::theory
