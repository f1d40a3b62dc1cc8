// Music theory core: the catalogue, note naming and staff placement, chord voicing and scale
// construction. Pure computation over integers and text; no window system, no state.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "theory/catalogue.h"

namespace quorvane::theory {

// ---- Keys and the staff --------------------------------------------------------------------

inline constexpr int kKeyboardKeys = 36;   // keys 0..35 are on the keyboard
inline constexpr int kNoteTableKeys = 44;  // keys 0..43 have a name and a staff position

inline constexpr int kTrebleClefOffset = 0;
inline constexpr int kBassClefOffset = 120;

inline constexpr int kStaffStep = 60;         // twips from a line to the next space
inline constexpr int kOctaveTwips = 420;      // seven staff steps
inline constexpr int kLowestStaffTop = 5280;  // base top of key 0 (treble clef)

// Staff lines, top to bottom, and the first ledger positions outside them (all Y in twips).
inline constexpr int kStaffTopLineY = 4740;
inline constexpr int kStaffBottomLineY = 5220;
inline constexpr int kFirstLedgerBelowY = 5340;
inline constexpr int kFirstLedgerAboveY = 4620;

// A note head is 165 x 135 twips; its ledger lines reach 65 twips left of it and are 280 long.
inline constexpr int kLedgerLeftOverhang = 65;
inline constexpr int kLedgerLength = 280;

// The ledger lines of one note are never more than this many (the catalogue needs at most 7).
inline constexpr int kMaxLedgerLines = 16;

// The largest number an interval string may hold: the highest key that has a staff position.
inline constexpr int kMaxIntervalValue = kNoteTableKeys - 1;

// Layout limits of the displays: six chord slots, 21 scale slots.
inline constexpr int kMaxChordNotes = 6;
inline constexpr int kMaxScaleNotes = 21;

// ---- Interval strings ----------------------------------------------------------------------

// Reads an interval string ("0/4/7/"): every character other than "/" is appended to a pending
// number text; each "/" emits that text as a decimal number (an empty text reads as 0) and empties
// it; characters after the last "/" emit nothing. So a string yields exactly as many numbers as
// it has "/" characters.
// Returns nullopt when a number text holds anything but the digits 0-9 (signs, blanks, letters)
// or its value exceeds kMaxIntervalValue; no partial list is ever returned.
std::optional<std::vector<int>> ReadIntervals(std::string_view intervals);

// ---- Note naming and staff placement -------------------------------------------------------

// "C", "C#", ... "B" for keys 0..43; an empty text for keys outside the note table.
std::string_view NoteName(int key);

// True when the key is named as a sharp (a black key). False outside the note table.
bool IsSharpKey(int key);

// Top of the key's crotchet in twips: the note table's base top plus the clef offset
// (0 treble, 120 bass). Keys outside 0..43 continue the same staff walk (seven steps per octave);
// results beyond the range of int are clamped.
int StaffTopForKey(int key, int clefOffset);

struct AccidentalPosition {
    int left;
    int top;
};

// Where the "#" label of a note goes: 140 twips left of the head and 80 above its top.
AccidentalPosition AccidentalPlacement(int left, int top);

struct LedgerLine {
    int x1;
    int x2;
    int y;

    friend bool operator==(const LedgerLine&, const LedgerLine&) = default;
};

// Every ledger line a note head at (left, top) needs, nearest the staff first: below the staff
// the lines at 5340, 5460, ... down to the line through the head (top / 60 even) or the last line
// above it (odd); above the staff the lines at 4620, 4500, ... up to the line through the head or
// the last line below it; none inside the staff. Each line runs from left - 65 to left + 215.
std::vector<LedgerLine> LedgerLinesFor(int left, int top);

// ---- Chord voicing -------------------------------------------------------------------------

struct ChordNote {
    int position;     // place in the interval string, 0 = first listed (the root)
    int interval;     // semitones above the root, as written
    int key;          // root + interval
    bool raised;      // position < inversion: sounds an octave higher
    int soundingKey;  // key + 12 when raised: the key marked on the keyboard and played
    bool sharp;       // key is named as a sharp
    int staffTop;     // crotchet top for the clef, 420 higher when raised

    friend bool operator==(const ChordNote&, const ChordNote&) = default;
};

// The notes in interval-string order; never re-sorted by pitch.
using ChordVoicing = std::vector<ChordNote>;

// Voices a chord: one note per number of the interval string, the first `inversion` of them
// raised by an octave. Returns an empty voicing, never a partial chord, when the string is
// unreadable, holds no number or more than six, the root is outside 0..11, the inversion outside
// 0..3, or a sounding key would fall off the 36-key keyboard.
ChordVoicing VoiceChord(std::string_view intervals, int root, int inversion, int clefOffset);

// ---- Scale construction --------------------------------------------------------------------

struct ScaleNote {
    int position;           // place in the interval string, the staff slot
    int interval;           // semitones above the root, as written
    int key;                // root + interval
    std::string_view name;  // the note table's name of key
    bool sharp;             // name has two characters
    int staffTop;           // StaffTopForKey(key, clef offset)

    friend bool operator==(const ScaleNote&, const ScaleNote&) = default;
};

// Builds a scale: one note per number of the interval string, in string order, unsorted, repeats
// kept. Returns an empty list when the string is unreadable, holds more than 21 numbers (the
// display's slots), the root is outside 0..11, or a key would fall off the 36-key keyboard.
std::vector<ScaleNote> BuildScale(int root, std::string_view intervals, int clefOffset);

}  // namespace quorvane::theory
