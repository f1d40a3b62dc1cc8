// Fretted shapes as text: the listed tunings and tuning text, tab text both ways, the ChordPro
// define line, what a shape leaves out, and the degree labels the dots carry.
#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string_view>

#include "theory/catalogue.h"
#include "theory/fretted.h"
#include "theory/theory.h"

namespace quorvane::theory {

namespace {

constexpr int kLowestTuned = 23;   // B0
constexpr int kHighestTuned = 88;  // E6
constexpr int kFewestStrings = 3;
constexpr int kMostStrings = 8;
constexpr int kHighestWrittenFret = 24;
constexpr int kBoxFrets = 4;  // a chord box drawn from the nut shows frets 1..4

std::string Quoted(std::string_view token) {
    return "\"" + std::string(token) + "\"";
}

std::vector<std::string_view> Tokens(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> tokens;
    std::size_t start = 0;
    while (start < text.size()) {
        start = text.find_first_not_of(separators, start);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(text.find_first_of(separators, start), text.size());
        tokens.push_back(text.substr(start, end - start));
        start = end;
    }
    return tokens;
}

// "C#2" -> 37; nullopt unless a letter, at most one sharp or flat, and a one-digit octave.
std::optional<int> ReadNote(std::string_view token) {
    static constexpr std::array<int, 7> kLetterClass{9, 11, 0, 2, 4, 5, 7};  // A..G
    if (token.size() < 2 || token.size() > 3) {
        return std::nullopt;
    }
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(token[0])));
    if (letter < 'A' || letter > 'G') {
        return std::nullopt;
    }
    int alter = 0;
    if (token.size() == 3) {
        alter = token[1] == '#' ? 1 : token[1] == 'b' ? -1 : 0;
        if (alter == 0) {
            return std::nullopt;
        }
    }
    const char octave = token.back();
    if (octave < '0' || octave > '9') {
        return std::nullopt;
    }
    return (octave - '0' + 1) * 12 + kLetterClass[static_cast<std::size_t>(letter - 'A')] + alter;
}

// One written fret: "x" muted, else digits (optionally in parentheses) up to 24.
std::optional<int> ReadFret(std::string_view token, std::string& error) {
    if (token == "x" || token == "X") {
        return kMuted;
    }
    std::string_view digits = token;
    if (digits.size() >= 2 && digits.front() == '(' && digits.back() == ')') {
        digits = digits.substr(1, digits.size() - 2);
    }
    if (digits.empty() || digits.size() > 2 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        error = Quoted(token) + " is not a fret";
        return std::nullopt;
    }
    const int fret = std::stoi(std::string(digits));
    if (fret > kHighestWrittenFret) {
        error = "Fret " + std::to_string(fret) + " is over 24";
        return std::nullopt;
    }
    return fret;
}

// "x32010" and "x(10)(12)...": one character per string, two-digit frets in parentheses.
std::vector<std::string_view> CompactEntries(std::string_view text) {
    std::vector<std::string_view> entries;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t length = 1;
        if (text[i] == '(') {
            const std::size_t close = text.find(')', i);
            length = close == std::string_view::npos ? text.size() - i : close - i + 1;
        }
        entries.push_back(text.substr(i, length));
        i += length;
    }
    return entries;
}

std::string FretText(int fret) {
    if (fret == kMuted) {
        return "x";
    }
    return fret > 9 ? "(" + std::to_string(fret) + ")" : std::to_string(fret);
}

}  // namespace

const std::vector<Tuning>& ListedTunings() {
    static const std::vector<Tuning> tunings = {
        {"Guitar (standard)", {40, 45, 50, 55, 59, 64}},
        {"Guitar (drop D)", {38, 45, 50, 55, 59, 64}},
        {"Guitar (DADGAD)", {38, 45, 50, 55, 57, 62}},
        {"Guitar (open G)", {38, 43, 50, 55, 59, 62}},
        {"Bass (4 strings)", {28, 33, 38, 43}},
        {"Bass (5 strings)", {23, 28, 33, 38, 43}},
        {"Ukulele", {67, 60, 64, 69}},
        {"Mandolin", {55, 62, 69, 76}},
    };
    return tunings;
}

TuningRead ReadTuning(std::string_view text) {
    const std::vector<std::string_view> tokens = Tokens(text, " \t,");
    std::vector<int> strings;
    for (const std::string_view token : tokens) {
        const std::optional<int> note = ReadNote(token);
        if (!note) {
            return {{}, Quoted(token) + " is not a note with its octave, such as E2 or C#3"};
        }
        if (*note < kLowestTuned || *note > kHighestTuned) {
            return {{}, Quoted(token) + " is outside B0 to E6"};
        }
        strings.push_back(*note);
    }
    if (static_cast<int>(strings.size()) < kFewestStrings ||
        static_cast<int>(strings.size()) > kMostStrings) {
        return {{}, "A tuning has 3 to 8 strings, not " + std::to_string(strings.size())};
    }
    return {std::move(strings), {}};
}

int BaseFret(const FrettedShape& shape) {
    int lowest = 0, highest = 0;
    for (const int fret : shape.frets) {
        if (fret > 0) {
            lowest = lowest == 0 ? fret : std::min(lowest, fret);
            highest = std::max(highest, fret);
        }
    }
    return highest <= kBoxFrets ? 1 : lowest;
}

std::string ShapeText(const FrettedShape& shape) {
    std::string text;
    for (const int fret : shape.frets) {
        text += FretText(fret);
    }
    return text;
}

std::string LeftOutText(const FrettedShape& shape) {
    std::string text;
    for (const std::string& degree : shape.leftOut) {
        text += (text.empty() ? "no " : ", no ") + degree;
    }
    return text;
}

std::string ChordProDefine(const std::string& chordName, const FrettedShape& shape) {
    const int base = BaseFret(shape);
    std::string frets, fingers;
    for (std::size_t s = 0; s < shape.frets.size(); ++s) {
        const int fret = shape.frets[s];
        frets += " " + (fret == kMuted ? std::string("x")
                                       : std::to_string(fret == 0 ? 0 : fret - base + 1));
        fingers += " " + std::to_string(s < shape.fingers.size() ? shape.fingers[s] : 0);
    }
    return "{define: " + chordName + " base-fret " + std::to_string(base) + " frets" + frets +
           " fingers" + fingers + "}";
}

FretsRead ReadFrets(std::string_view text, int stringCount) {
    // One run of text is written one character per string; separated entries are one each.
    const std::vector<std::string_view> tokens = Tokens(text, " \t-,");
    const std::vector<std::string_view> entries =
        tokens.size() == 1 ? CompactEntries(tokens.front()) : tokens;
    std::vector<int> frets;
    for (const std::string_view entry : entries) {
        std::string error;
        const std::optional<int> fret = ReadFret(entry, error);
        if (!fret) {
            return {{}, error};
        }
        frets.push_back(*fret);
    }
    if (static_cast<int>(frets.size()) != stringCount) {
        return {{},
                "The instrument has " + std::to_string(stringCount) + " strings, the shape " +
                    std::to_string(frets.size())};
    }
    return {std::move(frets), {}};
}

std::string DegreeLabel(int semitonesAboveRoot, int chordTypeIndex) {
    static constexpr std::array<std::string_view, 12> kInOctave{"R",  "b2", "2",  "b3", "3",  "4",
                                                                "b5", "5",  "#5", "6",  "b7", "7"};
    const int cls = ((semitonesAboveRoot % 12) + 12) % 12;
    int interval = cls;
    const ChordType* type = RowAt(ChordTypes, chordTypeIndex);
    const std::optional<std::vector<int>> intervals =
        type != nullptr ? ReadIntervals(type->intervals) : std::nullopt;
    if (intervals) {
        for (const int v : *intervals) {
            interval = v % 12 == cls ? v : interval;
        }
    }
    switch (interval) {
        case 13:
            return "b9";
        case 14:
            return "9";
        case 15:
            return "#9";
        case 17:
            return "11";
        case 18:
            return "#11";
        case 20:
            return "b13";
        case 21:
            return "13";
        default:
            break;
    }
    // The diminished seventh's 9 semitones are a doubly flattened seventh, not a sixth.
    const bool diminishedSeventh = intervals && *intervals == std::vector<int>{0, 3, 6, 9};
    if (interval == 9 && diminishedSeventh) {
        return "bb7";
    }
    return std::string(kInOctave[static_cast<std::size_t>(cls)]);
}

std::vector<NeckPlace> ChordPlaces(const std::vector<int>& strings, int capo, int rootIndex,
                                   int chordTypeIndex, int lastFret) {
    const ChordType* type = RowAt(ChordTypes, chordTypeIndex);
    const std::optional<std::vector<int>> intervals =
        type != nullptr ? ReadIntervals(type->intervals) : std::nullopt;
    std::vector<NeckPlace> places;
    if (!intervals) {
        return places;
    }
    for (int s = 0; s < static_cast<int>(strings.size()); ++s) {
        for (int fret = 0; fret <= lastFret; ++fret) {
            const int cls = (((strings[s] + capo + fret - rootIndex) % 12) + 12) % 12;
            for (const int v : *intervals) {
                if (v % 12 == cls) {
                    places.push_back({s, fret, v});
                }
            }
        }
    }
    return places;
}

std::vector<int> FrettedNotes(const std::vector<int>& strings, int capo,
                              const std::vector<int>& frets) {
    std::vector<int> notes;
    for (std::size_t s = 0; s < strings.size() && s < frets.size(); ++s) {
        if (frets[s] != kMuted) {
            notes.push_back(strings[s] + capo + frets[s]);
        }
    }
    return notes;
}

}  // namespace quorvane::theory
