// Reading chord symbols as musicians write them on lead sheets ("Cmaj7", "C-7", "Bb/D",
// "| C | Am | F | G7 |") into catalogue chords, keeping the ones the catalogue does not know
// as written. Standard library only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "theory/sequence.h"

namespace quorvane::theory {

struct SymbolsRead {
    std::vector<SequenceCell> cells;  // in order; bar lines ignored
    std::string error;  // non-empty: names the first token that is no symbol at all; cells empty
};

// Every symbol of the text, separated by blanks, commas, bar lines and repeat colons, or each in
// ChordPro's brackets; "%" and "/" repeat the chord before.
SymbolsRead ReadChordSymbols(std::string_view text);

// One symbol: a known cell, an unknown cell with the reason, or nullopt when the token is no
// chord symbol at all (no root letter, or nothing after it a symbol could hold).
std::optional<SequenceCell> ReadChordSymbol(std::string_view token);

// A symbol's text with its root and slash bass moved by semitones (any sign), each written as
// the major key of that note is (Db, Eb, F#, Ab, Bb); the rest stays as written. The text
// as it is when it starts with no note.
std::string TransposeSymbolText(std::string_view text, int semitones);

}  // namespace quorvane::theory
