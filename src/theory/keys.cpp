#include "theory/keys.h"

namespace quorvane::theory {

std::string KeyName(Key) {
    return {};
}
std::vector<Key> AllKeys() {
    return {};
}
Key FindKey(const std::vector<SequenceCell>&, int) {
    return {};
}
std::string RomanNumeral(const SequenceCell&, Key) {
    return {};
}
std::string SymbolInKey(const SequenceChord&, Key, Spelling) {
    return {};
}
SequenceCell Transpose(const SequenceCell& cell, int) {
    return cell;
}
Key Transpose(Key key, int) {
    return key;
}

}  // namespace quorvane::theory
