#pragma once
// What the chord display shows for a selection: the chord name, the six note slots of the chord
// column with their "#" signs, the chord's ledger lines, where the "Chord:" label stands and the
// 36 key markers. Computed afresh from the selection every time; the main window only applies it
// to its widgets.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "views/Keyboard.h"
#include "views/Staff.h"

namespace quorvane::views {

// Every marker the chord display shows is light grey.
inline constexpr OleColor kMarkerChordColor = 0x00C0C0C0;

struct MarkerView {
    bool shown = false;
    OleColor backColor = kMarkerChordColor;
    // Set only in Numbers mode; otherwise the captions the identifier menu gave stay as they are.
    std::optional<std::string> caption;
    // What assistive technology reads for the marker, in scientific pitch ("Marker Db5"): the key
    // in the spelling, a chord's key by chord as the chord writes it.
    std::string accessibleName;
    friend bool operator==(const MarkerView&, const MarkerView&) = default;
};

struct ChordSelection {
    std::string_view rootText;  // the root list's text at the root ("C#(Db)")
    int rootIndex = 0;          // 0..11
    int chordTypeIndex = 0;     // 0..52
    int inversion = 0;          // 0..3
    std::string_view inversionCaption = " Basic";
    int clefOffset = 0;  // 0 treble, 120 bass
    IdentifierMode mode = IdentifierMode::Markers;
    // How the notes are named and written; with Sharps the name keeps the root list's text.
    theory::Spelling spelling = theory::Spelling::Sharps;
};

struct ChordView {
    std::string name;
    std::string symbol;  // the lead-sheet symbol in ASCII ("Cmaj7/E")
    std::array<NoteSlotView, kChordSlotCount> noteSlots{};
    // One line per distinct height among the notes' ledger lines, every line between the staff
    // and each note; a line a head right of the column stands on or needs reaches past it.
    std::vector<TwipsHLine> ledgerLines;
    // Label5 "Chord:": at its layout place, or moved left just clear of the chord's signs.
    TwipsRect chordLabel = kChordLabel;
    std::array<MarkerView, kKeyCount> markers{};
    // The chord's notes by name, lowest sounding key first ("C, E, G"), and what assistive
    // technology reads of the chord on the keyboard and on the staff, each note with its written
    // octave ("none" for no notes).
    std::string noteNames;
    std::string keyboardDescription;  // "Chord CMajor Basic, keys marked: C4, E4, G4."
    std::string staffDescription;     // "Chord CMajor Basic: C4, E4, G4."
    friend bool operator==(const ChordView&, const ChordView&) = default;
};

// The caption of an inversion (0..3); nullopt for any other value, which keeps the old caption.
std::optional<std::string_view> InversionCaptionFor(int inversion);

// Writes the upper head of each second right of the column, alternating upwards through a run of
// seconds; a natural and its sharp on one step stand side by side as well.
void PlaceChordHeads(std::array<NoteSlotView, kChordSlotCount>& slots);

// Gives the shown "#" signs of a chord column their places (see SharpSignFor), clear of the
// chord's ledger lines.
void PlaceChordSigns(std::array<NoteSlotView, kChordSlotCount>& slots,
                     const std::vector<TwipsHLine>& ledgerLines);

ChordView ComputeChordView(const ChordSelection& selection);

}  // namespace quorvane::views
