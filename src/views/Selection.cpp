#include "views/Selection.h"

#include "theory/theory.h"

namespace quorvane::views {

ChordSelection ChordSelectionOf(const Selection& selection) {
    ChordSelection chord;
    chord.rootText = theory::RootNames[static_cast<std::size_t>(selection.rootIndex)];
    chord.rootIndex = selection.rootIndex;
    chord.chordTypeIndex = selection.chordTypeIndex;
    chord.inversion = selection.inversion;
    chord.inversionCaption = selection.inversionCaption;
    chord.clefOffset = selection.clefOffset;
    chord.mode = selection.identifiers;
    chord.spelling = selection.spelling;
    return chord;
}

std::string ChordTitle(const Selection& selection) {
    return theory::NameRoot(selection.rootIndex, selection.chordTypeIndex, selection.spelling) +
           ' ' +
           std::string(
               theory::ChordTypes[static_cast<std::size_t>(selection.chordTypeIndex)].name) +
           selection.inversionCaption;
}

}  // namespace quorvane::views
