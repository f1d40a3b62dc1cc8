#include "midi/PlayPlan.h"

#include <algorithm>
#include <numeric>

namespace quorvane::midi {

PlayPlan PlanPlay(const std::vector<int>& notes, PlayStyle style, int spacingMs, int noteLengthMs) {
    PlayPlan plan;
    std::vector<std::size_t> order(notes.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (style == PlayStyle::Chord) {
        spacingMs = 0;
    } else {
        const bool down = style == PlayStyle::ArpeggioDown;
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return down ? notes[a] > notes[b] : notes[a] < notes[b];
        });
    }
    for (std::size_t i = 0; i < order.size(); ++i) {
        plan.onsets.push_back({order[i], static_cast<int>(i) * spacingMs});
    }
    const int lastOnset = plan.onsets.empty() ? 0 : plan.onsets.back().atMs;
    plan.endMs = std::max(noteLengthMs, lastOnset + spacingMs);
    return plan;
}

}  // namespace quorvane::midi
