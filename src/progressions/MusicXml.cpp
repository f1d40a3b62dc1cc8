#include "progressions/MusicXml.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "theory/catalogue.h"
#include "theory/markup.h"

namespace quorvane::progressions {

namespace {

using theory::SequenceCell;
using theory::SpelledNote;

constexpr int kBeatsPerMeasure = 4;
constexpr std::array<int, 7> kLetterPitch{0, 2, 4, 5, 7, 9, 11};
constexpr std::string_view kSteps = "CDEFGAB";

// A degree the kind leaves out or alters, or one added to it: value, alter, type.
struct Degree {
    int value;
    int alter;
    std::string_view type;
};

// MusicXML's kind for each chord type in catalogue order, with the degrees that make the
// catalogue's notes from it. Added degrees count from a dominant chord (a minor seventh); the
// thirteenths, as lead sheets write them, leave the eleventh to the player.
struct Kind {
    std::string_view kind;
    std::array<Degree, 3> degrees;
};
constexpr Degree kNone{0, 0, {}};
constexpr Degree Add(int value, int alter = 0) {
    return {value, alter, "add"};
}
constexpr std::array<Kind, 53> kKinds{
    Kind{"major", {}},
    Kind{"minor", {}},
    Kind{"suspended-second", {}},
    Kind{"suspended-fourth", {}},
    Kind{"diminished", {}},
    Kind{"augmented", {}},
    Kind{"major-sixth", {}},
    Kind{"minor-sixth", {}},
    Kind{"dominant", {}},
    Kind{"major-seventh", {}},
    Kind{"minor-seventh", {}},
    Kind{"diminished-seventh", {}},
    Kind{"dominant", {Degree{5, -1, "alter"}, kNone, kNone}},
    Kind{"augmented-seventh", {}},
    Kind{"dominant", {Add(9, -1), kNone, kNone}},
    Kind{"dominant", {Add(9, 1), kNone, kNone}},
    Kind{"major-ninth", {}},
    Kind{"dominant-ninth", {}},
    Kind{"dominant-ninth", {Degree{5, -1, "alter"}, kNone, kNone}},
    Kind{"dominant-11th", {}},
    Kind{"dominant-ninth", {Add(11, 1), kNone, kNone}},
    Kind{"major-minor", {}},
    Kind{"minor-ninth", {}},
    Kind{"major-minor", {Add(9), kNone, kNone}},
    Kind{"minor-11th", {}},
    Kind{"major-11th", {}},
    Kind{"major-minor", {Add(9), Add(11), kNone}},
    Kind{"dominant-13th", {}},
    Kind{"minor-13th", {}},
    Kind{"major-13th", {}},
    Kind{"major-minor", {Add(9), Add(13), kNone}},
    Kind{"major", {Add(9), kNone, kNone}},
    Kind{"minor", {Add(9), kNone, kNone}},
    Kind{"major-sixth", {Add(9), kNone, kNone}},
    Kind{"minor-sixth", {Add(9), kNone, kNone}},
    Kind{"dominant", {Add(11), kNone, kNone}},
    Kind{"minor-seventh", {Add(11), kNone, kNone}},
    Kind{"major-seventh", {Add(11), kNone, kNone}},
    Kind{"major-minor", {Add(11), kNone, kNone}},
    Kind{"dominant", {Add(13), kNone, kNone}},
    Kind{"minor-seventh", {Add(13), kNone, kNone}},
    Kind{"major-seventh", {Add(13), kNone, kNone}},
    Kind{"major-minor", {Add(13), kNone, kNone}},
    Kind{"augmented-seventh", {Add(9, -1), kNone, kNone}},
    Kind{"half-diminished", {}},
    Kind{"minor-seventh", {Degree{5, 1, "alter"}, kNone, kNone}},
    Kind{"minor-seventh", {Add(9, -1), kNone, kNone}},
    Kind{"dominant-ninth", {Add(13, -1), kNone, kNone}},
    Kind{"suspended-fourth", {Add(6), kNone, kNone}},
    Kind{"suspended-fourth", {Add(7), kNone, kNone}},
    Kind{"suspended-fourth", {Add(7, 1), kNone, kNone}},
    Kind{"suspended-fourth", {Add(7), Add(9), kNone}},
    Kind{"suspended-fourth", {Add(7, 1), Add(9), kNone}},
};
static_assert(kKinds.size() == theory::ChordTypes.size());

std::string Step(const SpelledNote& note) {
    return std::string(1, kSteps[static_cast<std::size_t>(note.letter)]);
}

std::string Alter(std::string_view element, int alter) {
    return alter == 0 ? std::string()
                      : "<" + std::string(element) + ">" + std::to_string(alter) + "</" +
                            std::string(element) + ">";
}

// A written note sounding on `key` (0 = C4): its letter and sign as spelled, its octave from
// where it sounds.
struct Pitch {
    SpelledNote note;
    int key;
};

std::string PitchXml(const Pitch& p) {
    const int natural =
        p.key - p.note.alter - kLetterPitch[static_cast<std::size_t>(p.note.letter)];
    const int octave = 4 + (natural >= 0 ? natural / 12 : -((-natural + 11) / 12));
    return "<pitch><step>" + Step(p.note) + "</step>" + Alter("alter", p.note.alter) + "<octave>" +
           std::to_string(octave) + "</octave></pitch>";
}

std::string Type(int beats) {
    constexpr std::array<std::string_view, 5> kTypes{"", "quarter", "half", "half", "whole"};
    return "<type>" + std::string(kTypes[static_cast<std::size_t>(beats)]) + "</type>" +
           (beats == 3 ? "<dot/>" : "");
}

// The chord symbol over the chord's first note: root, kind with the symbol's suffix, bass.
std::string Harmony(const theory::SequenceChord& chord, theory::Key key,
                    theory::Spelling spelling) {
    const std::string symbol = theory::SymbolInKey(chord, key, spelling);
    const std::vector<SpelledNote> root =
        theory::SpellChordInKey({chord.rootIndex, chord.chordTypeIndex, 0}, key, spelling);
    const Kind& kind = kKinds[static_cast<std::size_t>(chord.chordTypeIndex)];
    std::string out = "<harmony><root><root-step>" + Step(root.front()) + "</root-step>" +
                      Alter("root-alter", root.front().alter) + "</root><kind text=\"" +
                      theory::EscapeMarkup(theory::ChordSuffix(chord.chordTypeIndex)) + "\">" +
                      std::string(kind.kind) + "</kind>";
    const std::size_t slash = symbol.rfind('/');
    if (slash != std::string::npos && slash + 1 < symbol.size() && symbol[slash + 1] >= 'A' &&
        symbol[slash + 1] <= 'G') {
        const std::string bass = symbol.substr(slash + 1);
        const int alter = bass.size() == 1 ? 0 : (bass[1] == '#' ? 1 : -1);
        out += "<bass><bass-step>" + bass.substr(0, 1) + "</bass-step>" +
               Alter("bass-alter", alter) + "</bass>";
    }
    for (const Degree& d : kind.degrees) {
        if (d.value != 0) {
            out += "<degree print-object=\"no\"><degree-value>" + std::to_string(d.value) +
                   "</degree-value><degree-alter>" + std::to_string(d.alter) +
                   "</degree-alter><degree-type>" + std::string(d.type) + "</degree-type></degree>";
        }
    }
    return out + "</harmony>";
}

// Writes the measures: each cell's beats as notes or a rest, split at bar lines and tied over.
struct Measures {
    std::string xml;
    int beat = 0;  // from the song's start
    int measure = 0;

    void Open(const MusicXmlSong& song) {
        xml += "<measure number=\"" + std::to_string(++measure) + "\">";
        if (measure == 1) {
            const int tempo = std::max(1, song.tempo);
            xml += "<attributes><divisions>1</divisions><key><fifths>" +
                   std::to_string(theory::KeyFifths(song.key)) + "</fifths><mode>" +
                   (song.key.minor ? "minor" : "major") +
                   "</mode></key><time><beats>4</beats><beat-type>4</beat-type></time><clef><sign>"
                   "G</sign><line>2</line></clef></attributes><direction placement=\"above\">"
                   "<direction-type><metronome><beat-unit>quarter</beat-unit><per-minute>" +
                   std::to_string(tempo) +
                   "</per-minute></metronome></direction-type><sound tempo=\"" +
                   std::to_string(tempo) + "\"/></direction>";
        }
    }

    // `beats` beats of the pitches (a rest when none), from the current beat.
    void Span(const MusicXmlSong& song, const std::vector<Pitch>& pitches, int beats,
              const std::string& before) {
        bool first = true;
        while (beats > 0) {
            const int inMeasure = beat % kBeatsPerMeasure;
            if (inMeasure == 0) {
                if (measure > 0) {
                    xml += "</measure>";
                }
                Open(song);
            }
            const int length = std::min(beats, kBeatsPerMeasure - inMeasure);
            beats -= length;
            beat += length;
            if (first) {
                xml += before;
            }
            const bool tieStop = !first;
            const bool tieStart = beats > 0;
            if (pitches.empty()) {
                xml += "<note><rest/><duration>" + std::to_string(length) +
                       "</duration><voice>1</voice>" + Type(length) + "</note>";
            }
            for (std::size_t i = 0; i < pitches.size(); ++i) {
                xml += "<note>" + std::string(i > 0 ? "<chord/>" : "") + PitchXml(pitches[i]) +
                       "<duration>" + std::to_string(length) + "</duration>" +
                       (tieStop ? "<tie type=\"stop\"/>" : "") +
                       (tieStart ? "<tie type=\"start\"/>" : "") + "<voice>1</voice>" +
                       Type(length);
                if (tieStop || tieStart) {
                    xml += "<notations>" + std::string(tieStop ? "<tied type=\"stop\"/>" : "") +
                           (tieStart ? "<tied type=\"start\"/>" : "") + "</notations>";
                }
                xml += "</note>";
            }
            first = false;
        }
    }
};

}  // namespace

std::string WriteMusicXml(const MusicXmlSong& song) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
        "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
        "\"http://www.musicxml.org/dtds/partwise.dtd\">\n"
        "<score-partwise version=\"4.0\">\n";
    if (!song.title.empty()) {
        out += "<work><work-title>" + theory::EscapeMarkup(song.title) + "</work-title></work>\n";
    }
    out +=
        "<identification><encoding><software>Quorvane</software></encoding></identification>\n"
        "<part-list><score-part id=\"P1\"><part-name>Piano</part-name><score-instrument "
        "id=\"P1-I1\"><instrument-name>Piano</instrument-name></score-instrument><midi-instrument "
        "id=\"P1-I1\"><midi-channel>1</midi-channel><midi-program>1</midi-program></"
        "midi-instrument>"
        "</score-part></part-list>\n"
        "<part id=\"P1\">\n";
    Measures measures;
    const int beats = std::max(1, song.beatsPerChord);
    for (std::size_t i = 0; i < song.cells.size(); ++i) {
        const SequenceCell& cell = song.cells[i];
        std::vector<Pitch> pitches;
        std::string before;
        if (cell.known && RowAt(theory::ChordTypes, cell.chord.chordTypeIndex) != nullptr) {
            const theory::PlacedChord placement =
                i < song.placements.size() ? song.placements[i]
                                           : theory::PlacedChord{cell.chord.inversion, 0};
            const std::vector<int> keys = theory::PlacedKeys(cell.chord, placement);
            const std::vector<SpelledNote> notes = theory::SpellChordInKey(
                {cell.chord.rootIndex, cell.chord.chordTypeIndex, placement.inversion}, song.key,
                song.spelling);
            for (std::size_t n = 0; n < keys.size() && n < notes.size(); ++n) {
                pitches.push_back({notes[n], keys[n]});
            }
            std::sort(pitches.begin(), pitches.end(),
                      [](const Pitch& a, const Pitch& b) { return a.key < b.key; });
            before = Harmony(cell.chord, song.key, song.spelling);
        } else {
            before = "<direction placement=\"above\"><direction-type><words>" +
                     theory::EscapeMarkup(cell.text) + "</words></direction-type></direction>";
        }
        measures.Span(song, pitches, beats, before);
    }
    // The last measure filled with rest.
    const int rest = (kBeatsPerMeasure - measures.beat % kBeatsPerMeasure) % kBeatsPerMeasure;
    if (rest > 0 || measures.measure == 0) {
        measures.Span(song, {}, rest > 0 ? rest : kBeatsPerMeasure, {});
    }
    out += measures.xml + "</measure>\n</part>\n</score-partwise>\n";
    return out;
}

}  // namespace quorvane::progressions
