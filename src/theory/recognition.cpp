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

constexpr int kPerfectFifth = 7;

// `skip`: the pitch class above the root left out, -1 for none.
constexpr PitchClassSet Transposed(const FoldedType& type, int root, int skip = -1) {
    PitchClassSet set = 0;
    for (int i = 0; i < type.count; ++i) {
        const int interval = type.classes[static_cast<std::size_t>(i)];
        if (interval != skip) {
            set |= static_cast<PitchClassSet>(1u << ((interval + root) % 12));
        }
    }
    return set;
}

constexpr bool HasPerfectFifth(const FoldedType& type) {
    for (int i = 0; i < type.count; ++i) {
        if (type.classes[static_cast<std::size_t>(i)] == kPerfectFifth) {
            return true;
        }
    }
    return false;
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

// The same with the perfect fifth left out; 0 for the chord types that have none.
constexpr auto kNoFifthSets = [] {
    std::array<std::array<PitchClassSet, 12>, ChordTypes.size()> sets{};
    for (std::size_t row = 0; row < ChordTypes.size(); ++row) {
        if (!HasPerfectFifth(kFoldedTypes[row])) {
            continue;
        }
        for (int root = 0; root < 12; ++root) {
            sets[row][static_cast<std::size_t>(root)] =
                Transposed(kFoldedTypes[row], root, kPerfectFifth);
        }
    }
    return sets;
}();
using CatalogueSets = decltype(kCatalogueSets);

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

namespace {

struct Held {
    PitchClassSet set = 0;
    int lowestClass = 0;
};

std::optional<Held> HeldSet(std::span<const int> heldMidiNotes) {
    Held held;
    int lowest = kHighestMidiNote + 1;
    for (int note : heldMidiNotes) {
        if (IsMidiNote(note)) {
            held.set |= static_cast<PitchClassSet>(1u << (note % 12));
            lowest = std::min(lowest, note);
        }
    }
    if (std::popcount(held.set) < kMinimumPitchClasses) {
        return std::nullopt;
    }
    held.lowestClass = lowest % 12;
    return held;
}

// Every chord of `sets` with the held pitch classes, in the tie order: the lowest held note's
// root first, then by row, then by root. Rows are walked in order and roots upwards, so only
// the matches on the lowest note's root need moving to the front.
std::vector<RecognisedChord> Matches(const CatalogueSets& sets, const Held& held) {
    std::vector<RecognisedChord> found;
    std::size_t onLowest = 0;
    for (std::size_t row = 0; row < sets.size(); ++row) {
        for (int root = 0; root < 12; ++root) {
            if (sets[row][static_cast<std::size_t>(root)] != held.set) {
                continue;
            }
            const RecognisedChord chord{static_cast<int>(row), root,
                                        InversionOf(kFoldedTypes[row], root, held.lowestClass)};
            if (root == held.lowestClass) {
                found.insert(found.begin() + static_cast<std::ptrdiff_t>(onLowest++), chord);
            } else {
                found.push_back(chord);
            }
        }
    }
    return found;
}

std::string_view InversionWords(int inversion) {
    constexpr std::array<std::string_view, 4> kWords{"root position", "first inversion",
                                                     "second inversion", "third inversion"};
    return kWords[static_cast<std::size_t>(std::clamp(inversion, 0, 3))];
}

}  // namespace

HeldChordNames NameHeldChord(std::span<const int> heldMidiNotes) {
    HeldChordNames names;
    const std::optional<Held> held = HeldSet(heldMidiNotes);
    if (!held) {
        return names;
    }
    std::vector<RecognisedChord> found = Matches(kCatalogueSets, *held);
    if (found.empty()) {
        found = Matches(kNoFifthSets, *held);
        names.noFifth = !found.empty();
    }
    if (!found.empty()) {
        names.chord = found.front();
        names.others.assign(found.begin() + 1, found.end());
    }
    return names;
}

std::optional<RecognisedChord> RecogniseChord(std::span<const int> heldMidiNotes) {
    const std::optional<Held> held = HeldSet(heldMidiNotes);
    if (!held) {
        return std::nullopt;
    }
    const std::vector<RecognisedChord> found = Matches(kCatalogueSets, *held);
    return found.empty() ? std::nullopt : std::optional<RecognisedChord>(found.front());
}

std::string OtherNamesText(const HeldChordNames& names) {
    std::string text = names.noFifth ? "no 5th" : "";
    for (std::size_t i = 0; i < names.others.size(); ++i) {
        const RecognisedChord& other = names.others[i];
        text.append(text.empty() ? "" : "; ").append(i == 0 ? "also " : "");
        text.append(RootNames[static_cast<std::size_t>(other.rootIndex)]).append(" ");
        text.append(ChordTypes[static_cast<std::size_t>(other.chordTypeIndex)].name).append(", ");
        text.append(InversionWords(other.inversion));
    }
    return text;
}

std::string OtherNamesSymbols(const HeldChordNames& names, Spelling spelling) {
    std::string text;
    if (names.noFifth && names.chord) {
        const RecognisedChord& c = *names.chord;
        // "(no5)" belongs to the chord, before its slash bass.
        const std::string plain = ChordSymbol(c.rootIndex, c.chordTypeIndex, 0, spelling);
        const std::string full = ChordSymbol(c.rootIndex, c.chordTypeIndex, c.inversion, spelling);
        text = plain + "(no5)" + full.substr(plain.size());
    }
    for (std::size_t i = 0; i < names.others.size(); ++i) {
        const RecognisedChord& other = names.others[i];
        text.append(text.empty() ? "" : "; ").append(i == 0 ? "also " : "");
        text.append(ChordSymbol(other.rootIndex, other.chordTypeIndex, other.inversion, spelling));
    }
    return text;
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
