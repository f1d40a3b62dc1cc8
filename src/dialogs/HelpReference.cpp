#include "dialogs/HelpReference.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "theory/markup.h"
#include "theory/theory.h"
#include "views/Keyboard.h"

namespace quorvane::dialogs {

namespace {

// What harmony calls each distance above the root; row = semitones, as the captions' rows.
constexpr std::array<std::string_view, theory::IntervalLabels.size()> kIntervalNames{
    "root",
    "minor second (flattened second)",
    "major second",
    "minor third",
    "major third",
    "perfect fourth",
    "diminished fifth (flattened fifth, the tritone)",
    "perfect fifth",
    "augmented fifth (sharpened fifth); the same key as the minor sixth",
    "major sixth; also the diminished seventh, the same key",
    "minor seventh, the seventh of the 7th chords",
    "major seventh",
    "octave: the root one octave up",
    "minor ninth (flattened ninth)",
    "major ninth",
    "augmented ninth (sharpened ninth)",
    "major tenth",
    "perfect eleventh",
    "augmented eleventh (sharpened eleventh)",
    "perfect twelfth",
    "minor thirteenth (flattened thirteenth)",
    "major thirteenth",
    "augmented thirteenth; the same key as the minor fourteenth",
    "major fourteenth",
};

std::string Quoted(std::string_view text) {
    return "&quot;" + theory::EscapeMarkup(text) + "&quot;";
}

std::vector<int> Semitones(std::string_view intervals) {
    return theory::ReadIntervals(intervals).value_or(std::vector<int>{});
}

std::string Label(int semitones) {
    const auto row = static_cast<std::size_t>(semitones % static_cast<int>(kIntervalNames.size()));
    return std::string(theory::IntervalLabels[row]);
}

template <class Text>
std::string Joined(const std::vector<int>& values, std::string_view separator, Text text) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            out += separator;
        }
        out += text(values[i]);
    }
    return out;
}

std::string Number(int value) {
    return std::to_string(value);
}
std::string NoteOnC(int semitones) {
    return std::string(theory::NoteName(semitones));
}

std::string Cell(std::string_view text) {
    return "<td>" + theory::EscapeMarkup(text) + "</td>";
}

std::string Row(std::initializer_list<std::string_view> cells) {
    std::string out = "<tr>";
    for (const std::string_view cell : cells) {
        out += Cell(cell);
    }
    return out + "</tr>\n";
}

std::string HeaderRow(std::initializer_list<std::string_view> cells) {
    std::string out = "<tr>";
    for (const std::string_view cell : cells) {
        out += "<th align=\"left\">" + theory::EscapeMarkup(cell) + "</th>";
    }
    return out + "</tr>\n";
}

constexpr std::string_view kTableStart =
    "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"98%\">\n";

std::string PageStart(std::string_view title) {
    return "<html><head><title>" + theory::EscapeMarkup(title) +
           "</title></head>\n<body>\n<p><a href=\"chord.html\">Contents</a></p>\n<h2>" +
           theory::EscapeMarkup(title) + "</h2>\n";
}

constexpr std::string_view kPageEnd = "</body></html>\n";

std::string ChordFormulas() {
    std::string html = PageStart("Chord formulas");
    html +=
        "<p>Every chord type of the <b>Chord Type</b> list, in the list's order. The notes are "
        "given from the root upwards, in the order Quorvane stacks them in root position "
        "(<b>Basic</b>); an inversion moves the first one, two or three of them up an "
        "octave.</p>\n<ul>\n"
        "<li><b>Degrees</b>: each note as a degree of the chord, written as the markers write it "
        "in <b>Numbers</b> mode (see <a href=\"numbers.html\">The Numbers captions</a>).</li>\n"
        "<li><b>Semitones</b>: how many semitones each note lies above the root.</li>\n"
        "<li><b>On C</b>: the chord with the root C, named as Quorvane names the keys (every "
        "black key as a sharp).</li>\n</ul>\n";
    html += kTableStart;
    html += HeaderRow({"Chord type", "Degrees", "Semitones", "On C"});
    for (const theory::ChordType& chord : theory::ChordTypes) {
        const std::vector<int> notes = Semitones(chord.intervals);
        html += Row({chord.name, Joined(notes, " ", Label), Joined(notes, " ", Number),
                     Joined(notes, " ", NoteOnC)});
    }
    html += "</table>\n";
    html += kPageEnd;
    return html;
}

std::string ScaleFormulas() {
    std::string html = PageStart("Scale formulas");
    html +=
        "<p>Every scale of the <b>Scale</b> list, in the list's order, from the root up to the "
        "root one octave higher.</p>\n<ul>\n"
        "<li><b>Steps</b>: the distance from each note to the next, in semitones: 1 is a half "
        "tone (H), 2 a whole tone (W), 3 a tone and a half (an augmented second or minor "
        "third). The Major scale, W-W-H-W-W-W-H, reads 2-2-1-2-2-2-1.</li>\n"
        "<li><b>Degrees</b>: each note as a degree counted from the root, written as the "
        "markers write it in <b>Numbers</b> mode (see <a href=\"numbers.html\">The Numbers "
        "captions</a>).</li>\n"
        "<li><b>Semitones</b>: how many semitones each note lies above the root.</li>\n"
        "</ul>\n";

    std::string twins;
    for (std::size_t i = 0; i < theory::Scales.size(); ++i) {
        for (std::size_t j = i + 1; j < theory::Scales.size(); ++j) {
            if (theory::Scales[i].intervals == theory::Scales[j].intervals) {
                twins += std::string(twins.empty() ? "" : "; ") + Quoted(theory::Scales[i].name) +
                         " and " + Quoted(theory::Scales[j].name);
            }
        }
    }
    if (!twins.empty()) {
        html += "<p>These scales have the same notes under two names: " + twins + ".</p>\n";
    }

    html += kTableStart;
    html += HeaderRow({"Scale", "Steps", "Degrees", "Semitones"});
    for (const theory::Scale& scale : theory::Scales) {
        const std::vector<int> notes = Semitones(scale.intervals);
        std::vector<int> steps;
        for (std::size_t i = 1; i < notes.size(); ++i) {
            steps.push_back(notes[i] - notes[i - 1]);
        }
        html += Row({scale.name, Joined(steps, "-", Number), Joined(notes, " ", Label),
                     Joined(notes, " ", Number)});
    }
    html += "</table>\n";
    html += kPageEnd;
    return html;
}

// The captions a chord's markers show, from its lowest sounding note to its highest.
std::string CaptionsUpwards(const theory::ChordVoicing& voicing, std::string_view separator,
                            bool names) {
    std::vector<int> keys;
    for (const theory::ChordNote& note : voicing) {
        keys.push_back(note.soundingKey);
    }
    std::sort(keys.begin(), keys.end());
    return Joined(keys, separator, [names](int key) {
        return names ? std::string(theory::NoteName(key))
                     : views::MarkerCaption(key, views::IdentifierMode::Numbers, 0);
    });
}

std::string NumbersCaptions() {
    using views::IdentifierMode;
    using views::MarkerCaption;
    std::string html = PageStart("The Numbers captions");
    html +=
        "<p>With <b>Options &gt; Display Note Identifiers &gt; Numbers</b> the marker on each "
        "key of the chord shows the interval from the root to that key, written as a degree "
        "of the chord the way chord symbols write it:</p>\n<ul>\n"
        "<li><b>R</b> is the root.</li>\n"
        "<li>A number is the degree counted from the root: 2 the second, 3 the third, and so "
        "on.</li>\n"
        "<li><b>b</b> after a number lowers that degree by a semitone (" +
        Quoted(Label(3)) + " is the minor third), <b>#</b> raises it by a semitone (" +
        Quoted(Label(15)) + " is the sharpened ninth), and <b>+</b> marks the raised fifth (" +
        Quoted(Label(8)) + ").</li>\n<li>" + Quoted(Label(10)) +
        " is the minor seventh, the one of the 7th chords; " + Quoted(Label(11)) +
        " is the major seventh.</li>\n</ul>\n"
        "<p>The caption depends only on how many semitones the key lies above the root, never "
        "on the chord. The captions run over two octaves. In the first octave above the root "
        "they are the degrees R to " +
        Quoted(Label(11)) +
        ". In the second octave the same notes come again one octave higher, and, as in chord "
        "symbols, their degree is seven more: the second becomes the ninth (" +
        Quoted(Label(14)) + "), the fourth the eleventh (" + Quoted(Label(17)) +
        "), the sixth the thirteenth (" + Quoted(Label(21)) +
        ") and the major seventh the fourteenth (" + Quoted(Label(23)) +
        "). This is why a 9th chord shows " + Quoted(Label(14)) + " and not " + Quoted(Label(2)) +
        ". Two octaves above the root the captions begin again with R.</p>\n"
        "<p>Keys to the left of the root are counted as if they lay two octaves higher: with "
        "the root D, the key C# just below it reads " +
        Quoted(MarkerCaption(1, IdentifierMode::Numbers, 2)) + " and the C below that " +
        Quoted(MarkerCaption(0, IdentifierMode::Numbers, 2)) + ".</p>\n";

    html += "<h3>All captions</h3>\n";
    html += kTableStart;
    html += HeaderRow({"Semitones", "Caption", "Interval", "An octave lower"});
    const int octave = 12;
    for (std::size_t d = 0; d < theory::IntervalLabels.size(); ++d) {
        const int semitones = static_cast<int>(d);
        const std::string lower = semitones >= octave ? Label(semitones - octave) : std::string();
        html += Row({Number(semitones), theory::IntervalLabels[d], kIntervalNames[d], lower});
    }
    html += "</table>\n";

    // How an inversion changes the captions, shown with a four-note chord on C.
    const auto seventh = std::find_if(theory::ChordTypes.begin(), theory::ChordTypes.end(),
                                      [](const theory::ChordType& c) { return c.name == "7th"; });
    if (seventh != theory::ChordTypes.end()) {
        html +=
            "<h3>Inversions</h3>\n<p>An inversion moves notes of the chord up an octave, so "
            "their markers stand on other keys and show the captions of those keys: a major "
            "third moved up reads " +
            Quoted(Label(16)) + ", a minor third " + Quoted(Label(15)) +
            " (the key of the sharpened ninth), a fifth " + Quoted(Label(19)) + ". Here is C " +
            theory::EscapeMarkup(seventh->name) +
            " in each inversion, from its lowest note to its highest:</p>\n";
        html += kTableStart;
        html += HeaderRow({"Inversion", "Notes", "Captions"});
        for (int inversion = 0; inversion < static_cast<int>(theory::InversionCaptions.size());
             ++inversion) {
            const theory::ChordVoicing voicing =
                theory::VoiceChord(seventh->intervals, 0, inversion, theory::kTrebleClefOffset);
            std::string_view caption =
                theory::InversionCaptions[static_cast<std::size_t>(inversion)];
            caption.remove_prefix(std::min(caption.find_first_not_of(' '), caption.size()));
            html += Row({caption, CaptionsUpwards(voicing, " ", true),
                         CaptionsUpwards(voicing, " ", false)});
        }
        html += "</table>\n";
    }
    html += kPageEnd;
    return html;
}

}  // namespace

std::vector<HelpPage> ReferencePages() {
    return {{"chords.html", ChordFormulas()},
            {"scales.html", ScaleFormulas()},
            {"numbers.html", NumbersCaptions()}};
}

}  // namespace quorvane::dialogs
