#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "theory/theory.h"

namespace quorvane::theory {

std::optional<std::vector<int>> ReadIntervals(std::string_view intervals) {
    // Text after the last "/" never becomes a number, whatever it holds.
    const std::size_t lastSlash = intervals.rfind('/');
    if (lastSlash == std::string_view::npos) {
        return std::vector<int>{};
    }
    const std::string_view read = intervals.substr(0, lastSlash + 1);

    std::vector<int> values;
    values.reserve(static_cast<std::size_t>(std::count(read.begin(), read.end(), '/')));
    int pending = 0;  // value of the pending number text; an empty text reads as 0
    for (const char c : read) {
        if (c == '/') {
            values.push_back(pending);
            pending = 0;
        } else if (c >= '0' && c <= '9') {
            pending = pending * 10 + (c - '0');
            if (pending > kMaxIntervalValue) {
                return std::nullopt;  // checked per digit, so it never overflows
            }
        } else {
            return std::nullopt;
        }
    }
    return values;
}

}  // namespace quorvane::theory
