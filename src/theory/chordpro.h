// Chord sheets as ChordPro songs: reading the chords of any ChordPro song or plain text chart,
// and writing a song with the program's own settings as x_ directives. Standard library only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "theory/keys.h"
#include "theory/sequence.h"
#include "theory/spelling.h"

namespace quorvane::theory {

struct ChordProSong {
    std::string title;
    std::optional<Key> key;
    std::optional<int> tempo;
    std::string time;                  // "4/4"
    std::optional<int> beatsPerChord;  // x_beats_per_chord
    std::string voicing;               // x_voicing: "As shown" / "Smooth"
    std::string spelling;              // x_spelling: "Sharps" / "Flats" / "By Chord"
    std::vector<SequenceCell> cells;
};

// error non-empty: why the text was refused, at `line` (1-based; 0 for the whole text).
struct ChordProRead {
    ChordProSong song;
    std::string error;
    int line = 0;
};

inline constexpr std::size_t kMaxChordProBytes = 1024 * 1024;
inline constexpr std::size_t kMaxChordProLine = 64 * 1024;

// A ChordPro song (its bracketed chords in order, lyrics and other directives ignored) or a plain
// chart (bar lines, or lines of chord symbols only). Refuses a text over kMaxChordProBytes or
// with a line over kMaxChordProLine.
ChordProRead ReadChordPro(std::string_view text);

// {title}{key}{tempo}{time}{x_...} as present, then the cells as "[C] [Am] [F] [G7]", four a line.
std::string WriteChordPro(const ChordProSong& song, Spelling spelling);

}  // namespace quorvane::theory
