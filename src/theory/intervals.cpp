#include <optional>
#include <string_view>
#include <vector>

#include "theory/interval_reader.h"
#include "theory/theory.h"

namespace quorvane::theory {

namespace {

constexpr bool CatalogueIsReadable() {
    auto ignore = [](int) {};
    for (const ChordType& c : ChordTypes) {
        if (!detail::ReadIntervalsWith(c.intervals, kMaxIntervalValue, ignore)) {
            return false;
        }
    }
    for (const Scale& s : Scales) {
        if (!detail::ReadIntervalsWith(s.intervals, kMaxIntervalValue, ignore)) {
            return false;
        }
    }
    return true;
}
static_assert(CatalogueIsReadable(), "every catalogue interval string reads");

}  // namespace

std::optional<std::vector<int>> ReadIntervals(std::string_view intervals) {
    std::vector<int> values;
    if (!detail::ReadIntervalsWith(intervals, kMaxIntervalValue,
                                   [&values](int v) { values.push_back(v); })) {
        return std::nullopt;
    }
    return values;
}

}  // namespace quorvane::theory
