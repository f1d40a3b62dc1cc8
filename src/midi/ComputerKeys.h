#pragma once
// Two rows of the computer keyboard played as a keyboard of 25 keys. Keys are found by their
// physical place (the scan code), so a QWERTY, QWERTZ or AZERTY keyboard plays the same notes:
// the bottom letter row (the places of Z S X D C V G B H N J M and the comma on a US keyboard)
// plays keys 0 to 12, the top letter row with the digits above it (Q 2 W 3 E R 5 T 6 Y 7 U I)
// keys 12 to 24.

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace quorvane::midi {

class ComputerKeys {
  public:
    // The keyboard key played at a place, nullopt for a key that plays none. `scanCode` is the
    // window system's (an X key code: the Linux input code plus 8); where there is none (0),
    // `character`, the US keyboard's character at the place ('Z', ','), stands for it.
    static std::optional<int> KeyAt(std::uint32_t scanCode, int character);

    // A key went down: the keyboard key it starts, nullopt when it plays none or that key is
    // held already (a repeat, or the same key at its other place).
    std::optional<int> Press(std::uint32_t scanCode, int character);
    // A key went up: the keyboard key it releases, nullopt when it held none.
    std::optional<int> Release(std::uint32_t scanCode, int character);
    // Lets every key go: the keyboard keys released.
    std::vector<int> ReleaseAll();
    // The keyboard keys held, lowest first.
    std::vector<int> Keys() const;

  private:
    static std::optional<int> Place(std::uint32_t scanCode, int character);
    std::map<int, int> held_;  // keyboard key -> the place holding it
};

}  // namespace quorvane::midi
