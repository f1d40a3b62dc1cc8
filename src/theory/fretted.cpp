// The fretted-shape finder: every way to finger a chord on a set of strings within one hand's
// reach, fingered as a player would, ranked the way guitarists learn shapes.
#include "theory/fretted.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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
constexpr int kMostStrings = 8;
constexpr int kNoNote = std::numeric_limits<int>::max();

int Mod12(int value) {
    return ((value % 12) + 12) % 12;
}

// Pitch-class sets are 12 bits; a table keeps the count off a library call on plain x86-64.
constexpr std::array<std::uint8_t, 4096> kBitCounts = [] {
    std::array<std::uint8_t, 4096> counts{};
    for (std::size_t set = 0; set < counts.size(); ++set) {
        counts[set] = static_cast<std::uint8_t>(std::popcount(set));
    }
    return counts;
}();

int PopCount(unsigned set) {
    return kBitCounts[set & 0xfffu];
}

// A chord as the finder needs it, pitch classes counted from the root.
struct ChordTones {
    std::array<int, 12> intervalOfClass{};  // the interval string's value for a class, -1 none
    std::vector<int> intervals;             // as the interval string lists them, ascending
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
    tones.intervals = *intervals;
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

using FretRow = std::array<int, kMostStrings>;

struct Fingering {
    bool playable = false;
    FretRow fingers{};
    int barreFret = 0, barreFrom = -1, barreTo = -1;
    int count = 0;
};

// Fingers go up the neck with the frets (the index on the lowest fret), each on its own string,
// unless that needs more than four: then the index lies across every string at the lowest fret,
// which needs those strings side by side with none between them open or muted.
Fingering FingerShape(const FretRow& frets, int strings) {
    Fingering result;
    std::array<std::pair<int, int>, kMostStrings> fretted{};  // (fret, string)
    int notes = 0;
    for (int s = 0; s < strings; ++s) {
        if (frets[s] <= 0) {
            continue;
        }
        // Kept in order of fret, then string, as the strings come in order.
        int at = notes++;
        for (; at > 0 && fretted[at - 1].first > frets[s]; --at) {
            fretted[at] = fretted[at - 1];
        }
        fretted[at] = {frets[s], s};
    }
    const int lowest = notes > 0 ? fretted[0].first : 0;
    int previous = 0;
    int first = 0;  // the first note a finger of its own takes
    if (notes > kFingers) {
        while (first < notes && fretted[first].first == lowest) {
            ++first;
        }
        const int from = fretted[0].second, to = fretted[first - 1].second;
        for (int s = from; s <= to; ++s) {
            if (frets[s] <= 0) {
                return result;
            }
        }
        if (first < 2 || notes - first + 1 > kFingers) {
            return result;
        }
        for (int i = 0; i < first; ++i) {
            result.fingers[fretted[i].second] = 1;
        }
        result.barreFret = lowest;
        result.barreFrom = from;
        result.barreTo = to;
        previous = 1;
    }
    for (int i = first; i < notes; ++i) {
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

// Packs the ranking into one number, the most telling field highest; smaller ranks first.
class RankKey {
  public:
    RankKey& Then(int value, int bits) {
        key_ = (key_ << bits) | static_cast<std::uint64_t>(value);
        return *this;
    }
    std::uint64_t Value() const { return key_; }

  private:
    std::uint64_t key_ = 0;
};

std::uint64_t RankOf(const FretRow& frets, int strings, int leftOut, int fingerCount) {
    int firstSounding = -1, lastSounding = -1, muted = 0, sounding = 0;
    int lowest = 0, highest = 0;
    bool anyOpen = false;
    for (int s = 0; s < strings; ++s) {
        const int fret = frets[s];
        if (fret == kMuted) {
            muted += firstSounding >= 0 ? 1 : 0;
            continue;
        }
        firstSounding = firstSounding < 0 ? s : firstSounding;
        lastSounding = s;
        ++sounding;
        anyOpen = anyOpen || fret == 0;
        if (fret > 0) {
            lowest = lowest == 0 ? fret : std::min(lowest, fret);
            highest = std::max(highest, fret);
        }
    }
    const int innerMuted = muted - (strings - 1 - lastSounding);
    const int span = lowest == 0 ? 0 : highest - lowest + 1;
    const int silent = kMostStrings - sounding;
    // Open chords sound every string from the bass to the top, in the first frets, with open
    // strings; among them the fullest comes first, as they are learned.
    const bool open = anyOpen && highest <= kOpenPositionTop && innerMuted == 0 &&
                      lastSounding == strings - 1 && sounding >= strings - 2;
    // Open strings under a hand far up the neck ring apart from it: such shapes come after the
    // ones the hand holds alone.
    const bool openUnderHand = anyOpen && lowest > kOpenPositionTop;
    RankKey key;
    if (open) {
        key.Then(0, 1).Then(leftOut, 3).Then(silent, 4).Then(span, 3).Then(lowest, 5);
    } else {
        // A fragment of three strings is no chord a player reaches for before a full barre: the
        // whole chord on the most strings comes before a small stretch and a low position.
        key.Then(1, 1).Then(innerMuted, 3).Then(openUnderHand ? 1 : 0, 1).Then(leftOut, 3);
        key.Then(silent, 4).Then(span, 3).Then(lowest, 5);
    }
    return key.Then(fingerCount, 3).Value();
}

class ShapeSearch {
  public:
    ShapeSearch(const std::vector<int>& strings, int capo, int rootIndex, const ChordTones& tones)
        : tones_(tones), rootIndex_(rootIndex), strings_(static_cast<int>(strings.size())) {
        const int topFret = std::min(kTopFret, kLastFret - capo);
        for (int s = 0; s < strings_; ++s) {
            open_[s] = strings[s] + capo;
            candidates_[s].push_back(kMuted);
            for (int fret = 0; fret <= topFret; ++fret) {
                if ((tones.allClasses >> ClassOf(open_[s] + fret)) & 1u) {
                    candidates_[s].push_back(fret);
                }
            }
        }
        lowestAfter_[strings_] = kNoNote;
        for (int s = strings_ - 1; s >= 0; --s) {
            lowestAfter_[s] = std::min(lowestAfter_[s + 1], open_[s]);
        }
        frets_.fill(kMuted);
        fewestSounding_ = std::min(kFewestSounding, strings_);
    }

    std::vector<FrettedShape> Run() {
        Place(0, 0, kNoNote, 0, 0, 0);
        // Equal ranks go in the order of their frets, so the list never depends on the search.
        std::vector<std::pair<std::uint64_t, std::uint64_t>> order;  // (rank, frets)
        order.reserve(found_.size());
        for (const Found& found : found_) {
            std::uint64_t frets = 0;
            for (int s = 0; s < strings_; ++s) {
                frets = (frets << 5) | static_cast<std::uint64_t>(found.frets[s] + 1);
            }
            order.emplace_back(found.rank, frets);
        }
        std::vector<std::size_t> byRank(found_.size());
        for (std::size_t i = 0; i < byRank.size(); ++i) {
            byRank[i] = i;
        }
        std::sort(byRank.begin(), byRank.end(),
                  [&](std::size_t a, std::size_t b) { return order[a] < order[b]; });
        std::vector<FrettedShape> shapes;
        shapes.reserve(found_.size());
        for (const std::size_t i : byRank) {
            shapes.push_back(Shape(found_[i]));
        }
        return shapes;
    }

  private:
    struct Found {
        std::uint64_t rank;
        FretRow frets;
        Fingering fingering;
    };

    int ClassOf(int note) const { return Mod12(note - rootIndex_); }

    // Tries every fret of `string` and the strings after it; `bass` is the lowest note so far.
    void Place(int string, unsigned covered, int bass, int lowest, int highest, int sounding) {
        const int remaining = strings_ - string;
        if (PopCount(tones_.required & ~covered) > remaining ||
            sounding + remaining < fewestSounding_) {
            return;
        }
        // A bass no later string can go under must be the chord's.
        if (bass < lowestAfter_[string] && ClassOf(bass) != tones_.bassClass) {
            return;
        }
        if (string == strings_) {
            Keep(covered, sounding);
            return;
        }
        for (const int fret : candidates_[string]) {
            if (fret == kMuted) {
                Place(string + 1, covered, bass, lowest, highest, sounding);
                continue;
            }
            int newLowest = lowest, newHighest = highest;
            if (fret > 0) {
                if (lowest > 0 && fret >= lowest + kHandReach) {
                    break;  // the candidates rise, so every later one is out of reach too
                }
                newLowest = lowest == 0 ? fret : std::min(lowest, fret);
                newHighest = std::max(highest, fret);
                if (newHighest - newLowest + 1 > kHandReach) {
                    continue;
                }
            }
            const int note = open_[string] + fret;
            frets_[string] = fret;
            ++atFret_[static_cast<std::size_t>(fret)];
            // Notes above the lowest fret each take a finger of their own, and the lowest
            // fret only comes down as strings are added, so four of them are never playable.
            const bool reachable =
                fret == 0 || fretted_ + 1 - atFret_[static_cast<std::size_t>(newLowest)] < kFingers;
            if (reachable) {
                fretted_ += fret > 0 ? 1 : 0;
                Place(string + 1, covered | (1u << ClassOf(note)), std::min(bass, note), newLowest,
                      newHighest, sounding + 1);
                fretted_ -= fret > 0 ? 1 : 0;
            }
            --atFret_[static_cast<std::size_t>(fret)];
            frets_[string] = kMuted;
        }
    }

    void Keep(unsigned covered, int sounding) {
        if (sounding < fewestSounding_) {
            return;
        }
        const Fingering fingering = FingerShape(frets_, strings_);
        if (!fingering.playable) {
            return;
        }
        const int leftOut = PopCount(tones_.allClasses & ~covered);
        found_.push_back({RankOf(frets_, strings_, leftOut, fingering.count), frets_, fingering});
    }

    FrettedShape Shape(const Found& found) const {
        const FretRow& frets = found.frets;
        const Fingering& fingering = found.fingering;
        FrettedShape shape;
        shape.notes.reserve(static_cast<std::size_t>(strings_));
        shape.degrees.reserve(static_cast<std::size_t>(strings_));
        shape.frets.assign(frets.begin(), frets.begin() + strings_);
        shape.fingers.assign(fingering.fingers.begin(), fingering.fingers.begin() + strings_);
        shape.barreFret = fingering.barreFret;
        shape.barreFrom = fingering.barreFrom;
        shape.barreTo = fingering.barreTo;
        unsigned covered = 0;
        for (int s = 0; s < strings_; ++s) {
            if (frets[s] == kMuted) {
                shape.degrees.push_back(-1);
                continue;
            }
            const int cls = ClassOf(open_[s] + frets[s]);
            covered |= 1u << cls;
            shape.notes.push_back(open_[s] + frets[s]);
            shape.degrees.push_back(tones_.intervalOfClass[static_cast<std::size_t>(cls)]);
        }
        for (const int interval : tones_.intervals) {
            if (((covered >> Mod12(interval)) & 1u) == 0) {
                shape.leftOut.push_back(LeftOutName(interval));
            }
        }
        return shape;
    }

    const ChordTones& tones_;
    int rootIndex_;
    int strings_;
    FretRow open_{};  // each string's note with the capo on
    std::array<std::vector<int>, kMostStrings> candidates_;
    std::array<int, kMostStrings + 1> lowestAfter_{};  // the lowest open note from a string on
    FretRow frets_{};
    std::array<int, kLastFret + 1> atFret_{};  // how many strings the shape so far frets there
    int fretted_ = 0;
    int fewestSounding_ = kFewestSounding;
    std::vector<Found> found_;
};

}  // namespace

std::vector<FrettedShape> FindShapes(const std::vector<int>& strings, int capo, int rootIndex,
                                     int chordTypeIndex, int inversion) {
    if (strings.empty() || strings.size() > kMostStrings || capo < 0 || capo > 12) {
        return {};
    }
    const std::optional<ChordTones> tones = TonesOf(rootIndex, chordTypeIndex, inversion);
    if (!tones) {
        return {};
    }
    return ShapeSearch(strings, capo, rootIndex, *tones).Run();
}

}  // namespace quorvane::theory
