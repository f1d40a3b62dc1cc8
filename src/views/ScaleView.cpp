#include "views/ScaleView.h"

#include "theory/theory.h"

namespace quorvane::views {

ScaleView ComputeScaleView(int rootIndex, int scaleIndex, int clefOffset) {
    ScaleView view;
    for (int n = 0; n < kScaleSlotCount; ++n) {
        view.noteSlots[static_cast<std::size_t>(n)].headLeft = ScaleSlotLeft(n);
    }
    for (int k = 0; k < kKeyCount; ++k) {
        view.keyColors[static_cast<std::size_t>(k)] = ColorFromTag(KeyBlockTag(k));
    }
    if (scaleIndex < 0 || scaleIndex >= static_cast<int>(theory::Scales.size())) {
        return view;
    }

    const auto notes = theory::BuildScale(
        rootIndex, theory::Scales[static_cast<std::size_t>(scaleIndex)].intervals, clefOffset);
    for (const theory::ScaleNote& note : notes) {
        if (note.position < 0 || note.position >= kScaleSlotCount) {
            continue;
        }
        if (note.key >= 0 && note.key < kKeyCount) {
            const bool white = ColorFromTag(KeyBlockTag(note.key)) == kWhite;
            view.keyColors[static_cast<std::size_t>(note.key)] =
                white ? kScaleWhiteKeyColor : kScaleBlackKeyColor;
        }
        ScaleSlotView& slot = view.noteSlots[static_cast<std::size_t>(note.position)];
        slot.headShown = true;
        slot.headTop = note.staffTop;
        if (note.sharp) {
            const theory::AccidentalPosition at =
                theory::AccidentalPlacement(slot.headLeft, note.staffTop);
            slot.sharpShown = true;
            slot.sharpLeft = at.left;
            slot.sharpTop = at.top;
            slot.sharpCaption = std::string(note.name.substr(note.name.size() - 1));
            slot.sharpSign = SharpSignFor(slot.headLeft, slot.headTop);
        }
        for (const theory::LedgerLine& line :
             theory::LedgerLinesFor(slot.headLeft, note.staffTop)) {
            slot.ledgerLines.push_back({line.x1, line.x2, line.y});
        }
    }
    return view;
}

}  // namespace quorvane::views
