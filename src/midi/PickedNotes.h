#pragma once
// The notes picked with the mouse on the drawn keyboard: a press adds a key, a press on a picked
// key takes it away again. Each pick gets an id of its own, so the end of its sound (which comes
// later, on a timer) finds out whether that very pick still sounds.

#include <cstdint>
#include <map>
#include <vector>

namespace quorvane::midi {

class PickedNotes {
  public:
    // Picks `key`, or takes it away when it is picked; true when it was added.
    bool Toggle(int key);
    // The id of key's pick, 0 when it is not picked.
    std::uint64_t Id(int key) const;
    // The picked keys, lowest first.
    std::vector<int> Keys() const;
    bool Empty() const { return picks_.empty(); }
    void Clear() { picks_.clear(); }

  private:
    std::map<int, std::uint64_t> picks_;  // key -> id
    std::uint64_t lastId_ = 0;
};

}  // namespace quorvane::midi
