#include "views/ChordView.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "theory/theory.h"
#include "views/Twips.h"

namespace quorvane::views {

std::optional<std::string_view> InversionCaptionFor(int inversion) {
    if (inversion < 0 || inversion >= static_cast<int>(theory::InversionCaptions.size())) {
        return std::nullopt;
    }
    return theory::InversionCaptions[static_cast<std::size_t>(inversion)];
}

namespace {

// The shown slots of a chord, in an order of their own.
struct SlotOrder {
    std::array<NoteSlotView*, kChordSlotCount> slots{};
    std::size_t count = 0;
    NoteSlotView** begin() { return slots.data(); }
    NoteSlotView** end() { return slots.data() + count; }
};

// The slots whose head (or, with `signs`, whose "#") is shown, in slot order.
SlotOrder Shown(std::array<NoteSlotView, kChordSlotCount>& slots, bool signs) {
    SlotOrder order;
    for (NoteSlotView& slot : slots) {
        if (signs ? slot.sharpShown : slot.headShown) {
            order.slots[order.count++] = &slot;
        }
    }
    return order;
}

// Two signs in one column keep the gap two sharps a seventh apart leave.
bool VerticallyApart(const SignBox& a, const SignBox& b) {
    constexpr double kGap = kSharpColumnClearance - kSharpSignHeight;
    return a.top >= b.top + b.height + kGap || b.top >= a.top + a.height + kGap;
}

// A sign stands clear of a ledger line that crosses its height as it stands clear of the heads.
bool ClearOfLedgerLines(const SignBox& sign, const std::vector<TwipsHLine>& lines) {
    return std::all_of(lines.begin(), lines.end(), [&](const TwipsHLine& line) {
        return !CrossesHeight(line, sign) || sign.left + sign.width + kSharpSignGap <= line.x1;
    });
}

// A line a head right of the column stands on, or needs between it and the staff, reaches as far
// past that head as the column's lines reach past the column; a line beyond that head stays short
// of it, so that it never reads as the head's own.
void WidenLedgerLines(std::vector<TwipsHLine>& lines,
                      const std::array<NoteSlotView, kChordSlotCount>& slots) {
    for (const NoteSlotView& slot : slots) {
        if (!slot.headShown || slot.headLeft == kChordColumnLeft) {
            continue;
        }
        for (TwipsHLine& line : lines) {
            const int headLine = slot.headTop + kStaffStep;
            const bool reaches =
                line.y > theory::kStaffBottomLineY ? line.y <= headLine : line.y >= headLine;
            if (reaches) {
                line.x2 = std::max(
                    line.x2, line.x1 + theory::kLedgerLength + slot.headLeft - kChordColumnLeft);
            }
        }
    }
}

// Label5 stands at its layout place unless something the chord draws across its band comes
// within its clearance; then it moves left until it is that clearance from the leftmost one.
TwipsRect PlaceChordLabel(const ChordView& view) {
    TwipsRect label = kChordLabel;
    double right = label.left + label.width;
    const auto keepClearOf = [&](double left, double top, double bottom) {
        if (top < label.top + label.height && bottom > label.top) {
            right = std::min(right, left - kChordLabelClearance);
        }
    };
    for (const NoteSlotView& slot : view.noteSlots) {
        if (slot.headShown) {
            keepClearOf(slot.headLeft, slot.headTop, slot.headTop + kCrotchetHeight);
        }
        if (slot.sharpShown) {
            keepClearOf(slot.sharpSign.left, slot.sharpSign.top,
                        slot.sharpSign.top + slot.sharpSign.height);
        }
    }
    for (const TwipsHLine& line : view.ledgerLines) {
        keepClearOf(line.x1, line.y, line.y + kTwipsPerPixel);  // a line is a pixel thick
    }
    label.left = std::min(label.left, static_cast<int>(std::floor(right)) - label.width);
    return label;
}

// In Names mode a spelling other than Sharps names the markers itself: the chord's keys as the
// chord writes them, the others by the spelling alone. With Sharps the identifier menu's
// captions stand.
void SetMarkerCaptions(ChordView& view, const ChordSelection& selection,
                       const theory::ChordVoicing& voicing,
                       const std::vector<theory::SpelledNote>& written) {
    const bool names =
        selection.mode == IdentifierMode::Names && selection.spelling != theory::Spelling::Sharps;
    if (selection.mode != IdentifierMode::Numbers && !names) {
        return;
    }
    for (int k = 0; k < kKeyCount; ++k) {
        view.markers[static_cast<std::size_t>(k)].caption =
            names ? theory::PitchClassName(k, selection.spelling == theory::Spelling::Flats
                                                  ? theory::Spelling::Flats
                                                  : theory::Spelling::Sharps)
                  : MarkerCaption(k, IdentifierMode::Numbers, selection.rootIndex);
    }
    for (std::size_t n = 0; names && n < voicing.size() && n < written.size(); ++n) {
        const int key = voicing[n].soundingKey;
        if (key >= 0 && key < kKeyCount) {
            view.markers[static_cast<std::size_t>(key)].caption = written[n].Name();
        }
    }
}

void NameMarkers(ChordView& view, const ChordSelection& selection,
                 const theory::ChordVoicing& voicing,
                 const std::vector<theory::SpelledNote>& written) {
    for (int k = 0; k < kKeyCount; ++k) {
        view.markers[static_cast<std::size_t>(k)].accessibleName =
            "Marker " + theory::SpellKey(k, selection.spelling).NameWithOctave();
    }
    for (std::size_t n = 0; selection.spelling == theory::Spelling::ByChord && n < voicing.size() &&
                            n < written.size();
         ++n) {
        const int key = voicing[n].soundingKey;
        if (key >= 0 && key < kKeyCount) {
            view.markers[static_cast<std::size_t>(key)].accessibleName =
                "Marker " + written[n].NameWithOctave();
        }
    }
}

// The notes by name from the lowest sounding key up, and the descriptions with their octaves.
void Describe(ChordView& view, const theory::ChordVoicing& voicing,
              const std::vector<theory::SpelledNote>& written, std::size_t count) {
    std::array<std::size_t, theory::kMaxChordNotes> byPitch{};
    for (std::size_t n = 0; n < count; ++n) {
        byPitch[n] = n;
    }
    std::stable_sort(byPitch.begin(), byPitch.begin() + static_cast<std::ptrdiff_t>(count),
                     [&](std::size_t a, std::size_t b) {
                         return voicing[a].soundingKey < voicing[b].soundingKey;
                     });
    std::string withOctaves;
    for (std::size_t n = 0; n < count; ++n) {
        const theory::SpelledNote& note = written[byPitch[n]];
        view.noteNames.append(n == 0 ? "" : ", ").append(note.Name());
        withOctaves.append(n == 0 ? "" : ", ").append(note.NameWithOctave());
    }
    const std::string_view notes =
        withOctaves.empty() ? std::string_view("none") : std::string_view(withOctaves);
    view.keyboardDescription.append("Chord ").append(view.name).append(", keys marked: ");
    view.keyboardDescription.append(notes).append(".");
    view.staffDescription.append("Chord ").append(view.name).append(": ").append(notes).append(".");
}

}  // namespace

void PlaceChordHeads(std::array<NoteSlotView, kChordSlotCount>& slots) {
    // From the lowest head up, each stands in the column unless a head there is less than a
    // staff space below it; then it goes right, where the same holds. Of two heads on one step
    // (a natural and its sharp) the sharp one stays nearer its sign.
    SlotOrder order = Shown(slots, false);
    std::stable_sort(order.begin(), order.end(), [](const NoteSlotView* a, const NoteSlotView* b) {
        return a->headTop != b->headTop ? a->headTop > b->headTop : a->sharpShown > b->sharpShown;
    });
    for (std::size_t i = 0; i < order.count; ++i) {
        NoteSlotView& slot = *order.slots[i];
        const auto crowded = [&](int left) {
            for (std::size_t j = 0; j < i; ++j) {
                if (order.slots[j]->headLeft == left &&
                    order.slots[j]->headTop - slot.headTop < kStaffSpace) {
                    return true;
                }
            }
            return false;
        };
        slot.headLeft = kChordColumnLeft;
        while (crowded(slot.headLeft)) {
            slot.headLeft += kDisplacedHeadLeft - kChordColumnLeft;
        }
    }
}

void PlaceChordSigns(std::array<NoteSlotView, kChordSlotCount>& slots,
                     const std::vector<TwipsHLine>& ledgerLines) {
    // Highest, lowest, second highest, second lowest, ...: each takes the column nearest the
    // heads where no sign stands within the clearance and no ledger line runs through it.
    SlotOrder byHeight = Shown(slots, true);
    std::stable_sort(
        byHeight.begin(), byHeight.end(),
        [](const NoteSlotView* a, const NoteSlotView* b) { return a->headTop < b->headTop; });
    std::array<NoteSlotView*, kChordSlotCount> order{};
    for (std::size_t i = 0; i < byHeight.count; ++i) {
        order[i] = byHeight.slots[i % 2 == 0 ? i / 2 : byHeight.count - 1 - i / 2];
    }
    std::array<int, kChordSlotCount> columnOf{};
    for (std::size_t i = 0; i < byHeight.count; ++i) {
        const auto taken = [&](int column) {
            const SignBox mine =
                SignFor(order[i]->sign, kChordColumnLeft, order[i]->headTop, column);
            if (!ClearOfLedgerLines(mine, ledgerLines)) {
                return true;
            }
            for (std::size_t j = 0; j < i; ++j) {
                if (columnOf[j] == column && !VerticallyApart(mine, order[j]->sharpSign)) {
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
        // Left of the column, and so of every head of the chord.
        order[i]->sharpSign = SignFor(order[i]->sign, kChordColumnLeft, order[i]->headTop, column);
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
    const std::string spelledRoot =
        selection.spelling == theory::Spelling::Sharps
            ? std::string(selection.rootText)
            : theory::NameRoot(selection.rootIndex, selection.chordTypeIndex, selection.spelling);
    view.name.append(spelledRoot).append(typeName).append(selection.inversionCaption);
    view.symbol = theory::ChordSymbol(selection.rootIndex, selection.chordTypeIndex,
                                      selection.inversion, selection.spelling);

    const theory::ChordVoicing voicing = theory::VoiceChord(
        intervals, selection.rootIndex, selection.inversion, selection.clefOffset);
    const std::vector<theory::SpelledNote> written = theory::SpellChord(
        selection.rootIndex, selection.chordTypeIndex, selection.inversion, selection.spelling);
    const std::size_t count = std::min({voicing.size(), written.size(), view.noteSlots.size()});
    SetMarkerCaptions(view, selection, voicing, written);
    NameMarkers(view, selection, voicing, written);
    for (std::size_t n = 0; n < count; ++n) {
        const theory::ChordNote& note = voicing[n];
        NoteSlotView& slot = view.noteSlots[n];
        slot.headShown = true;
        slot.headTop = theory::StaffTopForStep(written[n].Step(), selection.clefOffset);
        if (const std::optional<SignKind> sign = SignOf(written[n])) {
            ShowSign(slot, *sign, kChordColumnLeft);
        }
        if (note.soundingKey >= 0 && note.soundingKey < kKeyCount) {
            view.markers[static_cast<std::size_t>(note.soundingKey)].shown = true;
        }
        // Notes share their lines, so a height already lined for an earlier note needs no
        // second line.
        for (const theory::LedgerLine& line :
             theory::LedgerLinesFor(kChordColumnLeft, slot.headTop)) {
            const bool known = std::any_of(view.ledgerLines.begin(), view.ledgerLines.end(),
                                           [&](const TwipsHLine& l) { return l.y == line.y; });
            if (!known) {
                view.ledgerLines.push_back({line.x1, line.x2, line.y});
            }
        }
    }
    PlaceChordHeads(view.noteSlots);
    WidenLedgerLines(view.ledgerLines, view.noteSlots);
    PlaceChordSigns(view.noteSlots, view.ledgerLines);
    view.chordLabel = PlaceChordLabel(view);

    Describe(view, voicing, written, count);
    return view;
}

}  // namespace quorvane::views
