#pragma once
// What the scale display shows for a selection: the colour of every key block and the 21 scale
// note slots on the staff, each with its head, "#" sign and ledger lines. Computed afresh from the
// selection every time; the main window only applies it to its widgets.

#include <array>
#include <string>
#include <vector>

#include "views/Keyboard.h"
#include "views/Staff.h"

namespace quorvane::views {

// A scale note on a white key, and on a black key.
inline constexpr OleColor kScaleWhiteKeyColor = Rgb(127, 200, 255);
inline constexpr OleColor kScaleBlackKeyColor = Rgb(64, 100, 128);

struct ScaleSlotView {
    bool headShown = false;
    int headLeft = 0;
    int headTop = 0;
    bool sharpShown = false;
    int sharpLeft = 0;
    int sharpTop = 0;
    std::string sharpCaption;
    SignBox sharpSign;  // where the sign is drawn (the label box above is only its place)
    // Every ledger line between the staff and this slot's head.
    std::vector<TwipsHLine> ledgerLines;
    friend bool operator==(const ScaleSlotView&, const ScaleSlotView&) = default;
};

struct ScaleView {
    std::array<ScaleSlotView, kScaleSlotCount> noteSlots{};
    std::array<OleColor, kKeyCount> keyColors{};
    friend bool operator==(const ScaleView&, const ScaleView&) = default;
};

ScaleView ComputeScaleView(int rootIndex, int scaleIndex, int clefOffset);

}  // namespace quorvane::views
