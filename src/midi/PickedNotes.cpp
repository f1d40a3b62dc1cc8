#include "midi/PickedNotes.h"

namespace quorvane::midi {

bool PickedNotes::Toggle(int key) {
    if (picks_.erase(key) > 0) {
        return false;
    }
    picks_.emplace(key, ++lastId_);
    return true;
}

std::uint64_t PickedNotes::Id(int key) const {
    const auto it = picks_.find(key);
    return it == picks_.end() ? 0 : it->second;
}

std::vector<int> PickedNotes::Keys() const {
    std::vector<int> keys;
    keys.reserve(picks_.size());
    for (const auto& [key, id] : picks_) {
        keys.push_back(key);
    }
    return keys;
}

}  // namespace quorvane::midi
