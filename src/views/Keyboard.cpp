#include "views/Keyboard.h"

#include <cmath>

#include "theory/theory.h"

namespace quorvane::views {

namespace {

constexpr std::string_view kWhiteTag = "&H00FFFFFF&";
constexpr std::string_view kBlackTag = "&H00000000&";

struct Zone {
    int from;
    int to;
    int pitchClass;
};

constexpr std::array<Zone, 7> kWhiteZones{{{0, 389, 0},
                                           {390, 779, 2},
                                           {780, 1169, 4},
                                           {1170, 1559, 5},
                                           {1560, 1949, 7},
                                           {1950, 2339, 9},
                                           {2340, 2729, 11}}};

constexpr std::array<Zone, 5> kBlackZones{
    {{240, 540, 1}, {630, 930, 3}, {1410, 1710, 6}, {1800, 2100, 8}, {2190, 2490, 10}}};

}  // namespace

std::string_view KeyBlockTag(int key) {
    return IsBlackKey(key) ? kBlackTag : kWhiteTag;
}

OleColor ColorFromTag(std::string_view tag) {
    return tag == kWhiteTag ? kWhite : kBlack;
}

int PitchClassAtPoint(float x, float y) {
    // Round half to even (the default rounding mode), then fold onto one octave. The remainder
    // keeps the sign of x: a (never seen) negative x matches no zone and selects C.
    const double rounded = std::nearbyint(static_cast<double>(x));
    if (!std::isfinite(rounded) || std::fabs(rounded) > 1e9) {
        return 0;
    }
    const int local = static_cast<int>(rounded) % kOctaveWidth;
    int result = 0;
    for (const Zone& zone : kWhiteZones) {
        if (local >= zone.from && local <= zone.to) {
            result = zone.pitchClass;
        }
    }
    if (y >= 0.0f && y <= static_cast<float>(kBlackKeyHeight)) {
        for (const Zone& zone : kBlackZones) {
            if (local >= zone.from && local <= zone.to) {
                result = zone.pitchClass;
            }
        }
    }
    return result;
}

int KeyAtPoint(float x, float y) {
    const double rounded = std::nearbyint(static_cast<double>(x));
    if (!std::isfinite(rounded) || rounded < 0 || rounded >= kOctaveWidth * (kKeyCount / 12)) {
        return -1;
    }
    return 12 * (static_cast<int>(rounded) / kOctaveWidth) + PitchClassAtPoint(x, y);
}

std::string MarkerCaption(int key, IdentifierMode mode, int root) {
    switch (mode) {
        case IdentifierMode::Markers:
            return {};
        case IdentifierMode::Names:
            return std::string(theory::NoteName(key));
        case IdentifierMode::Numbers: {
            int d = key - root;
            if (d < 0) {
                d += 24;
            }
            d = ((d % 24) + 24) % 24;
            return std::string(theory::IntervalLabels[static_cast<std::size_t>(d)]);
        }
    }
    return {};
}

HeldView ComputeHeldView(const std::vector<int>& notes, int octave) {
    HeldView view;
    std::string names;
    for (int note : notes) {
        const int key = note - kKeyZeroNote - 12 * octave;
        if (key >= 0 && key < kKeyCount) {
            view.held[static_cast<std::size_t>(key)] = true;
        }
    }
    for (int k = 0; k < kKeyCount; ++k) {
        if (view.held[static_cast<std::size_t>(k)]) {
            // Key 0 is middle C, C4.
            names += (names.empty() ? "" : ", ") + std::string(theory::NoteName(k)) +
                     std::to_string(4 + k / 12);
        }
    }
    view.description = "Held: " + (names.empty() ? std::string("none") : names) + '.';
    return view;
}

std::array<OleColor, kKeyCount> WithHeldKeys(const std::array<OleColor, kKeyCount>& colors,
                                             const HeldView& held) {
    std::array<OleColor, kKeyCount> shown = colors;
    for (int k = 0; k < kKeyCount; ++k) {
        if (held.held[static_cast<std::size_t>(k)]) {
            shown[static_cast<std::size_t>(k)] =
                IsBlackKey(k) ? kHeldBlackKeyColor : kHeldWhiteKeyColor;
        }
    }
    return shown;
}

}  // namespace quorvane::views
