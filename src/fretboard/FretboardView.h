#pragma once
// What the fretboard window draws, as plain values: each shape's chord box (strings, frets, the
// nut or the first fret's number, dots, the barre, the x and o marks, its accessible texts) and
// the neck (frets, strings, the chord's and the scale's notes, the selected shape, the notes
// fretted by hand), mirrored for a left-handed player. Positions are in twips, relative to the
// box or the neck. No widgets; the window only paints these.

#include <optional>
#include <string>
#include <vector>

#include "midi/PlayPlan.h"
#include "theory/fretted.h"
#include "theory/spelling.h"
#include "views/Keyboard.h"

namespace quorvane::fretboard {

// The chord the window follows and how it names notes.
struct FretboardSelection {
    int rootIndex = 0;       // 0..11
    int chordTypeIndex = 0;  // 0..52
    int inversion = 0;       // 0..3
    int scaleIndex = 0;      // 0..35
    theory::Spelling spelling = theory::Spelling::Sharps;
    views::IdentifierMode mode = views::IdentifierMode::Markers;
    friend bool operator==(const FretboardSelection&, const FretboardSelection&) = default;
};

// The instrument as the window holds it now.
struct Instrument {
    std::string name;
    std::vector<int> strings;  // open strings, lowest first, MIDI notes
    int capo = 0;              // 0..12
    bool leftHanded = false;
};

struct TwipsPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const TwipsPoint&, const TwipsPoint&) = default;
};

struct BoxText {
    TwipsPoint at;  // the centre of the text
    std::string text;
    friend bool operator==(const BoxText&, const BoxText&) = default;
};

enum class DotKind { Root, Chord, Scale };

struct Dot {
    TwipsPoint at;  // the centre
    std::string label;
    DotKind kind = DotKind::Chord;
    bool selected = false;  // on the neck: part of the selected shape
    friend bool operator==(const Dot&, const Dot&) = default;
};

struct Barre {
    int x1 = 0;
    int x2 = 0;
    int y = 0;
    std::string label;
    friend bool operator==(const Barre&, const Barre&) = default;
};

inline constexpr int kBoxStringSpacing = 240;
inline constexpr int kBoxFretSpacing = 300;
inline constexpr int kBoxDotDiameter = 200;
inline constexpr int kBoxFewestRows = 4;

struct ChordBoxView {
    int width = 0;
    int height = 0;
    std::vector<int> stringX;  // per string, lowest string first
    int gridTop = 0;
    int gridBottom = 0;
    std::vector<int> fretY;  // the fret lines, the top one first
    bool nut = false;        // a thick nut on the top line: the shape starts at the first fret
    std::optional<BoxText> baseFret;  // "5fr" beside the first fret shown
    std::vector<BoxText> marks;       // "x" over a muted string, "o" over an open one
    std::vector<Dot> dots;
    std::optional<Barre> barre;
    std::optional<BoxText> leftOut;     // "no 5th" under the box
    std::string accessibleName;         // "Shape 1 of 12: x32010 (no 5th)"
    std::string accessibleDescription;  // "C3, E3, G3, C4, E4"
    friend bool operator==(const ChordBoxView&, const ChordBoxView&) = default;
};

// The box of shape `index` (0-based) of `count` shapes.
ChordBoxView ComputeChordBox(const theory::FrettedShape& shape, int index, int count,
                             const FretboardSelection& selection, bool leftHanded);

inline constexpr int kNeckFewestFrets = 15;
inline constexpr int kNeckFretSpacing = 540;
inline constexpr int kNeckStringSpacing = 270;
inline constexpr int kNeckOpenWidth = 420;  // left of the nut: where open strings are pressed
inline constexpr int kNeckMargin = 240;
inline constexpr int kNeckDotDiameter = 210;

struct NeckView {
    int width = 0;
    int height = 0;
    int lastFret = kNeckFewestFrets;
    std::vector<int> fretX;    // wire of fret f at fretX[f]; fretX[0] is the nut
    std::vector<int> stringY;  // per string, lowest string first (drawn lowest)
    std::optional<int> capoX;  // the capo's bar, on its fret wire
    std::vector<TwipsPoint> inlays;
    std::vector<BoxText> fretNumbers;
    std::vector<Dot> dots;    // the chord's and the scale's notes
    std::vector<Dot> held;    // the notes fretted by hand (label: the note's name)
    std::string description;  // for assistive technology
    friend bool operator==(const NeckView&, const NeckView&) = default;
};

// `shape` is the selected shape (none when the chord has no shape); `frets` what is fretted by
// hand, one entry per string (theory::kMuted for none), counted from the nut.
NeckView ComputeNeck(const Instrument& instrument, const FretboardSelection& selection,
                     const theory::FrettedShape* shape, const std::vector<int>& frets);

// The string and the fret (from the nut; 0 for the open place left of the nut, and for any fret
// the capo holds down) under a press at (x, y); nullopt off the strings.
struct NeckPlace {
    int string = 0;
    int fret = 0;
    friend bool operator==(const NeckPlace&, const NeckPlace&) = default;
};
std::optional<NeckPlace> NeckPlaceAt(const NeckView& view, const Instrument& instrument, int x,
                                     int y);

// A note's name with its octave as the chord spells it ("Eb3"); `degree` is its interval above
// the root in the chord's interval string, -1 when it is not the chord's.
std::string NoteWithOctave(int midiNote, int degree, const FretboardSelection& selection);

// What the neck holds after a press there: the string fretted at that place, or let go when it
// was fretted there already. `frets` has one entry per string, counted from the nut.
std::vector<int> PressNeck(std::vector<int> frets, const NeckPlace& place);
// A shape's frets (counted from the capo, as a player writes them) as places on the neck.
std::vector<int> NeckFretsFromShape(const std::vector<int>& fromCapo, int capo);
// The MIDI notes the neck sounds, lowest string first; a fret the capo covers sounds the capo.
std::vector<int> SoundingNotes(const Instrument& instrument, const std::vector<int>& frets);

// A downstroke over `noteCount` notes given lowest string first: string after string,
// `spacingMs` apart, in string order whatever their pitch (a re-entrant string is struck where it
// lies), all released together after the note length, or one spacing after the last onset when
// the strum is longer.
midi::PlayPlan PlanStrum(std::size_t noteCount, int spacingMs, int noteLengthMs);

}  // namespace quorvane::fretboard
