// Chords on fretted instruments: tunings, the playable shapes of a chord on a set of strings with
// a capo, their fingering, and how players write shapes down (tab text, ChordPro define lines).
// Pure functions over the catalogue; the standard library only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::theory {

// A fretted instrument's open strings, lowest string first (the order a chord chart lists
// them: "x32010" starts at the low E), as MIDI note numbers (E2 = 40, C4 = 60).
struct Tuning {
    std::string name;
    std::vector<int> strings;
};
// The listed instruments, in the order of the window's "Instrument:" list (without "Custom...").
const std::vector<Tuning>& ListedTunings();
// "C2 G2 D3 A3 E4" (sharps or flats, "C#2", "Db2"), 3..8 strings, each B0..E6; on failure
// `error` names the bad token or says the count is wrong, and `strings` is empty.
struct TuningRead {
    std::vector<int> strings;
    std::string error;
};
TuningRead ReadTuning(std::string_view text);

inline constexpr int kMuted = -1;
struct FrettedShape {
    std::vector<int> frets;    // one per string, lowest first; kMuted, 0 open, else fret counted
                               // from the capo
    std::vector<int> fingers;  // one per string: 0 open or muted, 1..4 (index..little)
    int barreFret = 0;         // 0: no barre; else the fret (from the capo) a barre holds
    int barreFrom = -1, barreTo = -1;  // the strings (indices, inclusive) the barre holds
    std::vector<int> notes;    // the sounding MIDI notes (capo included), lowest string first
    std::vector<int> degrees;  // per string: the interval above the root in semitones of the
                               // chord's interval string that sounds there, -1 muted
    std::vector<std::string> leftOut;  // what the shape leaves out, in order: "5th", "9th", "11th"
    friend bool operator==(const FrettedShape&, const FrettedShape&) = default;
};
// Every playable shape of the chord (root 0..11, chord type row, inversion 0..3) on those
// strings (at most 8) with the capo on fret `capo` (0..12), best first; empty when there is none.
// Shapes use frets 0..15 above the capo (none past the 24th fret) and sound at least three
// strings; the bass is the lowest note by pitch, also on re-entrant strings.
std::vector<FrettedShape> FindShapes(const std::vector<int>& strings, int capo, int rootIndex,
                                     int chordTypeIndex, int inversion);
// The first fret a chord box shows: 1 when the shape fits from the nut, else its lowest fretted
// fret.
int BaseFret(const FrettedShape& shape);
// "x32010"; a fret over 9 in parentheses: "x(10)(12)(12)(12)(10)".
std::string ShapeText(const FrettedShape& shape);
// "no 5th", "no 5th, no 9th"; empty when nothing is left out.
std::string LeftOutText(const FrettedShape& shape);
// "{define: C base-fret 1 frets x 3 2 0 1 0 fingers 0 3 2 0 1 0}" (frets relative to base-fret).
std::string ChordProDefine(const std::string& chordName, const FrettedShape& shape);
// A shape as players write it: "x32010", "x-3-2-0-1-0", "x 3 2 0 1 0", "x(10)(12)...",
// one entry per string; frets 0..24. On failure `error` says what is wrong, `frets` is empty.
struct FretsRead {
    std::vector<int> frets;
    std::string error;
};
FretsRead ReadFrets(std::string_view text, int stringCount);
// A degree's label as the dots carry it with Numbers: "R", "3", "b3", "5", "b7", "9", ...
std::string DegreeLabel(int semitonesAboveRoot, int chordTypeIndex);

// A place on the neck that sounds one of the chord's notes: the string (lowest first), the fret
// counted from the capo, and the note's interval above the root as the interval string has it.
struct NeckPlace {
    int string = 0;
    int fret = 0;
    int degree = 0;
    friend bool operator==(const NeckPlace&, const NeckPlace&) = default;
};
// Every place on frets 0..lastFret (from the capo) of the strings where the chord sounds, string
// by string up the neck.
std::vector<NeckPlace> ChordPlaces(const std::vector<int>& strings, int capo, int rootIndex,
                                   int chordTypeIndex, int lastFret);
// The MIDI notes frets sound on the strings with the capo on, lowest string first, muted ones
// skipped.
std::vector<int> FrettedNotes(const std::vector<int>& strings, int capo,
                              const std::vector<int>& frets);

}  // namespace quorvane::theory
