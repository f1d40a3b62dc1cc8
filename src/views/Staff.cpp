#include "views/Staff.h"

#include <cmath>

namespace quorvane::views {

namespace {

constexpr int kClefLeft = 240;
constexpr int kClefWidth = 375;
constexpr int kClefHeight = 1005;

// Proportions of engraved clefs in staff spaces, measured from the line they name: a treble
// clef reaches about 4.4 spaces above its G line and 2.6 below it, and is 2.7 wide; a bass clef
// about 1.05 above its F line and 2.55 below it, and is 2.75 wide.
constexpr double kTrebleAbove = 4.39;
constexpr double kTrebleBelow = 2.63;
constexpr double kTrebleWidth = 2.68;
constexpr double kBassAbove = 1.05;
constexpr double kBassBelow = 2.54;
constexpr double kBassWidth = 2.76;

int Twips(double spaces) {
    return static_cast<int>(std::lround(spaces * kStaffSpace));
}

}  // namespace

void ShowSign(NoteSlotView& slot, SignKind kind, int labelLeft) {
    const theory::AccidentalPosition at = theory::AccidentalPlacement(labelLeft, slot.headTop);
    slot.sharpShown = true;
    slot.sharpLeft = at.left;
    slot.sharpTop = at.top;
    slot.sign = kind;
    slot.sharpCaption = kind == SignKind::Sharp ? "#" : (kind == SignKind::Flat ? "b" : "n");
    slot.sharpSign = SignFor(kind, slot.headLeft, slot.headTop);
}

std::optional<SignKind> SignOf(const theory::SpelledNote& note) {
    if (note.alter == 0) {
        return std::nullopt;
    }
    return note.alter > 0 ? SignKind::Sharp : SignKind::Flat;
}

ClefView ComputeClefView(int clefOffset) {
    ClefView view;
    view.treble = clefOffset == kTrebleClefOffset;
    const int labelLeft = kClefLeft;
    if (view.treble) {
        view.caption = "o";
        view.description = "Treble clef";
        view.label = {labelLeft, 4500, kClefWidth, kClefHeight};
        view.referenceLineY = kStaffLineY[3];
        view.glyphBox = {labelLeft + 30, view.referenceLineY - Twips(kTrebleAbove),
                         Twips(kTrebleWidth), Twips(kTrebleAbove + kTrebleBelow)};
    } else {
        view.caption = "p";
        view.description = "Bass clef";
        view.label = {labelLeft, 4305, kClefWidth, kClefHeight};
        view.referenceLineY = kStaffLineY[1];
        view.glyphBox = {labelLeft + 30, view.referenceLineY - Twips(kBassAbove), Twips(kBassWidth),
                         Twips(kBassAbove + kBassBelow)};
    }
    return view;
}

}  // namespace quorvane::views
