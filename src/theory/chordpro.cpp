#include "theory/chordpro.h"

namespace quorvane::theory {

ChordProRead ReadChordPro(std::string_view) {
    return {};
}
std::string WriteChordPro(const ChordProSong&, Spelling) {
    return {};
}

}  // namespace quorvane::theory
