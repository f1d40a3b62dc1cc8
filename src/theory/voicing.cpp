#include <array>
#include <cstddef>
#include <string_view>

#include "theory/interval_reader.h"
#include "theory/theory.h"

namespace quorvane::theory {

ChordVoicing VoiceChord(std::string_view intervals, int root, int inversion, int clefOffset) {
    if (root < 0 || root > 11 || inversion < 0 || inversion > 3) {
        return {};
    }
    std::array<int, kMaxChordNotes> values{};
    std::size_t count = 0;
    const bool readable = detail::ReadIntervalsWith(intervals, kMaxIntervalValue, [&](int v) {
        if (count < values.size()) {
            values[count] = v;
        }
        ++count;
    });
    if (!readable || count == 0 || count > values.size()) {
        return {};
    }

    ChordVoicing voicing;
    voicing.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int position = static_cast<int>(i);
        const int key = root + values[i];
        const bool raised = position < inversion;
        const int soundingKey = raised ? key + 12 : key;
        if (soundingKey >= kKeyboardKeys) {
            return {};  // a chord that cannot be marked and played whole is not shown at all
        }
        // Keys here are at most 35, whose tops lie far enough inside the int range that the
        // octave never overflows, whatever the clef offset.
        const int staffTop = StaffTopForKey(key, clefOffset) - (raised ? kOctaveTwips : 0);
        voicing.push_back(
            {position, values[i], key, raised, soundingKey, IsSharpKey(key), staffTop});
    }
    return voicing;
}

}  // namespace quorvane::theory
