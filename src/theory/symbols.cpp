#include "theory/symbols.h"

namespace quorvane::theory {

SymbolsRead ReadChordSymbols(std::string_view) {
    return {};
}

std::optional<SequenceCell> ReadChordSymbol(std::string_view) {
    return std::nullopt;
}

}  // namespace quorvane::theory
