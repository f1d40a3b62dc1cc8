#pragma once
// The staff of the main window: its lines, bar lines, the clef sign, the note heads and "#" signs
// of the scale slots and the chord column, and the ledger lines. Twips in the window's client
// area. Plain values, no widgets.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "theory/spelling.h"
#include "theory/theory.h"
#include "views/Keyboard.h"
#include "views/Twips.h"

namespace quorvane::views {

// The staff step and the clef offsets are the theory's: the staff placement is computed there.
using theory::kBassClefOffset;
using theory::kStaffStep;
using theory::kTrebleClefOffset;

struct TwipsHLine {
    int x1 = 0;
    int x2 = 0;
    int y = 0;
    friend constexpr bool operator==(const TwipsHLine&, const TwipsHLine&) = default;
};

inline constexpr int kStaffSpace = 2 * kStaffStep;  // line to line

// Line1(0..4): the five staff lines, top to bottom.
inline constexpr std::array<int, 5> kStaffLineY{
    theory::kStaffTopLineY, theory::kStaffTopLineY + kStaffSpace,
    theory::kStaffTopLineY + 2 * kStaffSpace, theory::kStaffTopLineY + 3 * kStaffSpace,
    theory::kStaffBottomLineY};
static_assert(kStaffLineY[3] + kStaffSpace == theory::kStaffBottomLineY);
inline constexpr int kStaffLeft = 120;
inline constexpr int kStaffRight = 8280;
// Line2(1) and Line2(2): the bar lines at the right and left end of the staff.
inline constexpr std::array<TwipsVLine, 2> kBarLines{
    {{kStaffRight, theory::kStaffTopLineY, theory::kStaffBottomLineY},
     {kStaffLeft, theory::kStaffTopLineY, theory::kStaffBottomLineY}}};

// A crotchet: a filled oval.
inline constexpr int kCrotchetWidth = 165;
inline constexpr int kCrotchetHeight = 135;

// A "#" label: 135 x 300 (the second scale slot's is 195 high).
inline constexpr int kAccidentalWidth = 135;
inline constexpr int kAccidentalHeight = 300;

// The "#" sign as an engraver sets it, whatever its label box: two and a half staff spaces tall
// and a little under one wide, centred on its note's line or space (the head's vertical centre),
// just left of the heads. The chord's signs stand in columns left of its heads: the highest sign
// nearest the heads, then the lowest, the second highest, the second lowest and so on, each in
// the nearest column where it does not touch the signs already there. Signs that tall touch
// unless their centres are at least a seventh apart.
inline constexpr int kSharpSignHeight = 300;
inline constexpr int kSharpSignWidth = 95;
inline constexpr int kSharpSignGap = 20;           // from the head
inline constexpr int kSharpColumnGap = 10;         // between two columns of signs
inline constexpr int kSharpColumnClearance = 360;  // signs this far apart share a column

// Where a sign's ink goes, in twips (the centre falls on half twips).
struct SignBox {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    constexpr double CentreX() const { return left + width / 2; }
    constexpr double CentreY() const { return top + height / 2; }
    friend constexpr bool operator==(const SignBox&, const SignBox&) = default;
};

// The sign of the note whose head is at (headLeft, headTop), in sign column `column` (0 nearest
// the head).
constexpr SignBox SharpSignFor(int headLeft, int headTop, int column = 0) {
    const double right = headLeft - kSharpSignGap - column * (kSharpSignWidth + kSharpColumnGap);
    const double centreY = headTop + kCrotchetHeight / 2.0;
    return {right - kSharpSignWidth, centreY - kSharpSignHeight / 2.0, kSharpSignWidth,
            kSharpSignHeight};
}

// Whether a ledger line, a pixel thick below its Y, passes through the height of a sign: the sign
// then stands clear of it as of the heads.
constexpr bool CrossesHeight(const TwipsHLine& line, const SignBox& sign) {
    return line.y + kTwipsPerPixel > sign.top && line.y < sign.top + sign.height;
}

// The flat and the natural in the same engraved proportions as the sharp. A flat's bowl, not its
// middle, stands on the note's line or space: its stem rises well above the note and the bowl
// reaches a little below it. A natural is centred like the sharp. Both are narrower than the
// sharp and stand at the right of its column.
enum class SignKind { Sharp, Flat, Natural };
inline constexpr int kFlatSignHeight = 265;
inline constexpr int kFlatSignWidth = 85;
inline constexpr int kFlatBowlCentreFromTop = 190;
inline constexpr int kNaturalSignHeight = 260;
inline constexpr int kNaturalSignWidth = 80;

// The sign of `kind` for the note whose head is at (headLeft, headTop), in sign column `column`.
constexpr SignBox SignFor(SignKind kind, int headLeft, int headTop, int column = 0) {
    const SignBox sharp = SharpSignFor(headLeft, headTop, column);
    const double right = sharp.left + sharp.width;
    const double centreY = sharp.CentreY();
    switch (kind) {
        case SignKind::Flat:
            return {right - kFlatSignWidth, centreY - kFlatBowlCentreFromTop, kFlatSignWidth,
                    kFlatSignHeight};
        case SignKind::Natural:
            return {right - kNaturalSignWidth, centreY - kNaturalSignHeight / 2.0,
                    kNaturalSignWidth, kNaturalSignHeight};
        case SignKind::Sharp:
            break;
    }
    return sharp;
}

// A note slot of the staff: the note head, its sign and, for a scale slot, its ledger lines.
struct NoteSlotView {
    bool headShown = false;
    int headLeft = 0;
    int headTop = 0;
    bool sharpShown = false;
    int sharpLeft = 0;
    int sharpTop = 0;
    std::string sharpCaption;
    SignBox sharpSign;  // where the sign is drawn (the label box above is only its place)
    SignKind sign = SignKind::Sharp;
    // A scale slot's ledger lines: every line between the staff and its head. The chord's notes
    // share their lines, which the chord view holds as a whole.
    std::vector<TwipsHLine> ledgerLines;
    friend bool operator==(const NoteSlotView&, const NoteSlotView&) = default;
};

// Shows a sign of `kind` before the slot's head: its label box at the place the layout gives a
// "#" label of a head at `labelLeft`, its ink at SignFor(kind, headLeft, headTop).
void ShowSign(NoteSlotView& slot, SignKind kind, int labelLeft);

// The sign a written note carries on its own (none for a natural).
std::optional<SignKind> SignOf(const theory::SpelledNote& note);

inline constexpr int kScaleSlotCount = theory::kMaxScaleNotes;
inline constexpr int kChordSlotCount = theory::kMaxChordNotes;
inline constexpr int kChordColumnLeft = 5880;
// A chord has no stem, so of two heads a second apart the upper is written right of the column
// (and a third head on the same step further right), far enough that the ovals stand apart.
inline constexpr int kSecondHeadGap = 15;
inline constexpr int kDisplacedHeadLeft = kChordColumnLeft + kCrotchetWidth + kSecondHeadGap;

// Label4 "Scale:" and Label5 "Chord:", which head the scale area and the chord column. The chord
// display moves "Chord:" left of the chord's signs when they reach it, this far clear of them.
inline constexpr TwipsRect kScaleLabel{600, 4440, 555, 195};
inline constexpr TwipsRect kChordLabel{5160, 4440, 570, 195};
inline constexpr int kChordLabelClearance = 30;

constexpr int ScaleSlotLeft(int slot) {
    return 960 + 360 * slot;
}

constexpr int AccidentalHeight(bool scaleDisplay, int slot) {
    return scaleDisplay && slot == 1 ? 195 : kAccidentalHeight;
}

// lblClef: the clef label, in the music font at 48 pt when that font is installed.
struct ClefView {
    std::string caption;  // "o" treble, "p" bass (the music font's glyphs)
    TwipsRect label;      // the label's rectangle
    // Where the ink of a drawn clef sign goes when the music font is missing: the treble clef's
    // curl wraps the G line (4th line from the top), the bass clef's dots sit either side of the
    // F line (2nd line from the top).
    TwipsRect glyphBox;
    int referenceLineY = 0;  // the G line (treble) or the F line (bass)
    bool treble = true;
    std::string description;  // "Treble clef" or "Bass clef", for assistive technology
    friend bool operator==(const ClefView&, const ClefView&) = default;
};

// The clef for a clef offset: 0 is the treble clef, any other value the bass clef.
ClefView ComputeClefView(int clefOffset);

}  // namespace quorvane::views
