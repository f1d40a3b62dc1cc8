#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

#include "theory/theory.h"

namespace quorvane::theory {

ChordVoicing VoiceChord(std::string_view intervals, int root, int inversion, int clefOffset) {
    if (root < 0 || root > 11 || inversion < 0 || inversion > 3) {
        return {};
    }
    const auto values = ReadIntervals(intervals);
    if (!values || values->empty() || values->size() > static_cast<std::size_t>(kMaxChordNotes)) {
        return {};
    }

    ChordVoicing voicing;
    voicing.reserve(values->size());
    for (std::size_t i = 0; i < values->size(); ++i) {
        ChordNote note{};
        note.Position = static_cast<int>(i);
        note.Interval = (*values)[i];
        note.Key = root + note.Interval;
        note.Raised = note.Position < inversion;
        note.SoundingKey = note.Raised ? note.Key + 12 : note.Key;
        if (note.SoundingKey >= kKeyboardKeys) {
            return {};  // a chord that cannot be marked and played whole is not shown at all
        }
        note.Sharp = IsSharpKey(note.Key);
        const std::int64_t top =
            std::int64_t{StaffTopForKey(note.Key, clefOffset)} - (note.Raised ? kOctaveTwips : 0);
        note.StaffTop =
            static_cast<int>(std::max<std::int64_t>(top, std::numeric_limits<int>::min()));
        voicing.push_back(note);
    }
    return voicing;
}

}  // namespace quorvane::theory
