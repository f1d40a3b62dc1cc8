#include "views/ChordView.h"

#include <algorithm>

#include "theory/theory.h"

namespace quorvane::views {

std::optional<std::string_view> InversionCaptionFor(int inversion) {
    if (inversion < 0 || inversion >= static_cast<int>(theory::InversionCaptions.size())) {
        return std::nullopt;
    }
    return theory::InversionCaptions[static_cast<std::size_t>(inversion)];
}

void PlaceChordSigns(std::array<NoteSlotView, kChordSlotCount>& slots) {
    // From the highest sign down, each takes the column nearest the heads where no sign stands
    // within the clearance.
    std::array<NoteSlotView*, kChordSlotCount> order{};
    std::size_t count = 0;
    for (NoteSlotView& slot : slots) {
        if (slot.sharpShown) {
            order[count++] = &slot;
        }
    }
    std::stable_sort(
        order.begin(), order.begin() + static_cast<std::ptrdiff_t>(count),
        [](const NoteSlotView* a, const NoteSlotView* b) { return a->headTop < b->headTop; });
    std::array<int, kChordSlotCount> columnOf{};
    for (std::size_t i = 0; i < count; ++i) {
        const auto taken = [&](int column) {
            for (std::size_t j = 0; j < i; ++j) {
                if (columnOf[j] == column &&
                    order[i]->headTop - order[j]->headTop < kSharpColumnClearance) {
                    return true;
                }
            }
            return false;
        };
        int column = 0;
        while (taken(column)) {
            ++column;
        }
        columnOf[i] = column;
        order[i]->sharpSign = SharpSignFor(order[i]->headLeft, order[i]->headTop, column);
    }
}

ChordView ComputeChordView(const ChordSelection& selection) {
    ChordView view;
    for (NoteSlotView& slot : view.noteSlots) {
        slot.headLeft = kChordColumnLeft;
    }

    std::string_view typeName;
    std::string_view intervals;
    if (selection.chordTypeIndex >= 0 &&
        selection.chordTypeIndex < static_cast<int>(theory::ChordTypes.size())) {
        const auto& type = theory::ChordTypes[static_cast<std::size_t>(selection.chordTypeIndex)];
        typeName = type.name;
        intervals = type.intervals;
    }
    view.name.reserve(selection.rootText.size() + typeName.size() +
                      selection.inversionCaption.size());
    view.name.append(selection.rootText).append(typeName).append(selection.inversionCaption);

    const bool numbers = selection.mode == IdentifierMode::Numbers;
    for (int k = 0; k < kKeyCount; ++k) {
        MarkerView& marker = view.markers[static_cast<std::size_t>(k)];
        if (numbers) {
            marker.caption = MarkerCaption(k, IdentifierMode::Numbers, selection.rootIndex);
        }
    }

    const theory::ChordVoicing voicing = theory::VoiceChord(
        intervals, selection.rootIndex, selection.inversion, selection.clefOffset);
    const std::size_t count = std::min(voicing.size(), view.noteSlots.size());
    for (std::size_t n = 0; n < count; ++n) {
        const theory::ChordNote& note = voicing[n];
        NoteSlotView& slot = view.noteSlots[n];
        slot.headShown = true;
        slot.headTop = note.staffTop;
        if (note.sharp) {
            const theory::AccidentalPosition at =
                theory::AccidentalPlacement(kChordColumnLeft, note.staffTop);
            slot.sharpShown = true;
            slot.sharpLeft = at.left;
            slot.sharpTop = at.top;
            slot.sharpCaption = std::string(theory::NoteName(note.key).substr(1, 1));
        }
        if (note.soundingKey >= 0 && note.soundingKey < kKeyCount) {
            view.markers[static_cast<std::size_t>(note.soundingKey)].shown = true;
        }
        // Notes share one column, so a height already lined for an earlier note needs no
        // second line.
        for (const theory::LedgerLine& line :
             theory::LedgerLinesFor(kChordColumnLeft, note.staffTop)) {
            const bool known = std::any_of(view.ledgerLines.begin(), view.ledgerLines.end(),
                                           [&](const TwipsHLine& l) { return l.y == line.y; });
            if (!known) {
                view.ledgerLines.push_back({line.x1, line.x2, line.y});
            }
        }
    }
    PlaceChordSigns(view.noteSlots);

    // The notes by name from the lowest sounding key up.
    std::array<const theory::ChordNote*, theory::kMaxChordNotes> byPitch{};
    for (std::size_t n = 0; n < count; ++n) {
        byPitch[n] = &voicing[n];
    }
    std::stable_sort(byPitch.begin(), byPitch.begin() + static_cast<std::ptrdiff_t>(count),
                     [](const theory::ChordNote* a, const theory::ChordNote* b) {
                         return a->soundingKey < b->soundingKey;
                     });
    for (std::size_t n = 0; n < count; ++n) {
        view.noteNames.append(n == 0 ? "" : ", ").append(theory::NoteName(byPitch[n]->soundingKey));
    }
    const std::string_view notes =
        view.noteNames.empty() ? std::string_view("none") : std::string_view(view.noteNames);
    view.keyboardDescription.append("Chord ").append(view.name).append(", keys marked: ");
    view.keyboardDescription.append(notes).append(".");
    view.staffDescription.append("Chord ").append(view.name).append(": ").append(notes).append(".");
    return view;
}

}  // namespace quorvane::views
