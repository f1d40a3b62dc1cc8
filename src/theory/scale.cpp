#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "theory/interval_reader.h"
#include "theory/theory.h"

namespace quorvane::theory {

std::vector<ScaleNote> BuildScale(int root, std::string_view intervals, int clefOffset) {
    if (root < 0 || root > 11) {
        return {};
    }
    std::array<int, kMaxScaleNotes> values{};
    std::size_t count = 0;
    const bool readable = detail::ReadIntervalsWith(intervals, kMaxIntervalValue, [&](int v) {
        if (count < values.size()) {
            values[count] = v;
        }
        ++count;
    });
    if (!readable || count > values.size()) {
        return {};
    }

    std::vector<ScaleNote> notes;
    notes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int key = root + values[i];
        if (key >= kKeyboardKeys) {
            return {};  // every scale note colours a key of the keyboard
        }
        const std::string_view name = NoteName(key);
        notes.push_back({static_cast<int>(i), values[i], key, name, name.size() == 2,
                         StaffTopForKey(key, clefOffset)});
    }
    return notes;
}

}  // namespace quorvane::theory
