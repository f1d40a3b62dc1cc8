// The fretted-shape finder: every way to finger a chord on a set of strings within one hand's
// reach, fingered as a player would, ranked the way guitarists learn shapes.
#include "theory/fretted.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <string_view>
#include <tuple>

#include "theory/catalogue.h"
#include "theory/theory.h"

namespace quorvane::theory {

namespace {

constexpr int kTopFret = 15;         // the frets above the capo searched: the neck the window shows
constexpr int kLastFret = 24;        // no neck has frets beyond this, whatever the capo
constexpr int kHandReach = 4;        // frets from the lowest fretted to the highest
constexpr int kFingers = 4;          // index..little; the thumb is not used
constexpr int kFewestSounding = 3;   // fewer sounding strings is an interval, not a chord
constexpr int kOpenPositionTop = 3;  // open chords lie in the first three frets

int Mod12(int value) {
    return ((value % 12) + 12) % 12;
}

// A chord as the finder needs it, pitch classes counted from the root.
struct ChordTones {
    std::array<int, 12> intervalOfClass{};  // the interval string's value for a class, -1 none
    unsigned allClasses = 0;                // bit per class the chord holds
    unsigned required = 0;                  // classes every shape sounds
    int bassClass = 0;
};

// The perfect fifth may go; with an 11th or 13th also the 9th, with a 13th also the 11th; never
// the highest extension above the octave, nor anything else.
bool MayLeaveOut(int interval, const std::vector<int>& intervals) {
    const int top = intervals.back();
    if (top > 12 && interval == top) {
        return false;
    }
    const bool hasEleventhOrThirteenth =
        std::any_of(intervals.begin(), intervals.end(), [](int v) { return v >= 17; });
    const bool hasThirteenth =
        std::any_of(intervals.begin(), intervals.end(), [](int v) { return v == 20 || v == 21; });
    return interval == 7 || (interval == 14 && hasEleventhOrThirteenth) ||
           (interval == 17 && hasThirteenth);
}

std::optional<ChordTones> TonesOf(int rootIndex, int chordTypeIndex, int inversion) {
    const ChordType* type = RowAt(ChordTypes, chordTypeIndex);
    if (type == nullptr) {
        return std::nullopt;
    }
    const std::optional<std::vector<int>> intervals = ReadIntervals(type->intervals);
    // The bass is the voicing's lowest note, so a triad in third inversion (the whole chord an
    // octave up) keeps its root in the bass, as the chord's name and the keyboard say.
    const ChordVoicing voicing = VoiceChord(type->intervals, rootIndex, inversion, 0);
    if (!intervals || intervals->empty() || voicing.empty()) {
        return std::nullopt;
    }
    ChordTones tones;
    tones.intervalOfClass.fill(-1);
    for (const int interval : *intervals) {
        const unsigned bit = 1u << Mod12(interval);
        tones.intervalOfClass[static_cast<std::size_t>(Mod12(interval))] = interval;
        tones.allClasses |= bit;
        if (!MayLeaveOut(interval, *intervals)) {
            tones.required |= bit;
        }
    }
    const auto lowest = std::min_element(
        voicing.begin(), voicing.end(),
        [](const ChordNote& a, const ChordNote& b) { return a.soundingKey < b.soundingKey; });
    tones.bassClass = Mod12(lowest->interval);
    return tones;
}

std::string LeftOutName(int interval) {
    switch (interval) {
        case 7:
            return "5th";
        case 14:
            return "9th";
        default:
            return "11th";
    }
}

struct Fingering {
    bool playable = false;
    std::vector<int> fingers;
    int barreFret = 0, barreFrom = -1, barreTo = -1;
    int count = 0;
};

// The strings a barre at the lowest fret can hold: the run of fretted strings (none open or
// muted, which the barre would stop) holding the most strings at that fret; {-1, -1} for none.
std::pair<int, int> BestBarre(const std::vector<int>& frets, int lowest) {
    std::pair<int, int> best{-1, -1};
    int bestHeld = 1;
    int from = -1, to = -1, held = 0;
    for (int s = 0; s <= static_cast<int>(frets.size()); ++s) {
        const int fret = s < static_cast<int>(frets.size()) ? frets[s] : kMuted;
        if (fret <= 0) {
            if (held > bestHeld) {
                best = {from, to};
                bestHeld = held;
            }
            from = -1, held = 0;
        } else if (fret == lowest) {
            from = from < 0 ? s : from;
            to = s;
            ++held;
        }
    }
    return best;
}

// Fingers go up the neck with the frets (the index on the lowest fret), each on its own string,
// unless that needs more than four: then the index lies across the strings at the lowest fret.
Fingering FingerShape(const std::vector<int>& frets) {
    Fingering result;
    result.fingers.assign(frets.size(), 0);
    std::vector<std::pair<int, int>> fretted;  // (fret, string)
    for (int s = 0; s < static_cast<int>(frets.size()); ++s) {
        if (frets[s] > 0) {
            fretted.emplace_back(frets[s], s);
        }
    }
    if (fretted.empty()) {
        result.playable = true;
        return result;
    }
    std::sort(fretted.begin(), fretted.end());
    const int lowest = fretted.front().first;
    int previous = 0;
    if (static_cast<int>(fretted.size()) > kFingers) {
        const auto [from, to] = BestBarre(frets, lowest);
        if (from < 0) {
            return result;
        }
        std::erase_if(fretted, [&, from = from, to = to](const std::pair<int, int>& note) {
            return note.first == lowest && note.second >= from && note.second <= to;
        });
        if (static_cast<int>(fretted.size()) + 1 > kFingers) {
            return result;
        }
        for (int s = from; s <= to; ++s) {
            result.fingers[s] = frets[s] == lowest ? 1 : 0;
        }
        result.barreFret = lowest;
        result.barreFrom = from;
        result.barreTo = to;
        previous = 1;
    }
    const int notes = static_cast<int>(fretted.size());
    for (int i = 0; i < notes; ++i) {
        const auto [fret, string] = fretted[i];
        const int finger =
            std::min(std::max(previous + 1, fret - lowest + 1), kFingers - (notes - 1 - i));
        result.fingers[string] = finger;
        previous = finger;
    }
    result.count = previous;
    result.playable = true;
    return result;
}

// What orders the shapes, smallest first.
using RankKey = std::tuple<int, int, int, int, int, int, int, std::vector<int>>;

RankKey RankOf(const FrettedShape& shape, int fingerCount) {
    const std::vector<int>& frets = shape.frets;
    const auto first = std::find_if(frets.begin(), frets.end(), [](int f) { return f != kMuted; });
    const auto last = std::find_if(frets.rbegin(), frets.rend(), [](int f) { return f != kMuted; });
    const int innerMuted = static_cast<int>(std::count(first, last.base(), kMuted));
    int lowest = 0, highest = 0;
    bool anyOpen = false;
    for (const int fret : frets) {
        anyOpen = anyOpen || fret == 0;
        if (fret > 0) {
            lowest = lowest == 0 ? fret : std::min(lowest, fret);
            highest = std::max(highest, fret);
        }
    }
    const int span = lowest == 0 ? 0 : highest - lowest + 1;
    const int leftOut = static_cast<int>(shape.leftOut.size());
    const int sounding = -static_cast<int>(shape.notes.size());
    // Open chords sound every string from the bass up, in the first frets with open strings;
    // among them the fullest comes first, as learned.
    const bool open =
        anyOpen && highest <= kOpenPositionTop && innerMuted == 0 && last == frets.rbegin();
    if (open) {
        return {0, leftOut, sounding, span, lowest, fingerCount, 0, frets};
    }
    return {1, innerMuted, span, lowest, leftOut, sounding, fingerCount, frets};
}

class ShapeSearch {
  public:
    ShapeSearch(const std::vector<int>& strings, int capo, int rootIndex, const ChordTones& tones)
        : tones_(tones), rootIndex_(rootIndex) {
        for (const int open : strings) {
            open_.push_back(open + capo);
        }
        const int topFret = std::min(kTopFret, kLastFret - capo);
        candidates_.resize(strings.size());
        for (std::size_t s = 0; s < strings.size(); ++s) {
            candidates_[s].push_back(kMuted);
            for (int fret = 0; fret <= topFret; ++fret) {
                if ((tones.allClasses >> ClassOf(open_[s] + fret)) & 1u) {
                    candidates_[s].push_back(fret);
                }
            }
        }
        frets_.assign(strings.size(), kMuted);
        fewestSounding_ = std::min(kFewestSounding, static_cast<int>(strings.size()));
    }

    std::vector<FrettedShape> Run() {
        Place(0, 0, 0, 0, 0);
        std::vector<std::pair<RankKey, std::size_t>> order;
        order.reserve(found_.size());
        for (std::size_t i = 0; i < found_.size(); ++i) {
            order.emplace_back(RankOf(found_[i], fingerCounts_[i]), i);
        }
        std::sort(order.begin(), order.end());
        std::vector<FrettedShape> ranked;
        ranked.reserve(found_.size());
        for (const auto& [key, index] : order) {
            ranked.push_back(std::move(found_[index]));
        }
        return ranked;
    }

  private:
    int ClassOf(int note) const { return Mod12(note - rootIndex_); }

    void Place(std::size_t string, unsigned covered, int lowest, int highest, int sounding) {
        const int remaining = static_cast<int>(open_.size() - string);
        if (std::popcount(tones_.required & ~covered) > remaining ||
            sounding + remaining < fewestSounding_) {
            return;
        }
        if (string == open_.size()) {
            Keep();
            return;
        }
        for (const int fret : candidates_[string]) {
            int newLowest = lowest, newHighest = highest;
            if (fret > 0) {
                newLowest = lowest == 0 ? fret : std::min(lowest, fret);
                newHighest = std::max(highest, fret);
                if (newHighest - newLowest + 1 > kHandReach) {
                    continue;
                }
            }
            frets_[string] = fret;
            const unsigned bit = fret == kMuted ? 0u : 1u << ClassOf(open_[string] + fret);
            Place(string + 1, covered | bit, newLowest, newHighest,
                  sounding + (fret == kMuted ? 0 : 1));
        }
        frets_[string] = kMuted;
    }

    void Keep() {
        int bass = -1;
        for (std::size_t s = 0; s < open_.size(); ++s) {
            if (frets_[s] != kMuted && (bass < 0 || open_[s] + frets_[s] < bass)) {
                bass = open_[s] + frets_[s];
            }
        }
        if (ClassOf(bass) != tones_.bassClass) {
            return;
        }
        Fingering fingering = FingerShape(frets_);
        if (!fingering.playable) {
            return;
        }
        FrettedShape shape;
        shape.frets = frets_;
        shape.fingers = std::move(fingering.fingers);
        shape.barreFret = fingering.barreFret;
        shape.barreFrom = fingering.barreFrom;
        shape.barreTo = fingering.barreTo;
        unsigned covered = 0;
        for (std::size_t s = 0; s < open_.size(); ++s) {
            if (frets_[s] == kMuted) {
                shape.degrees.push_back(-1);
                continue;
            }
            const int cls = ClassOf(open_[s] + frets_[s]);
            covered |= 1u << cls;
            shape.notes.push_back(open_[s] + frets_[s]);
            shape.degrees.push_back(tones_.intervalOfClass[static_cast<std::size_t>(cls)]);
        }
        std::vector<int> missing;
        for (int cls = 0; cls < 12; ++cls) {
            if (((tones_.allClasses & ~covered) >> cls) & 1u) {
                missing.push_back(tones_.intervalOfClass[static_cast<std::size_t>(cls)]);
            }
        }
        std::sort(missing.begin(), missing.end());
        for (const int interval : missing) {
            shape.leftOut.push_back(LeftOutName(interval));
        }
        found_.push_back(std::move(shape));
        fingerCounts_.push_back(fingering.count);
    }

    const ChordTones& tones_;
    int rootIndex_;
    std::vector<int> open_;  // each string's note with the capo on
    std::vector<std::vector<int>> candidates_;
    std::vector<int> frets_;
    int fewestSounding_ = kFewestSounding;
    std::vector<FrettedShape> found_;
    std::vector<int> fingerCounts_;
};

}  // namespace

std::vector<FrettedShape> FindShapes(const std::vector<int>& strings, int capo, int rootIndex,
                                     int chordTypeIndex, int inversion) {
    if (strings.empty() || strings.size() > 8 || capo < 0 || capo > 12) {
        return {};
    }
    const std::optional<ChordTones> tones = TonesOf(rootIndex, chordTypeIndex, inversion);
    if (!tones) {
        return {};
    }
    return ShapeSearch(strings, capo, rootIndex, *tones).Run();
}

}  // namespace quorvane::theory
