#include "fretboard/FretboardView.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>

#include "theory/catalogue.h"
#include "theory/theory.h"

namespace quorvane::fretboard {

namespace {

using theory::FrettedShape;
using theory::kMuted;

constexpr std::array<int, 7> kNaturalSemitones{0, 2, 4, 5, 7, 9, 11};

int FloorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The chord's note at `degree` semitones above the root as the spelling writes it.
std::optional<theory::SpelledNote> SpelledDegree(int degree, const FretboardSelection& selection) {
    const auto type = static_cast<std::size_t>(selection.chordTypeIndex);
    if (degree < 0 || type >= theory::ChordTypes.size()) {
        return std::nullopt;
    }
    const auto intervals = theory::ReadIntervals(theory::ChordTypes[type].intervals);
    const std::vector<theory::SpelledNote> spelled =
        theory::SpellChord(selection.rootIndex, selection.chordTypeIndex, 0, selection.spelling);
    if (!intervals || intervals->size() != spelled.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < spelled.size(); ++i) {
        if ((*intervals)[i] == degree) {
            return spelled[i];
        }
    }
    return std::nullopt;
}

theory::SpelledNote SpellMidi(int midiNote, int degree, const FretboardSelection& selection) {
    if (const auto written = SpelledDegree(degree, selection)) {
        theory::SpelledNote note = *written;
        const int natural = kNaturalSemitones[static_cast<std::size_t>(note.letter)];
        note.octave = FloorDiv(midiNote - note.alter - natural, 12) - 1;
        return note;
    }
    return theory::SpellKey(midiNote - views::kKeyZeroNote, selection.spelling);
}

// The pitch classes above the root of the chord's notes (semitones mod 12 -> interval).
std::vector<int> ChordIntervals(int chordTypeIndex) {
    const auto type = static_cast<std::size_t>(chordTypeIndex);
    if (type >= theory::ChordTypes.size()) {
        return {};
    }
    return theory::ReadIntervals(theory::ChordTypes[type].intervals).value_or(std::vector<int>{});
}

std::vector<int> ScaleIntervals(int scaleIndex) {
    const auto scale = static_cast<std::size_t>(scaleIndex);
    if (scale >= theory::Scales.size()) {
        return {};
    }
    return theory::ReadIntervals(theory::Scales[scale].intervals).value_or(std::vector<int>{});
}

// The interval of the chord sounding at `note`, -1 when the chord has no note there.
int DegreeOf(int note, const FretboardSelection& selection, const std::vector<int>& intervals) {
    const int above = ((note - selection.rootIndex) % 12 + 12) % 12;
    for (int interval : intervals) {
        if (interval % 12 == above) {
            return interval;
        }
    }
    return -1;
}

std::string DotLabel(int midiNote, int degree, int finger, const FretboardSelection& selection) {
    switch (selection.mode) {
        case views::IdentifierMode::Markers:
            return finger > 0 ? std::to_string(finger) : std::string();
        case views::IdentifierMode::Names:
            return SpellMidi(midiNote, degree, selection).Name();
        case views::IdentifierMode::Numbers:
            return degree < 0 ? std::string()
                              : theory::DegreeLabel(degree, selection.chordTypeIndex);
    }
    return {};
}

// The sounding note of each string of the shape (-1 for a muted one): the shape lists its notes
// for the sounding strings only.
std::vector<int> NotesByString(const FrettedShape& shape) {
    if (shape.notes.size() == shape.frets.size()) {
        return shape.notes;
    }
    std::vector<int> notes(shape.frets.size(), -1);
    std::size_t next = 0;
    for (std::size_t s = 0; s < shape.frets.size() && next < shape.notes.size(); ++s) {
        if (shape.frets[s] != kMuted) {
            notes[s] = shape.notes[next++];
        }
    }
    return notes;
}

int At(const std::vector<int>& values, std::size_t i, int otherwise) {
    return i < values.size() ? values[i] : otherwise;
}

constexpr int kBoxLeft = 300;
constexpr int kBoxTop = 420;
constexpr int kBoxRightSpace = 540;  // the "5fr" column

}  // namespace

std::string NoteWithOctave(int midiNote, int degree, const FretboardSelection& selection) {
    return SpellMidi(midiNote, degree, selection).NameWithOctave();
}

ChordBoxView ComputeChordBox(const FrettedShape& shape, int index, int count,
                             const FretboardSelection& selection, bool leftHanded) {
    ChordBoxView box;
    const int strings = static_cast<int>(shape.frets.size());
    const int base = theory::BaseFret(shape);
    const int highest = shape.frets.empty() ? 0 : *std::ranges::max_element(shape.frets);
    const int rows = std::max(kBoxFewestRows, highest - base + 1);
    const int gridWidth = std::max(0, strings - 1) * kBoxStringSpacing;
    box.width = kBoxLeft + gridWidth + kBoxRightSpace;
    for (int s = 0; s < strings; ++s) {
        box.stringX.push_back(kBoxLeft + (leftHanded ? strings - 1 - s : s) * kBoxStringSpacing);
    }
    box.gridTop = kBoxTop;
    for (int r = 0; r <= rows; ++r) {
        box.fretY.push_back(kBoxTop + r * kBoxFretSpacing);
    }
    box.gridBottom = box.fretY.back();
    box.height = box.gridBottom + kBoxFretSpacing + kBoxFretSpacing / 2;
    box.nut = base == 1;
    if (!box.nut) {
        box.baseFret =
            BoxText{{kBoxLeft + gridWidth + kBoxRightSpace / 2 + 60, kBoxTop + kBoxFretSpacing / 2},
                    std::to_string(base) + "fr"};
    }
    const std::vector<int> notes = NotesByString(shape);
    const bool barreLabelled = selection.mode == views::IdentifierMode::Markers;
    std::string description;
    for (int s = 0; s < strings; ++s) {
        const auto i = static_cast<std::size_t>(s);
        const int fret = shape.frets[i];
        const int x = box.stringX[i];
        if (fret == kMuted || fret == 0) {
            box.marks.push_back({{x, kBoxTop - 180}, fret == kMuted ? "x" : "o"});
        }
        if (fret == kMuted) {
            continue;
        }
        const int degree = At(shape.degrees, i, -1);
        description +=
            (description.empty() ? "" : ", ") + NoteWithOctave(notes[i], degree, selection);
        const bool underBarre = shape.barreFret > 0 && fret == shape.barreFret &&
                                s >= shape.barreFrom && s <= shape.barreTo;
        if (fret == 0 || (underBarre && barreLabelled)) {
            continue;
        }
        box.dots.push_back({{x, kBoxTop + (fret - base) * kBoxFretSpacing + kBoxFretSpacing / 2},
                            DotLabel(notes[i], degree, At(shape.fingers, i, 0), selection),
                            degree == 0 ? DotKind::Root : DotKind::Chord,
                            false});
    }
    if (shape.barreFret > 0 && shape.barreFrom >= 0 && shape.barreTo < strings) {
        const int a = box.stringX[static_cast<std::size_t>(shape.barreFrom)];
        const int b = box.stringX[static_cast<std::size_t>(shape.barreTo)];
        const int finger = At(shape.fingers, static_cast<std::size_t>(shape.barreFrom), 0);
        box.barre =
            Barre{std::min(a, b), std::max(a, b),
                  kBoxTop + (shape.barreFret - base) * kBoxFretSpacing + kBoxFretSpacing / 2,
                  barreLabelled && finger > 0 ? std::to_string(finger) : std::string()};
    }
    box.accessibleName = "Shape " + std::to_string(index + 1) + " of " + std::to_string(count) +
                         ": " + theory::ShapeText(shape);
    if (const std::string leftOut = theory::LeftOutText(shape); !leftOut.empty()) {
        box.accessibleName += " (" + leftOut + ")";
        box.leftOut = BoxText{{box.width / 2, box.gridBottom + kBoxFretSpacing}, leftOut};
    }
    box.accessibleDescription = description;
    return box;
}

NeckView ComputeNeck(const Instrument& instrument, const FretboardSelection& selection,
                     const FrettedShape* shape, const std::vector<int>& frets) {
    NeckView neck;
    const int strings = static_cast<int>(instrument.strings.size());
    const int capo = instrument.capo;
    int needed = kNeckFewestFrets;
    if (shape != nullptr) {
        for (int f : shape->frets) {
            needed = std::max(needed, capo + f);
        }
    }
    for (int f : frets) {
        needed = std::max(needed, f);
    }
    neck.lastFret = needed;
    const int nutX = kNeckMargin + kNeckOpenWidth;
    neck.width = nutX + needed * kNeckFretSpacing + kNeckMargin;
    neck.height = 2 * kNeckMargin + std::max(0, strings - 1) * kNeckStringSpacing + kNeckMargin;
    const auto mirror = [&](int x) { return instrument.leftHanded ? neck.width - x : x; };
    for (int f = 0; f <= needed; ++f) {
        neck.fretX.push_back(mirror(nutX + f * kNeckFretSpacing));
    }
    for (int s = 0; s < strings; ++s) {
        neck.stringY.push_back(kNeckMargin + (strings - 1 - s) * kNeckStringSpacing);
    }
    const int top = kNeckMargin;
    const int bottom = kNeckMargin + std::max(0, strings - 1) * kNeckStringSpacing;
    const auto placeX = [&](int fret) {
        return fret == 0 ? mirror(kNeckMargin + kNeckOpenWidth / 2)
                         : mirror(nutX + fret * kNeckFretSpacing - kNeckFretSpacing / 2);
    };
    if (capo > 0) {
        neck.capoX = mirror(nutX + capo * kNeckFretSpacing - kNeckFretSpacing / 4);
    }
    for (int f = 1; f <= needed; ++f) {
        const int inFret = f % 12;
        if (inFret == 0) {
            neck.inlays.push_back({placeX(f), (top * 2 + bottom) / 3});
            neck.inlays.push_back({placeX(f), (top + bottom * 2) / 3});
        } else if (inFret == 3 || inFret == 5 || inFret == 7 || inFret == 9) {
            neck.inlays.push_back({placeX(f), (top + bottom) / 2});
        }
        neck.fretNumbers.push_back(
            {{placeX(f), bottom + kNeckMargin + kNeckMargin / 2}, std::to_string(f)});
    }

    const std::vector<int> chord = ChordIntervals(selection.chordTypeIndex);
    const std::vector<int> scale = ScaleIntervals(selection.scaleIndex);
    const int shapeStrings = shape != nullptr ? static_cast<int>(shape->frets.size()) : 0;
    for (int s = 0; s < strings; ++s) {
        const int open = instrument.strings[static_cast<std::size_t>(s)];
        const int selectedFret =
            s < shapeStrings ? shape->frets[static_cast<std::size_t>(s)] : kMuted;
        for (int f = capo; f <= needed; ++f) {
            const int note = open + f;
            const int degree = DegreeOf(note, selection, chord);
            const int fromCapo = f - capo;
            const bool selected = selectedFret != kMuted && selectedFret == fromCapo;
            const int finger = selected ? At(shape->fingers, static_cast<std::size_t>(s), 0) : 0;
            Dot dot{{placeX(f == capo ? 0 : f), neck.stringY[static_cast<std::size_t>(s)]},
                    DotLabel(note, degree, finger, selection),
                    degree == 0 ? DotKind::Root : DotKind::Chord,
                    selected};
            if (degree < 0) {
                const int above = ((note - selection.rootIndex) % 12 + 12) % 12;
                if (std::ranges::none_of(scale, [&](int i) { return i % 12 == above; })) {
                    continue;
                }
                dot.kind = DotKind::Scale;
                dot.label = selection.mode == views::IdentifierMode::Names
                                ? SpellMidi(note, -1, selection).Name()
                                : std::string();
            }
            neck.dots.push_back(std::move(dot));
        }
    }
    std::string heldText;
    for (int s = 0; s < strings && s < static_cast<int>(frets.size()); ++s) {
        const int fret = frets[static_cast<std::size_t>(s)];
        if (fret == kMuted) {
            continue;
        }
        const int sounding = std::max(fret, capo);
        const int note = instrument.strings[static_cast<std::size_t>(s)] + sounding;
        const std::string name = NoteWithOctave(note, DegreeOf(note, selection, chord), selection);
        neck.held.push_back(
            {{placeX(sounding == capo ? 0 : sounding), neck.stringY[static_cast<std::size_t>(s)]},
             name,
             DotKind::Chord,
             false});
        heldText += (heldText.empty() ? "" : ", ") + name;
    }
    neck.description =
        "Neck of " + instrument.name + ", frets 0 to " + std::to_string(needed) +
        (heldText.empty() ? std::string(", nothing fretted") : ", fretted: " + heldText);
    return neck;
}

std::optional<NeckPlace> NeckPlaceAt(const NeckView& view, const Instrument& instrument, int x,
                                     int y) {
    if (view.stringY.empty() || view.fretX.empty()) {
        return std::nullopt;
    }
    std::optional<NeckPlace> place;
    int nearest = kNeckStringSpacing / 2 + 1;
    for (std::size_t s = 0; s < view.stringY.size(); ++s) {
        const int distance = std::abs(view.stringY[s] - y);
        if (distance < nearest) {
            nearest = distance;
            place = NeckPlace{static_cast<int>(s), 0};
        }
    }
    if (!place) {
        return std::nullopt;
    }
    // Counted along the neck from the nut, whichever side the nut is drawn on.
    const int fromNut = instrument.leftHanded ? view.fretX.front() - x : x - view.fretX.front();
    if (fromNut > static_cast<int>(view.fretX.size() - 1) * kNeckFretSpacing) {
        return std::nullopt;
    }
    const int fret = fromNut <= 0 ? 0 : (fromNut + kNeckFretSpacing - 1) / kNeckFretSpacing;
    place->fret = fret <= instrument.capo ? 0 : fret;
    return place;
}

std::vector<int> PressNeck(std::vector<int> frets, const NeckPlace& place) {
    const auto s = static_cast<std::size_t>(place.string);
    if (s < frets.size()) {
        frets[s] = frets[s] == place.fret ? kMuted : place.fret;
    }
    return frets;
}

std::vector<int> NeckFretsFromShape(const std::vector<int>& fromCapo, int capo) {
    std::vector<int> frets;
    for (int f : fromCapo) {
        frets.push_back(f > 0 ? f + capo : f);
    }
    return frets;
}

std::vector<int> SoundingNotes(const Instrument& instrument, const std::vector<int>& frets) {
    std::vector<int> notes;
    for (std::size_t s = 0; s < frets.size() && s < instrument.strings.size(); ++s) {
        if (frets[s] != kMuted) {
            notes.push_back(instrument.strings[s] + std::max(frets[s], instrument.capo));
        }
    }
    return notes;
}

midi::PlayPlan PlanStrum(std::size_t noteCount, int spacingMs, int noteLengthMs) {
    midi::PlayPlan plan;
    for (std::size_t i = 0; i < noteCount; ++i) {
        plan.onsets.push_back({i, static_cast<int>(i) * spacingMs});
    }
    const int last = plan.onsets.empty() ? 0 : plan.onsets.back().atMs;
    plan.endMs = std::max(noteLengthMs, last + spacingMs);
    return plan;
}

}  // namespace quorvane::fretboard
