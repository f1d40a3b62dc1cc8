#include "midi/ComputerKeys.h"

#include <array>

namespace quorvane::midi {

namespace {

struct KeyPlace {
    std::uint32_t linuxCode;  // the place, as the Linux input layer numbers it
    int usCharacter;          // what a US keyboard prints there
    int key;
};

// X key codes are the Linux input codes shifted by 8.
constexpr std::uint32_t kXKeyCodeOffset = 8;

constexpr std::array<KeyPlace, 26> kPlaces{{
    {44, 'Z', 0},  {31, 'S', 1},  {45, 'X', 2},  {32, 'D', 3},  {46, 'C', 4},  {47, 'V', 5},
    {34, 'G', 6},  {48, 'B', 7},  {35, 'H', 8},  {49, 'N', 9},  {36, 'J', 10}, {50, 'M', 11},
    {51, ',', 12}, {16, 'Q', 12}, {3, '2', 13},  {17, 'W', 14}, {4, '3', 15},  {18, 'E', 16},
    {19, 'R', 17}, {6, '5', 18},  {20, 'T', 19}, {7, '6', 20},  {21, 'Y', 21}, {8, '7', 22},
    {22, 'U', 23}, {23, 'I', 24},
}};

}  // namespace

std::optional<int> ComputerKeys::Place(std::uint32_t scanCode, int character) {
    for (std::size_t i = 0; i < kPlaces.size(); ++i) {
        const KeyPlace& place = kPlaces[i];
        if (scanCode != 0 ? scanCode == place.linuxCode + kXKeyCodeOffset
                          : character == place.usCharacter) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

std::optional<int> ComputerKeys::KeyAt(std::uint32_t scanCode, int character) {
    const std::optional<int> place = Place(scanCode, character);
    if (!place) {
        return std::nullopt;
    }
    return kPlaces[static_cast<std::size_t>(*place)].key;
}

std::optional<int> ComputerKeys::Press(std::uint32_t scanCode, int character) {
    const std::optional<int> place = Place(scanCode, character);
    if (!place) {
        return std::nullopt;
    }
    const int key = kPlaces[static_cast<std::size_t>(*place)].key;
    if (!held_.emplace(key, *place).second) {
        return std::nullopt;
    }
    return key;
}

std::optional<int> ComputerKeys::Release(std::uint32_t scanCode, int character) {
    const std::optional<int> place = Place(scanCode, character);
    if (!place) {
        return std::nullopt;
    }
    const int key = kPlaces[static_cast<std::size_t>(*place)].key;
    const auto it = held_.find(key);
    // Only the place that started the key ends it.
    if (it == held_.end() || it->second != *place) {
        return std::nullopt;
    }
    held_.erase(it);
    return key;
}

std::vector<int> ComputerKeys::ReleaseAll() {
    std::vector<int> keys = Keys();
    held_.clear();
    return keys;
}

std::vector<int> ComputerKeys::Keys() const {
    std::vector<int> keys;
    keys.reserve(held_.size());
    for (const auto& [key, place] : held_) {
        keys.push_back(key);
    }
    return keys;
}

}  // namespace quorvane::midi
