#include "theory/symbols.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <vector>

#include "theory/catalogue.h"
#include "theory/recognition.h"
#include "theory/spelling.h"
#include "theory/theory.h"
#include "theory/type_intervals.h"

namespace quorvane::theory {

namespace {

using detail::LowestPitchClass;
using detail::Mod12;
using detail::TypeIntervals;

constexpr std::array<int, 7> kLetterPitch{9, 11, 0, 2, 4, 5, 7};  // A..G

// Lead sheets write signs and marks outside ASCII; each becomes the ASCII mark the reader knows,
// '^' for the major seventh triangle, '@' for the diminished circle and '%' for the slashed one.
std::string Normalised(std::string_view token) {
    struct Mark {
        std::string_view utf8;
        char ascii;
    };
    constexpr std::array<Mark, 8> kMarks{
        Mark{"\u266F", '#'}, Mark{"\u266D", 'b'}, Mark{"\u0394", '^'}, Mark{"\u2206", '^'},
        Mark{"\u00B0", '@'}, Mark{"\u00BA", '@'}, Mark{"\u00F8", '%'}, Mark{"\u00D8", '%'},
    };
    std::string out;
    out.reserve(token.size());
    for (std::size_t i = 0; i < token.size();) {
        const auto mark = std::find_if(kMarks.begin(), kMarks.end(), [&](const Mark& m) {
            return token.substr(i, m.utf8.size()) == m.utf8;
        });
        if (mark != kMarks.end()) {
            out += mark->ascii;
            i += mark->utf8.size();
        } else {
            out += token[i++];
        }
    }
    return out;
}

// A note name at the start of `text`: an upper-case letter and at most one sign. Its length in
// characters is returned through `length`.
std::optional<int> ReadNote(std::string_view text, std::size_t& length) {
    if (text.empty() || text[0] < 'A' || text[0] > 'G') {
        return std::nullopt;
    }
    int pitch = kLetterPitch[static_cast<std::size_t>(text[0] - 'A')];
    length = 1;
    if (text.size() > 1 && (text[1] == '#' || text[1] == 'b')) {
        pitch += text[1] == '#' ? 1 : -1;
        length = 2;
    }
    return Mod12(pitch);
}

bool StartsWithNoCase(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) {
            return false;
        }
    }
    return true;
}

// What the quality after the root says, as the intervals it builds. `odd` holds why the quality,
// though made of lead-sheet words, names notes no exact chord can be built from.
struct Quality {
    int third = 4;  // 0 none
    int fifth = 7;
    int seventh = 0;  // 0 none, 9 diminished, 10 minor, 11 major
    bool sixth = false;
    bool majorMark = false;  // "maj", "M", "^": a seventh that follows is major
    bool diminished = false;
    std::vector<int> added;
    std::string odd;

    std::vector<int> Intervals() const {
        std::vector<int> iv{0};
        for (const int v : {third, fifth, sixth ? 9 : 0, seventh}) {
            if (v != 0) {
                iv.push_back(v);
            }
        }
        iv.insert(iv.end(), added.begin(), added.end());
        std::sort(iv.begin(), iv.end());
        iv.erase(std::unique(iv.begin(), iv.end()), iv.end());
        return iv;
    }

    void Seventh() {
        if (seventh == 0 || majorMark) {
            seventh = majorMark ? 11 : (diminished ? 9 : 10);
        }
    }

    // A chord number: 7, or an extension that brings the seventh and the ninth with it.
    void Number(int n) {
        switch (n) {
            case 6:
                sixth = true;
                break;
            case 7:
                Seventh();
                break;
            case 9:
            case 11:
            case 13:
                if (sixth && n == 9 && seventh == 0) {
                    added.push_back(14);
                    break;
                }
                Seventh();
                added.push_back(14);
                added.push_back(n == 11 ? 17 : (n == 13 ? 21 : 14));
                break;
            case 69:
                sixth = true;
                added.push_back(14);
                break;
            default:
                odd = std::to_string(n) + " chord";
        }
    }

    void Altered(char sign, int degree) {
        const bool flat = sign != '#';
        if (degree == 5) {
            fifth = flat ? 6 : 8;
        } else if (degree == 9) {
            added.push_back(flat ? 13 : 15);
        } else if (degree == 11 && !flat) {
            added.push_back(18);
        } else if (degree == 13 && flat) {
            added.push_back(20);
        } else {
            odd = std::string(flat ? "flat " : "sharp ") + std::to_string(degree);
        }
    }

    void Added(int degree) {
        constexpr std::array<std::pair<int, int>, 4> kAdded{std::pair{9, 14}, std::pair{11, 17},
                                                            std::pair{13, 21}, std::pair{6, 9}};
        const auto it = std::find_if(kAdded.begin(), kAdded.end(),
                                     [&](const auto& a) { return a.first == degree; });
        if (it != kAdded.end()) {
            added.push_back(it->second);
        } else {
            odd = "added " + std::to_string(degree);
        }
    }
};

std::optional<int> ReadNumber(std::string_view text, std::size_t& at) {
    int n = 0;
    const std::size_t start = at;
    while (at < text.size() && at - start < 2 &&
           std::isdigit(static_cast<unsigned char>(text[at]))) {
        n = n * 10 + (text[at++] - '0');
    }
    return at > start ? std::optional<int>(n) : std::nullopt;
}

// The length of a word for the major seventh at the start ("maj", "ma", "M", the triangle), or 0.
// "ma" before "dd" is the minor of "madd9".
std::size_t MajorWord(std::string_view rest) {
    if (StartsWithNoCase(rest, "maj")) {
        return 3;
    }
    if (StartsWithNoCase(rest, "ma") && !StartsWithNoCase(rest.substr(1), "add")) {
        return 2;
    }
    return rest[0] == 'M' || rest[0] == '^' ? 1 : 0;
}

// Reads the quality word by word; nullopt when a word is none a lead sheet uses.
std::optional<Quality> ReadQuality(std::string_view q) {
    Quality out;
    std::size_t at = 0;
    while (at < q.size()) {
        const std::string_view rest = q.substr(at);
        const char c = rest[0];
        const bool first = at == 0;
        if (c == '(' || c == ')' || c == ',' || c == '/') {
            ++at;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t end = at;
            const int n = *ReadNumber(q, end);
            if (n == 6 && end < q.size() && q[end] == '/' && end + 1 < q.size() &&
                q[end + 1] == '9') {
                end += 2;
                out.Number(69);
            } else {
                out.Number(n);
            }
            at = end;
        } else if (StartsWithNoCase(rest, "add")) {
            at += 3;
            const std::optional<int> n = ReadNumber(q, at);
            if (!n) {
                return std::nullopt;
            }
            out.Added(*n);
        } else if (StartsWithNoCase(rest, "omit") || StartsWithNoCase(rest, "no")) {
            at += rest[1] == 'o' || rest[1] == 'O' ? 2 : 4;
            const std::optional<int> n = ReadNumber(q, at);
            if (!n) {
                return std::nullopt;
            }
            if (*n != 5) {  // a chord without its fifth sounds, and is kept, as the full chord
                out.odd = "chord without its " + std::to_string(*n);
            }
        } else if (StartsWithNoCase(rest, "min") || StartsWithNoCase(rest, "mi")) {
            at += StartsWithNoCase(rest, "min") ? 3 : 2;
            out.third = 3;
        } else if (const std::size_t word = MajorWord(rest); word > 0) {
            at += word;
            out.majorMark = true;
            if (c == '^' && (at >= q.size() || !std::isdigit(static_cast<unsigned char>(q[at])))) {
                out.Seventh();  // the triangle alone is the major seventh
            }
        } else if (c == 'm' || (c == '-' && first)) {
            ++at;
            out.third = 3;
        } else if (StartsWithNoCase(rest, "dim") || c == '@' || c == 'o' || c == 'O') {
            at += StartsWithNoCase(rest, "dim") ? 3 : 1;
            out.third = 3;
            out.fifth = 6;
            out.diminished = true;
        } else if (c == '%') {
            ++at;
            out.third = 3;
            out.fifth = 6;
            out.seventh = 10;
        } else if (StartsWithNoCase(rest, "aug")) {
            at += 3;
            out.fifth = 8;
        } else if (StartsWithNoCase(rest, "sus")) {
            at += 3;
            out.third = 5;
            if (at < q.size() && (q[at] == '2' || q[at] == '4')) {
                out.third = q[at++] == '2' ? 2 : 5;
            }
        } else if (StartsWithNoCase(rest, "alt")) {
            at += 3;
            out.odd = "altered chord: the symbol leaves its alterations open";
        } else if (c == '#' || c == 'b' || c == '-' || c == '+') {
            std::size_t end = at + 1;
            const std::optional<int> n = ReadNumber(q, end);
            if (c == '+' && (!n || (*n != 5 && *n != 9 && *n != 11 && *n != 13))) {
                ++at;
                out.fifth = 8;  // "C+", "C+7"
                continue;
            }
            if (!n) {
                return std::nullopt;
            }
            out.Altered(c == '-' || c == 'b' ? 'b' : '#', *n);
            at = end;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

std::optional<int> CatalogueType(const std::vector<int>& intervals) {
    for (std::size_t t = 0; t < ChordTypes.size(); ++t) {
        if (TypeIntervals(static_cast<int>(t)) == intervals) {
            return static_cast<int>(t);
        }
    }
    return std::nullopt;
}

// The inversion of the chord that sounds `bass` lowest, if one does.
std::optional<int> InversionWithBass(int root, int type, int bass) {
    for (int inversion = 0; inversion < 4; ++inversion) {
        if (LowestPitchClass(root, type, inversion) == bass) {
            return inversion;
        }
    }
    return std::nullopt;
}

SequenceCell Unknown(std::string_view text, std::string why) {
    SequenceCell cell;
    cell.known = false;
    cell.text = std::string(text);
    cell.why = std::move(why);
    return cell;
}

std::string NotesText(int root, const std::vector<int>& intervals, bool flats) {
    std::string out;
    for (const int v : intervals) {
        out += (out.empty() ? "" : " ") +
               PitchClassName(root + v, flats ? Spelling::Flats : Spelling::Sharps);
    }
    return out;
}

// A bass outside the chord: the catalogue chord of all the notes with the bass lowest.
std::optional<SequenceChord> ChordOverBass(int root, int type, int bass) {
    std::vector<int> held{48 + bass};
    for (const int v : TypeIntervals(type)) {
        held.push_back(60 + root + v);
    }
    const HeldChordNames names = NameHeldChord(held);
    if (names.noFifth || !names.chord) {
        return std::nullopt;
    }
    std::vector<RecognisedChord> all{*names.chord};
    all.insert(all.end(), names.others.begin(), names.others.end());
    // A chord on the bass ("Am/F#" F#m7b5), else the written chord with a note added below
    // ("C/Bb" C7); a chord on some third root would read the symbol as something else.
    for (const int wanted : {bass, root}) {
        for (const RecognisedChord& c : all) {
            const std::optional<int> inv =
                c.rootIndex == wanted ? InversionWithBass(c.rootIndex, c.chordTypeIndex, bass)
                                      : std::nullopt;
            if (inv) {
                return SequenceChord{c.rootIndex, c.chordTypeIndex, *inv};
            }
        }
    }
    return std::nullopt;
}

bool IsSeparator(char c) {
    // Brackets too, so that a ChordPro line ("[C] [Am]") reads as its chords.
    return std::isspace(static_cast<unsigned char>(c)) || c == '|' || c == ',' || c == ':' ||
           c == '[' || c == ']';
}

// A note as written at the start of `text`, in ASCII or with the music signs: its pitch class
// and its length in bytes.
std::optional<int> WrittenNote(std::string_view text, std::size_t& length) {
    if (text.empty() || text[0] < 'A' || text[0] > 'G') {
        return std::nullopt;
    }
    const std::string start = Normalised(text.substr(0, std::min<std::size_t>(text.size(), 4)));
    std::size_t ascii = 0;
    const std::optional<int> note = ReadNote(start, ascii);
    length = ascii == 1 ? 1 : (text[1] == '#' || text[1] == 'b' ? 2 : 4);
    return note;
}

std::string Moved(int pitchClass, int semitones) {
    constexpr std::array<std::string_view, 12> kNames{"C",  "Db", "D",  "Eb", "E",  "F",
                                                      "F#", "G",  "Ab", "A",  "Bb", "B"};
    return std::string(kNames[static_cast<std::size_t>(Mod12(pitchClass + semitones))]);
}

}  // namespace

std::string TransposeSymbolText(std::string_view text, int semitones) {
    std::size_t rootLength = 0;
    const std::optional<int> root = WrittenNote(text, rootLength);
    if (!root) {
        return std::string(text);
    }
    std::string_view rest = text.substr(rootLength);
    std::string bass;
    const std::size_t slash = rest.rfind('/');
    std::size_t bassLength = 0;
    if (slash != std::string_view::npos) {
        const std::optional<int> note = WrittenNote(rest.substr(slash + 1), bassLength);
        if (note && slash + 1 + bassLength == rest.size()) {
            bass = "/" + Moved(*note, semitones);
            rest = rest.substr(0, slash);
        }
    }
    return Moved(*root, semitones) + std::string(rest) + bass;
}

std::optional<SequenceCell> ReadChordSymbol(std::string_view token) {
    if (token == "N.C." || token == "NC" || token == "N.C") {
        return Unknown(token, "no chord: the music goes on without harmony");
    }
    const std::string text = Normalised(token);
    std::size_t rootLength = 0;
    const std::optional<int> root = ReadNote(text, rootLength);
    if (!root) {
        return std::nullopt;
    }
    std::string_view quality = std::string_view(text).substr(rootLength);
    std::optional<int> bass;
    const std::size_t slash = quality.rfind('/');
    if (slash != std::string_view::npos) {
        std::size_t bassLength = 0;
        bass = ReadNote(quality.substr(slash + 1), bassLength);
        if (bass) {
            if (slash + 1 + bassLength != quality.size()) {
                return std::nullopt;
            }
            quality = quality.substr(0, slash);
        }
    }
    const std::optional<Quality> q = ReadQuality(quality);
    if (!q) {
        return std::nullopt;
    }
    if (!q->odd.empty()) {
        return Unknown(token, "The catalogue has no " + q->odd + ".");
    }
    const std::vector<int> intervals = q->Intervals();
    const std::optional<int> type = CatalogueType(intervals);
    const bool flats = rootLength == 2 && text[1] == 'b';
    if (!type) {
        return Unknown(token, "No chord of the catalogue has the notes " +
                                  NotesText(*root, intervals, flats) + ".");
    }
    SequenceCell cell;
    cell.chord = {*root, *type, 0};
    if (!bass) {
        return cell;
    }
    if (const std::optional<int> inv = InversionWithBass(*root, *type, *bass)) {
        cell.chord.inversion = *inv;
        return cell;
    }
    if (const std::optional<SequenceChord> over = ChordOverBass(*root, *type, *bass)) {
        cell.chord = *over;
        return cell;
    }
    const std::string bassName = PitchClassName(*bass, flats ? Spelling::Flats : Spelling::Sharps);
    return Unknown(token, "No chord of the catalogue has the notes " +
                              NotesText(*root, intervals, flats) + " with " + bassName +
                              " lowest.");
}

SymbolsRead ReadChordSymbols(std::string_view text) {
    SymbolsRead out;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && IsSeparator(text[at])) {
            ++at;
        }
        std::size_t end = at;
        // A comma inside parentheses belongs to the symbol: "G7(b9,#5)".
        for (int depth = 0; end < text.size() && (depth > 0 || !IsSeparator(text[end])); ++end) {
            depth += text[end] == '(' ? 1 : (text[end] == ')' && depth > 0 ? -1 : 0);
        }
        if (end == at) {
            break;
        }
        const std::string_view token = text.substr(at, end - at);
        at = end;
        if (token == "-") {  // between chords, as in "C - Am - F - G7"
            continue;
        }
        if (token == "%" || token == "/") {  // a bar or beat repeat: the chord before again
            if (!out.cells.empty()) {
                out.cells.push_back(out.cells.back());
            }
            continue;
        }
        std::optional<SequenceCell> cell = ReadChordSymbol(token);
        if (!cell) {
            out.cells.clear();
            out.error = "\"" + std::string(token) + "\" is no chord symbol.";
            return out;
        }
        out.cells.push_back(std::move(*cell));
    }
    return out;
}

}  // namespace quorvane::theory
