#include "theory/keys.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <string_view>

#include "theory/catalogue.h"
#include "theory/symbols.h"
#include "theory/type_intervals.h"

namespace quorvane::theory {

namespace {

using detail::LowestPitchClass;
using detail::Mod12;
using detail::TypeIntervals;

constexpr std::array<int, 7> kLetterPitch{0, 2, 4, 5, 7, 9, 11};
constexpr std::array<char, 7> kLetterName{'C', 'D', 'E', 'F', 'G', 'A', 'B'};

// The tonic's letter in each key, as keys are written: Db, Eb, F#, Ab and Bb major; C#, Eb,
// F#, G# and Bb minor.
constexpr std::array<int, 12> kMajorTonicLetter{0, 1, 1, 2, 2, 3, 3, 4, 5, 5, 6, 6};
constexpr std::array<int, 12> kMinorTonicLetter{0, 0, 1, 2, 2, 3, 3, 4, 4, 5, 6, 6};

constexpr std::array<int, 7> kMajorScale{0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> kMinorScale{0, 2, 3, 5, 7, 8, 10};

// The degree (0 the tonic .. 6) each interval above the tonic is written on, and its sign
// against the key's own scale: off-scale roots of a major key are lowered degrees (bII, bIII,
// bVI, bVII) but for the raised fourth; those of a minor key raised ones but for the bII.
struct Degree {
    int degree;
    int sign;  // -1, 0, +1
};
constexpr std::array<Degree, 12> kMajorDegrees{
    Degree{0, 0}, Degree{1, -1}, Degree{1, 0},  Degree{2, -1}, Degree{2, 0},  Degree{3, 0},
    Degree{3, 1}, Degree{4, 0},  Degree{5, -1}, Degree{5, 0},  Degree{6, -1}, Degree{6, 0},
};
constexpr std::array<Degree, 12> kMinorDegrees{
    Degree{0, 0}, Degree{1, -1}, Degree{1, 0}, Degree{2, 0}, Degree{2, 1}, Degree{3, 0},
    Degree{3, 1}, Degree{4, 0},  Degree{5, 0}, Degree{5, 1}, Degree{6, 0}, Degree{6, 1},
};

constexpr std::array<std::string_view, 7> kNumerals{"I", "II", "III", "IV", "V", "VI", "VII"};

bool Has(const std::vector<int>& intervals, int v) {
    return std::find(intervals.begin(), intervals.end(), v) != intervals.end();
}

Degree DegreeOf(int interval, Key key) {
    return (key.minor ? kMinorDegrees : kMajorDegrees)[static_cast<std::size_t>(Mod12(interval))];
}

// The degree a chord's root is written on: off the scale, a diminished chord is the leading
// chord of the degree above it (G#dim7 before Am in C major), so it takes the raised degree below.
Degree RootDegree(const SequenceChord& chord, Key key) {
    const int interval = Mod12(chord.rootIndex - key.tonic);
    const Degree d = DegreeOf(interval, key);
    const std::vector<int>& iv = TypeIntervals(chord.chordTypeIndex);
    const bool diminished = Has(iv, 3) && Has(iv, 6) && !Has(iv, 10);
    const Degree above = DegreeOf(interval + 1, key);
    if (diminished && d.sign != 0 && above.sign == 0) {
        return {(above.degree + 6) % 7, 1};
    }
    return d;
}

int TonicLetter(Key key) {
    return (key.minor ? kMinorTonicLetter
                      : kMajorTonicLetter)[static_cast<std::size_t>(Mod12(key.tonic))];
}

// The pitch class written on `letter`; a sign beyond one sharp or flat takes the plain name in
// the sign's direction, as lead sheets never write doubles.
std::string NameOnLetter(int pitchClass, int letter) {
    int alter = Mod12(pitchClass - kLetterPitch[static_cast<std::size_t>(letter)]);
    alter = alter > 6 ? alter - 12 : alter;
    if (std::abs(alter) > 1) {
        return PitchClassName(pitchClass, alter < 0 ? Spelling::Flats : Spelling::Sharps);
    }
    std::string name(1, kLetterName[static_cast<std::size_t>(letter)]);
    if (alter != 0) {
        name += alter > 0 ? '#' : 'b';
    }
    return name;
}

std::string NoteInKey(int pitchClass, Key key) {
    const Degree d = DegreeOf(pitchClass - key.tonic, key);
    return NameOnLetter(Mod12(pitchClass), (TonicLetter(key) + d.degree) % 7);
}

bool InScale(int pitchClass, Key key) {
    const auto& scale = key.minor ? kMinorScale : kMajorScale;
    return std::find(scale.begin(), scale.end(), Mod12(pitchClass - key.tonic)) != scale.end();
}

// Diatonic: every note in the key's scale; a minor key also takes its raised seventh, which its
// dominant chords hold.
bool Diatonic(const SequenceChord& chord, Key key) {
    for (const int v : TypeIntervals(chord.chordTypeIndex)) {
        const int pc = chord.rootIndex + v;
        if (!InScale(pc, key) && !(key.minor && Mod12(pc - key.tonic) == 11)) {
            return false;
        }
    }
    return true;
}

bool KnownChord(const SequenceCell& cell) {
    const SequenceChord& c = cell.chord;
    return cell.known && c.rootIndex >= 0 && c.rootIndex < 12 &&
           RowAt(ChordTypes, c.chordTypeIndex) != nullptr && c.inversion >= 0 && c.inversion < 4;
}

// A dominant: a major triad, or a major third and a minor seventh.
bool Dominant(int type) {
    const std::vector<int>& iv = TypeIntervals(type);
    return Has(iv, 4) && (Has(iv, 10) || iv == std::vector<int>{0, 4, 7});
}

bool LowerCase(int type) {
    const std::vector<int>& iv = TypeIntervals(type);
    return Has(iv, 3) && !Has(iv, 4);
}

// The figures after the numeral: the symbol's, without the letters the numeral's case already
// says, and the marks of diminished, half-diminished and augmented chords. A sixth chord is
// "add6" so that "6" stays the first inversion.
std::string Figures(int type) {
    switch (type) {
        case 4:
            return "\u00B0";
        case 5:
            return "+";
        case 6:
        case 7:
            return "add6";
        case 11:
            return "\u00B07";
        case 13:
            return "+7";
        case 43:
            return "+7b9";
        case 44:
            return "\u00F87";
        default:
            break;
    }
    std::string figures;
    for (const char c : ChordSuffix(type)) {
        if (c != '(' && c != ')') {
            figures += c;
        }
    }
    if (LowerCase(type) && figures.starts_with('m') && !figures.starts_with("maj")) {
        figures.erase(0, 1);
    }
    return figures;
}

// Figured bass for an inverted triad or seventh chord: the figures in place of the seventh's
// "7" (or after a triad's marks); other chords keep their figures.
std::string WithInversion(std::string figures, const SequenceChord& chord) {
    const std::vector<int>& iv = TypeIntervals(chord.chordTypeIndex);
    const int bass = Mod12(
        LowestPitchClass(chord.rootIndex, chord.chordTypeIndex, chord.inversion) - chord.rootIndex);
    const auto at = std::find_if(iv.begin(), iv.end(), [&](int v) { return Mod12(v) == bass; });
    const auto position = static_cast<std::size_t>(at - iv.begin());
    if (position == 0 || position >= iv.size()) {
        return figures;
    }
    if (iv.size() == 3) {
        return figures + (position == 1 ? "6" : "64");
    }
    constexpr std::array<std::string_view, 4> kSeventh{"7", "65", "43", "42"};
    if (iv.size() == 4 && figures.ends_with('7') && Mod12(iv[3]) >= 9) {
        figures.pop_back();
        return figures + std::string(kSeventh[position]);
    }
    return figures;
}

std::string Numeral(Degree d, bool lower) {
    std::string out = d.sign < 0 ? "b" : (d.sign > 0 ? "#" : "");
    std::string numeral(kNumerals[static_cast<std::size_t>(d.degree)]);
    if (lower) {
        std::transform(numeral.begin(), numeral.end(), numeral.begin(),
                       [](char c) { return static_cast<char>(c - 'A' + 'a'); });
    }
    return out + numeral;
}

// The degree a secondary dominant leads to: a major or minor chord of the key other than its
// tonic, a fifth below the dominant's root. Its numeral, or empty.
std::string SecondaryTarget(const SequenceChord& chord, Key key) {
    const int target = Mod12(chord.rootIndex - 7 - key.tonic);
    const auto& scale = key.minor ? kMinorScale : kMajorScale;
    const auto at = std::find(scale.begin(), scale.end(), target);
    if (target == 0 || at == scale.end()) {
        return {};
    }
    // The triad on the degree: its third and fifth within the scale.
    const auto degree = static_cast<std::size_t>(at - scale.begin());
    const int third = Mod12(scale[(degree + 2) % 7] - target);
    const int fifth = Mod12(scale[(degree + 4) % 7] - target);
    if (fifth != 7) {
        return {};
    }
    return Numeral(DegreeOf(target, key), third == 3);
}

}  // namespace

std::string KeyName(Key key) {
    return NoteInKey(key.tonic, key) + (key.minor ? " minor" : " major");
}

std::vector<Key> AllKeys() {
    std::vector<Key> keys;
    for (const bool minor : {false, true}) {
        for (int tonic = 0; tonic < 12; ++tonic) {
            keys.push_back({tonic, minor});
        }
    }
    return keys;
}

Key FindKey(const std::vector<SequenceCell>& cells, int beatsPerChord) {
    std::vector<const SequenceCell*> known;
    for (const SequenceCell& cell : cells) {
        if (KnownChord(cell)) {
            known.push_back(&cell);
        }
    }
    Key best;
    long bestScore = -1;
    for (const Key key : AllKeys()) {
        long score = 0;
        for (const SequenceCell* cell : known) {
            score += Diatonic(cell->chord, key) ? beatsPerChord : 0;
        }
        // The tonic chord at either end counts as much as one more chord in the key.
        for (const SequenceCell* end :
             {known.empty() ? nullptr : known.front(), known.size() < 2 ? nullptr : known.back()}) {
            if (end != nullptr && end->chord.rootIndex == key.tonic && Diatonic(end->chord, key)) {
                score += beatsPerChord;
            }
        }
        if (score > bestScore) {
            best = key;
            bestScore = score;
        }
    }
    return best;
}

std::string RomanNumeral(const SequenceCell& cell, Key key) {
    if (!KnownChord(cell)) {
        return {};
    }
    const SequenceChord& chord = cell.chord;
    const int type = chord.chordTypeIndex;
    const std::string figures = WithInversion(Figures(type), chord);
    const int interval = Mod12(chord.rootIndex - key.tonic);
    if (Dominant(type) && interval != 7 && !Diatonic(chord, key)) {
        const std::string target = SecondaryTarget(chord, key);
        if (!target.empty()) {
            return "V" + figures + "/" + target;
        }
    }
    return Numeral(RootDegree(chord, key), LowerCase(type)) + figures;
}

std::string SymbolInKey(const SequenceChord& chord, Key key, Spelling spelling) {
    if (spelling != Spelling::ByChord || !KnownChord(SequenceCell{chord, true, {}, {}})) {
        return ChordSymbol(chord.rootIndex, chord.chordTypeIndex, chord.inversion, spelling);
    }
    const Degree d = RootDegree(chord, key);
    const int rootLetter = (TonicLetter(key) + d.degree) % 7;
    std::string symbol =
        NameOnLetter(chord.rootIndex, rootLetter) + ChordSuffix(chord.chordTypeIndex);
    const int bass = LowestPitchClass(chord.rootIndex, chord.chordTypeIndex, chord.inversion);
    if (bass != chord.rootIndex) {
        // The bass keeps its letter's distance from the root as the chord spells it.
        const std::vector<SpelledNote> notes =
            SpellChord(chord.rootIndex, chord.chordTypeIndex, 0, Spelling::ByChord);
        const std::vector<int>& iv = TypeIntervals(chord.chordTypeIndex);
        for (std::size_t i = 0; i < iv.size(); ++i) {
            if (Mod12(chord.rootIndex + iv[i]) == bass) {
                const int step = notes[i].letter - notes.front().letter;
                symbol += "/" + NameOnLetter(bass, ((rootLetter + step) % 7 + 7) % 7);
                break;
            }
        }
    }
    return symbol;
}

std::vector<SpelledNote> SpellChordInKey(const SequenceChord& chord, Key key, Spelling spelling) {
    std::vector<SpelledNote> notes =
        SpellChord(chord.rootIndex, chord.chordTypeIndex, chord.inversion, spelling);
    if (spelling != Spelling::ByChord || notes.empty()) {
        return notes;
    }
    const int rootLetter = (TonicLetter(key) + RootDegree(chord, key).degree) % 7;
    const int shift = rootLetter - notes.front().letter;
    for (SpelledNote& note : notes) {
        const int sounds = 12 * (note.octave - 4) +
                           kLetterPitch[static_cast<std::size_t>(note.letter)] + note.alter;
        const int letter = ((note.letter + shift) % 7 + 7) % 7;
        const std::string name = NameOnLetter(Mod12(sounds), letter);
        note.letter = static_cast<int>(std::string_view("CDEFGAB").find(name[0]));
        note.alter = name.size() == 1 ? 0 : (name[1] == '#' ? 1 : -1);
        const int natural =
            sounds - note.alter - kLetterPitch[static_cast<std::size_t>(note.letter)];
        note.octave = 4 + (natural >= 0 ? natural / 12 : -((-natural + 11) / 12));
    }
    return notes;
}

int KeyFifths(Key key) {
    constexpr std::array<int, 12> kMajor{0, -5, 2, -3, 4, -1, 6, 1, -4, 3, -2, 5};
    constexpr std::array<int, 12> kMinor{-3, 4, -1, -6, 1, -4, 3, -2, 5, 0, -5, 2};
    return (key.minor ? kMinor : kMajor)[static_cast<std::size_t>(Mod12(key.tonic))];
}

SequenceCell Transpose(const SequenceCell& cell, int semitones) {
    SequenceCell out = cell;
    if (cell.known) {
        out.chord.rootIndex = Mod12(cell.chord.rootIndex + semitones);
        return out;
    }
    out.text = TransposeSymbolText(cell.text, semitones);
    return out;
}

Key Transpose(Key key, int semitones) {
    return {Mod12(key.tonic + semitones), key.minor};
}

}  // namespace quorvane::theory
