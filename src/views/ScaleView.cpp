#include "views/ScaleView.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "theory/spelling.h"
#include "theory/theory.h"

namespace quorvane::views {

namespace {

// The row is one bar: a natural on a step an earlier note of the row altered carries a natural
// sign; every sharp and flat carries its own.
// The sign last written on each step of the row (scale notes lie on steps 0..27 above C4).
using StepSigns = std::array<int, 32>;

std::optional<SignKind> SignInBar(const theory::SpelledNote& note, StepSigns& altered) {
    const auto step = static_cast<std::size_t>(note.Step());
    if (step >= altered.size()) {
        return SignOf(note);
    }
    const bool cancels = note.alter == 0 && altered[step] != 0;
    altered[step] = note.alter;
    return cancels ? std::optional(SignKind::Natural) : SignOf(note);
}

// Colours the scale's keys and fills its slots, in string order; returns the notes with their
// octaves.
std::string ApplyNotes(ScaleView& view, const std::vector<theory::ScaleNote>& notes,
                       const std::vector<theory::SpelledNote>& written, int clefOffset) {
    StepSigns altered{};
    std::string withOctaves;
    for (std::size_t n = 0; n < notes.size() && n < written.size(); ++n) {
        const theory::ScaleNote& note = notes[n];
        view.noteNames.append(view.noteNames.empty() ? "" : ", ").append(written[n].Name());
        withOctaves.append(withOctaves.empty() ? "" : ", ").append(written[n].NameWithOctave());
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
        slot.headTop = theory::StaffTopForStep(written[n].Step(), clefOffset);
        if (const std::optional<SignKind> sign = SignInBar(written[n], altered)) {
            ShowSign(slot, *sign, slot.headLeft);
        }
        // Between two slots there is no room for a sign left of the note's ledger lines: a line
        // through the sign's height starts clear of it, as engravers shorten a ledger line
        // beside an accidental.
        const int clearOfSign =
            static_cast<int>(std::ceil(slot.sharpSign.left + slot.sharpSign.width)) + kSharpSignGap;
        for (const theory::LedgerLine& line : theory::LedgerLinesFor(slot.headLeft, slot.headTop)) {
            TwipsHLine drawn{line.x1, line.x2, line.y};
            if (slot.sharpShown && CrossesHeight(drawn, slot.sharpSign)) {
                drawn.x1 = std::max(drawn.x1, clearOfSign);
            }
            slot.ledgerLines.push_back(drawn);
        }
    }
    return withOctaves;
}

}  // namespace

ScaleView ComputeScaleView(int rootIndex, int scaleIndex, int clefOffset,
                           theory::Spelling spelling) {
    ScaleView view;
    for (int n = 0; n < kScaleSlotCount; ++n) {
        view.noteSlots[static_cast<std::size_t>(n)].headLeft = ScaleSlotLeft(n);
    }
    for (int k = 0; k < kKeyCount; ++k) {
        view.keyColors[static_cast<std::size_t>(k)] = ColorFromTag(KeyBlockTag(k));
    }
    const bool known = scaleIndex >= 0 && scaleIndex < static_cast<int>(theory::Scales.size()) &&
                       rootIndex >= 0 && rootIndex < static_cast<int>(theory::RootNames.size());
    std::string names;
    if (known) {
        const theory::Scale& scale = theory::Scales[static_cast<std::size_t>(scaleIndex)];
        view.title
            .append(spelling == theory::Spelling::Sharps
                        ? std::string(theory::RootNames[static_cast<std::size_t>(rootIndex)])
                        : theory::ScaleRootName(rootIndex, scaleIndex, spelling))
            .append(" ")
            .append(scale.name);
        names = ApplyNotes(view, theory::BuildScale(rootIndex, scale.intervals, clefOffset),
                           theory::SpellScale(rootIndex, scaleIndex, spelling), clefOffset);
    }
    if (names.empty()) {
        names = "none";
    }
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
