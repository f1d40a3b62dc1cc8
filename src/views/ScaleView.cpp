#include "views/ScaleView.h"

#include "theory/theory.h"

namespace quorvane::views {

namespace {

// Colours the scale's keys and fills its slots, in string order.
void ApplyNotes(ScaleView& view, const std::vector<theory::ScaleNote>& notes) {
    for (const theory::ScaleNote& note : notes) {
        view.noteNames.append(view.noteNames.empty() ? "" : ", ").append(note.name);
        if (note.position < 0 || note.position >= kScaleSlotCount) {
            continue;
        }
        if (note.key >= 0 && note.key < kKeyCount) {
            const bool white = ColorFromTag(KeyBlockTag(note.key)) == kWhite;
            view.keyColors[static_cast<std::size_t>(note.key)] =
                white ? kScaleWhiteKeyColor : kScaleBlackKeyColor;
        }
        NoteSlotView& slot = view.noteSlots[static_cast<std::size_t>(note.position)];
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
}

}  // namespace

ScaleView ComputeScaleView(int rootIndex, int scaleIndex, int clefOffset) {
    ScaleView view;
    for (int n = 0; n < kScaleSlotCount; ++n) {
        view.noteSlots[static_cast<std::size_t>(n)].headLeft = ScaleSlotLeft(n);
    }
    for (int k = 0; k < kKeyCount; ++k) {
        view.keyColors[static_cast<std::size_t>(k)] = ColorFromTag(KeyBlockTag(k));
    }
    const bool known = scaleIndex >= 0 && scaleIndex < static_cast<int>(theory::Scales.size()) &&
                       rootIndex >= 0 && rootIndex < static_cast<int>(theory::RootNames.size());
    if (known) {
        const theory::Scale& scale = theory::Scales[static_cast<std::size_t>(scaleIndex)];
        view.title.append(theory::RootNames[static_cast<std::size_t>(rootIndex)])
            .append(" ")
            .append(scale.name);
        ApplyNotes(view, theory::BuildScale(rootIndex, scale.intervals, clefOffset));
    }
    const std::string_view names =
        view.noteNames.empty() ? std::string_view("none") : std::string_view(view.noteNames);
    view.keyboardDescription.append("Scale ").append(view.title).append(", keys coloured: ");
    view.keyboardDescription.append(names).append(".");
    view.staffDescription.append("Scale ")
        .append(view.title)
        .append(": ")
        .append(names)
        .append(".");
    return view;
}

}  // namespace quorvane::views
