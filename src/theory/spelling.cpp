#include "theory/spelling.h"

#include <array>
#include <cstddef>
#include <cstdlib>
#include <string_view>

#include "theory/catalogue.h"
#include "theory/interval_reader.h"
#include "theory/theory.h"

namespace quorvane::theory {

namespace {

constexpr std::array<int, 7> kLetterPitch{0, 2, 4, 5, 7, 9, 11};
constexpr std::array<char, 7> kLetterName{'C', 'D', 'E', 'F', 'G', 'A', 'B'};
// Letter of each pitch class when its black keys are sharps.
constexpr std::array<int, 12> kSharpLetter{0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
constexpr std::array<int, 12> kFlatLetter{0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6, 6};

// Degree above the root (0 the root, 2 the third, ...) of each chord interval as lead sheets
// count it: a minor third and a sharp ninth share a semitone count but not a letter, so the
// ninths, elevenths and thirteenths are read as the intervals above the octave they are.
constexpr int ChordDegree(int interval, bool diminishedSeventh) {
    if (interval == 9 && diminishedSeventh) {
        return 6;  // the diminished seventh, not the sixth
    }
    if (interval >= 12) {
        return interval <= 15 ? 1 : (interval <= 18 ? 3 : 5);
    }
    constexpr std::array<int, 12> kBelowOctave{0, 1, 1, 2, 2, 3, 4, 4, 4, 5, 6, 6};  // 8 is a #5
    return kBelowOctave[static_cast<std::size_t>(interval)];
}
constexpr int kDimSeventhType = 11;
static_assert(ChordTypes[kDimSeventhType].intervals == "0/3/6/9/");

constexpr int FloorDiv(int a, int b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

constexpr int Mod12(int v) {
    return v - 12 * FloorDiv(v, 12);
}

// The note `key` written with `letter`: the sign is what is left, possibly a double.
constexpr SpelledNote AsLetter(int key, int letter) {
    int alter = Mod12(key - kLetterPitch[static_cast<std::size_t>(letter)]);
    if (alter > 6) {
        alter -= 12;
    }
    const int natural = key - alter;
    return {letter, alter, 4 + FloorDiv(natural, 12)};
}

constexpr SpelledNote Plain(int key, bool flats) {
    const auto pc = static_cast<std::size_t>(Mod12(key));
    return AsLetter(key, flats ? kFlatLetter[pc] : kSharpLetter[pc]);
}

// Lead sheets never write a double sharp or flat: such a note takes its plain name, keeping the
// direction of its sign.
constexpr SpelledNote WithoutDouble(SpelledNote note, int key) {
    return std::abs(note.alter) > 1 ? Plain(key, note.alter < 0) : note;
}

struct Intervals {
    std::array<int, kMaxScaleNotes> values{};
    int count = 0;
};

Intervals Read(std::string_view text) {
    Intervals out;
    detail::ReadIntervalsWith(text, kMaxIntervalValue, [&out](int v) {
        if (out.count < kMaxScaleNotes) {
            out.values[static_cast<std::size_t>(out.count++)] = v;
        }
    });
    return out;
}

// The letter degree of every note, by the chord's or the scale's own rule.
using Degrees = std::array<int, kMaxScaleNotes>;

Degrees ChordDegrees(const Intervals& iv, int chordType) {
    Degrees d{};
    for (int i = 0; i < iv.count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        d[at] = ChordDegree(iv.values[at], chordType == kDimSeventhType);
    }
    return d;
}

// A scale of seven pitch classes gets one letter per degree; any other scale spells each note
// as a degree of the major scale or a lowered one (b2, b3, b5, b6, b7).
Degrees ScaleDegrees(const Intervals& iv) {
    std::array<bool, 12> present{};
    for (int i = 0; i < iv.count; ++i) {
        present[static_cast<std::size_t>(Mod12(iv.values[static_cast<std::size_t>(i)]))] = true;
    }
    std::array<int, 12> rank{};
    int distinct = 0;
    for (std::size_t pc = 0; pc < 12; ++pc) {
        rank[pc] = distinct;
        distinct += present[pc] ? 1 : 0;
    }
    Degrees d{};
    for (int i = 0; i < iv.count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const auto pc = static_cast<std::size_t>(Mod12(iv.values[at]));
        d[at] = distinct == 7 ? rank[pc] : kFlatLetter[pc];
    }
    return d;
}

struct Spelled {
    std::array<SpelledNote, kMaxScaleNotes> notes{};
    int signs = 0;  // sharps and flats before doubles are mended, a double counting two
};

Spelled ByDegree(int root, int rootLetter, const Intervals& iv, const Degrees& degrees) {
    Spelled out;
    for (int i = 0; i < iv.count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const int key = root + iv.values[at];
        const SpelledNote note = AsLetter(key, (rootLetter + degrees[at]) % 7);
        out.signs += std::abs(note.alter);
        out.notes[at] = WithoutDouble(note, key);
    }
    return out;
}

// A black-key root takes the name under which its notes need fewer signs; on a tie the flat,
// except F#, which musicians keep.
Spelled ByDegreeBestRoot(int root, const Intervals& iv, const Degrees& degrees) {
    const auto pc = static_cast<std::size_t>(root);
    const Spelled sharp = ByDegree(root, kSharpLetter[pc], iv, degrees);
    if (kSharpLetter[pc] == kFlatLetter[pc]) {
        return sharp;
    }
    const Spelled flat = ByDegree(root, kFlatLetter[pc], iv, degrees);
    if (sharp.signs != flat.signs) {
        return sharp.signs < flat.signs ? sharp : flat;
    }
    return root == 6 ? sharp : flat;
}

std::vector<SpelledNote> Spell(int root, const Intervals& iv, const Degrees& degrees,
                               Spelling spelling) {
    std::vector<SpelledNote> notes;
    notes.reserve(static_cast<std::size_t>(iv.count));
    if (spelling == Spelling::ByChord) {
        const Spelled s = ByDegreeBestRoot(root, iv, degrees);
        notes.assign(s.notes.begin(), s.notes.begin() + iv.count);
        return notes;
    }
    for (int i = 0; i < iv.count; ++i) {
        notes.push_back(SpellKey(root + iv.values[static_cast<std::size_t>(i)], spelling));
    }
    return notes;
}

int Sounds(const SpelledNote& n) {
    return 12 * (n.octave - 4) + kLetterPitch[static_cast<std::size_t>(n.letter)] + n.alter;
}

// A note whose double sign was mended may land on the step of another chord note (E7#9 raised
// into G#5 beside the mended G5); that other note then takes its other name, and so on along the
// chord while a renamed note meets another, as a chord never puts two notes on one step.
void SeparateMended(std::vector<SpelledNote>& notes, const Degrees& degrees) {
    const int rootLetter = notes.front().letter;
    std::array<bool, kMaxScaleNotes> fixed{};
    for (std::size_t i = 0; i < notes.size(); ++i) {
        fixed[i] = notes[i].letter != (rootLetter + degrees[i]) % 7;
    }
    for (bool moved = true; moved;) {
        moved = false;
        for (std::size_t a = 0; a < notes.size(); ++a) {
            for (std::size_t b = 0; b < notes.size(); ++b) {
                SpelledNote& n = notes[b];
                if (a != b && fixed[a] && !fixed[b] && n.alter != 0 &&
                    n.Step() == notes[a].Step()) {
                    n = Plain(Sounds(n), n.alter > 0);
                    fixed[b] = moved = true;
                }
            }
        }
    }
}

bool InChordCatalogue(int root, int chordType, int inversion) {
    return root >= 0 && root < 12 && RowAt(ChordTypes, chordType) != nullptr && inversion >= 0 &&
           inversion < 4;
}

bool InScaleCatalogue(int root, int scale) {
    return root >= 0 && root < 12 && RowAt(Scales, scale) != nullptr;
}

std::vector<SpelledNote> SpellChordRoot(int root, int chordType, Spelling spelling, Intervals& iv) {
    iv = Read(ChordTypes[static_cast<std::size_t>(chordType)].intervals);
    return Spell(root, iv, ChordDegrees(iv, chordType), spelling);
}

// One widely read symbol per chord type, in catalogue order, that rebuilds exactly its notes.
constexpr std::array<std::string_view, 53> kSuffixes{
    "",
    "m",
    "sus2",
    "sus4",
    "dim",
    "aug",
    "6",
    "m6",
    "7",
    "maj7",
    "m7",
    "dim7",
    "7b5",
    "7#5",
    "7b9",
    "7#9",
    "maj9",
    "9",
    "9b5",
    "11",
    "9#11",
    "m(maj7)",
    "m9",
    "m(maj9)",
    "m11",
    "maj11",
    "m(maj11)",
    "13",
    "m13",
    "maj13",
    "m(maj13)",
    "add9",
    "madd9",
    "6/9",
    "m6/9",
    "7add11",
    "m7add11",
    "maj7add11",
    "m(maj7)add11",
    "7add13",
    "m7add13",
    "maj7add13",
    "m(maj7)add13",
    "7#5b9",
    "m7b5",
    "m7#5",
    "m7b9",
    "9b13",
    "6sus4",
    "7sus4",
    "maj7sus4",
    "9sus4",
    "maj9sus4",
};

}  // namespace

std::string SpelledNote::Name() const {
    std::string name(1, kLetterName[static_cast<std::size_t>(letter)]);
    if (alter != 0) {
        name.append(static_cast<std::size_t>(std::abs(alter)), alter > 0 ? '#' : 'b');
    }
    return name;
}

std::string SpelledNote::NameWithOctave() const {
    return Name() + std::to_string(octave);
}

SpelledNote SpellKey(int key, Spelling spelling) {
    return Plain(key, spelling == Spelling::Flats);
}

std::string PitchClassName(int pitchClass, Spelling spelling) {
    return SpellKey(Mod12(pitchClass), spelling).Name();
}

int StaffTopForStep(int step, int clefOffset) {
    return kLowestStaffTop - kStaffStep * step + clefOffset;
}

std::string ChordSuffix(int chordTypeIndex) {
    const std::string_view* suffix = RowAt(kSuffixes, chordTypeIndex);
    return suffix != nullptr ? std::string(*suffix) : std::string();
}

std::vector<SpelledNote> SpellChord(int rootIndex, int chordTypeIndex, int inversion,
                                    Spelling spelling) {
    if (!InChordCatalogue(rootIndex, chordTypeIndex, inversion)) {
        return {};
    }
    Intervals iv;
    std::vector<SpelledNote> notes = SpellChordRoot(rootIndex, chordTypeIndex, spelling, iv);
    for (int i = 0; i < inversion && i < iv.count; ++i) {
        ++notes[static_cast<std::size_t>(i)].octave;
    }
    if (spelling == Spelling::ByChord) {
        SeparateMended(notes, ChordDegrees(iv, chordTypeIndex));
    }
    return notes;
}

std::string ChordRootName(int rootIndex, int chordTypeIndex, Spelling spelling) {
    const std::vector<SpelledNote> notes = SpellChord(rootIndex, chordTypeIndex, 0, spelling);
    return notes.empty() ? std::string() : notes.front().Name();
}

std::string NameRoot(int rootIndex, int chordTypeIndex, Spelling spelling) {
    if (spelling != Spelling::Sharps) {
        return ChordRootName(rootIndex, chordTypeIndex, spelling);
    }
    const std::string_view* text = RowAt(RootNames, rootIndex);
    return text != nullptr && RowAt(ChordTypes, chordTypeIndex) != nullptr ? std::string(*text)
                                                                           : std::string();
}

std::string ChordSymbol(int rootIndex, int chordTypeIndex, int inversion, Spelling spelling) {
    if (!InChordCatalogue(rootIndex, chordTypeIndex, inversion)) {
        return {};
    }
    Intervals iv;
    const std::vector<SpelledNote> notes = SpellChordRoot(rootIndex, chordTypeIndex, spelling, iv);
    std::size_t lowest = 0;
    int lowestKey = 0;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const int key = iv.values[i] + (static_cast<int>(i) < inversion ? 12 : 0);
        if (i == 0 || key < lowestKey) {
            lowest = i;
            lowestKey = key;
        }
    }
    std::string symbol = notes.front().Name() + ChordSuffix(chordTypeIndex);
    if (Mod12(lowestKey) != 0) {
        symbol += "/" + notes[lowest].Name();
    }
    return symbol;
}

std::vector<SpelledNote> SpellScale(int rootIndex, int scaleIndex, Spelling spelling) {
    if (!InScaleCatalogue(rootIndex, scaleIndex)) {
        return {};
    }
    const Intervals iv = Read(Scales[static_cast<std::size_t>(scaleIndex)].intervals);
    return Spell(rootIndex, iv, ScaleDegrees(iv), spelling);
}

std::string ScaleRootName(int rootIndex, int scaleIndex, Spelling spelling) {
    const std::vector<SpelledNote> notes = SpellScale(rootIndex, scaleIndex, spelling);
    return notes.empty() ? std::string() : notes.front().Name();
}

}  // namespace quorvane::theory
