// The interval string reading rule, shared by ReadIntervals, VoiceChord and BuildScale so that
// every consumer reads a string the same way. Internal to the theory library.
#pragma once

#include <string_view>

namespace quorvane::theory::detail {

// Calls emit(value) for every number of the string, in order. Every character other than "/" is
// appended to a pending number text; each "/" emits it (an empty text reads as 0); text after the
// last "/" is never read. Returns false, possibly after some numbers were emitted, when a number
// text holds anything but digits or exceeds maxValue; callers then discard what they got.
template <class Emit>
constexpr bool ReadIntervalsWith(std::string_view text, int maxValue, Emit&& emit) {
    const std::size_t lastSlash = text.rfind('/');
    if (lastSlash == std::string_view::npos) {
        return true;
    }
    int pending = 0;
    for (const char c : text.substr(0, lastSlash + 1)) {
        if (c == '/') {
            emit(pending);
            pending = 0;
        } else if (c >= '0' && c <= '9') {
            pending = pending * 10 + (c - '0');
            if (pending > maxValue) {
                return false;  // checked per digit, so it never overflows
            }
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace quorvane::theory::detail
