#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "theory/theory.h"

namespace quorvane::theory {

namespace {

// Diatonic step of each pitch class above C: a sharp shares the step of the natural below it.
constexpr std::array<int, 12> kStepOfPitchClass{0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};

constexpr int ParseStaffTop(std::string_view text) {
    int value = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
        }
    }
    return value;
}

// The note table's staff tops as numbers, read once from its texts.
constexpr std::array<int, kNoteTableKeys> kBaseTops = [] {
    std::array<int, kNoteTableKeys> tops{};
    for (std::size_t k = 0; k < tops.size(); ++k) {
        tops[k] = ParseStaffTop(NoteTable[k].staffTop);
    }
    return tops;
}();

constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

constexpr std::int64_t FloorMod(std::int64_t a, std::int64_t b) {
    return a - FloorDiv(a, b) * b;
}

// The staff walk: seven steps of 60 twips per octave upwards from key 0 at 5280.
constexpr std::int64_t WalkTop(std::int64_t key) {
    const std::int64_t step =
        7 * FloorDiv(key, 12) + kStepOfPitchClass[static_cast<std::size_t>(FloorMod(key, 12))];
    return kLowestStaffTop - kStaffStep * step;
}

static_assert(
    [] {
        for (int k = 0; k < kNoteTableKeys; ++k) {
            if (kBaseTops[static_cast<std::size_t>(k)] != WalkTop(k)) {
                return false;
            }
        }
        return true;
    }(),
    "note table staff tops follow the staff walk");

constexpr int Clamp(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

constexpr bool InNoteTable(int key) {
    return key >= 0 && key < kNoteTableKeys;
}

}  // namespace

std::string_view NoteName(int key) {
    if (!InNoteTable(key)) {
        return {};
    }
    return NoteTable[static_cast<std::size_t>(key)].name;
}

bool IsSharpKey(int key) {
    return NoteName(key).size() == 2;
}

int StaffTopForKey(int key, int clefOffset) {
    const std::int64_t base =
        InNoteTable(key) ? kBaseTops[static_cast<std::size_t>(key)] : WalkTop(key);
    return Clamp(base + clefOffset);
}

AccidentalPosition AccidentalPlacement(int left, int top) {
    return {Clamp(std::int64_t{left} - 140), Clamp(std::int64_t{top} - 80)};
}

std::vector<LedgerLine> LedgerLinesFor(int left, int top) {
    // The head's own line position is top + 60. Ledger lines lie every 120 twips from the first
    // position outside the staff outwards; a note gets each of them between the staff and its
    // line position, inclusive. For a head in a space (top / 60 odd) that ends at the line on the
    // staff side of the head.
    std::vector<LedgerLine> lines;
    const int x1 = Clamp(std::int64_t{left} - kLedgerLeftOverhang);
    const int x2 = Clamp(std::int64_t{x1} + kLedgerLength);
    const std::int64_t headLine = std::int64_t{top} + kStaffStep;
    constexpr std::int64_t kSpacing = 2 * kStaffStep;

    if (headLine >= kFirstLedgerBelowY) {
        for (std::int64_t y = kFirstLedgerBelowY;
             y <= headLine && lines.size() < static_cast<std::size_t>(kMaxLedgerLines);
             y += kSpacing) {
            lines.push_back({x1, x2, static_cast<int>(y)});
        }
    } else if (headLine <= kFirstLedgerAboveY) {
        for (std::int64_t y = kFirstLedgerAboveY;
             y >= headLine && lines.size() < static_cast<std::size_t>(kMaxLedgerLines);
             y -= kSpacing) {
            lines.push_back({x1, x2, static_cast<int>(y)});
        }
    }
    return lines;
}

}  // namespace quorvane::theory
