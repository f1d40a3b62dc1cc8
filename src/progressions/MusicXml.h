// The chord sequence as a MusicXML 4.0 score for notation programs: one part in 4/4 at the
// song's tempo, each chord's notes as voiced for its beats, tied across bar lines, with a chord
// symbol above. Standard library only.
#pragma once

#include <string>
#include <vector>

#include "theory/keys.h"
#include "theory/sequence.h"
#include "theory/spelling.h"

namespace quorvane::progressions {

struct MusicXmlSong {
    std::string title;
    int tempo = 100;
    int beatsPerChord = 4;
    std::vector<theory::SequenceCell> cells;
    std::vector<theory::PlacedChord> placements;  // one a cell, as the sequence voices them
    theory::Spelling spelling = theory::Spelling::ByChord;
    theory::Key key;
};

// The score-partwise document; unknown cells are rests with their text as a chord symbol.
std::string WriteMusicXml(const MusicXmlSong& song);

}  // namespace quorvane::progressions
