#include <string_view>
#include <vector>

#include "theory/theory.h"

namespace quorvane::theory {

std::vector<ScaleNote> BuildScale(int root, std::string_view intervals, int clefOffset) {
    if (root < 0 || root > 11) {
        return {};
    }
    const auto values = ReadIntervals(intervals);
    if (!values || values->size() > static_cast<std::size_t>(kMaxScaleNotes)) {
        return {};
    }

    std::vector<ScaleNote> notes;
    notes.reserve(values->size());
    for (std::size_t i = 0; i < values->size(); ++i) {
        ScaleNote note{};
        note.position = static_cast<int>(i);
        note.interval = (*values)[i];
        note.key = root + note.interval;
        if (note.key >= kKeyboardKeys) {
            return {};  // every scale note colours a key of the keyboard
        }
        note.name = NoteName(note.key);
        note.sharp = note.name.size() == 2;
        note.staffTop = StaffTopForKey(note.key, clefOffset);
        notes.push_back(note);
    }
    return notes;
}

}  // namespace quorvane::theory
