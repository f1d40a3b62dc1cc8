#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "theory/theory.h"
#include "views/ScaleView.h"

namespace quorvane::views {
namespace {

constexpr int kMajor = 0;
constexpr int kPentatonicMinor = 7;
constexpr int kChromatic = 23;

std::vector<int> Tops(const ScaleView& v) {
    std::vector<int> tops;
    for (const NoteSlotView& s : v.noteSlots) {
        if (s.headShown) {
            tops.push_back(s.headTop);
        }
    }
    return tops;
}

std::vector<int> LineYs(const NoteSlotView& slot) {
    std::vector<int> ys;
    for (const TwipsHLine& line : slot.ledgerLines) {
        if (!slot.sharpShown) {  // beside a sign the line is shortened (SignsSitOnTheirNotes)
            EXPECT_EQ(line.x1, slot.headLeft - 65);
        }
        EXPECT_EQ(line.x2, slot.headLeft + 215);
        ys.push_back(line.y);
    }
    return ys;
}

TEST(ScaleView, MajorOnCTreble) {
    const ScaleView v = ComputeScaleView(0, kMajor, 0);
    EXPECT_EQ(Tops(v), (std::vector<int>{5280, 5220, 5160, 5100, 5040, 4980, 4920, 4860}));
    const std::set<int> scaleKeys{0, 2, 4, 5, 7, 9, 11, 12};
    for (int k = 0; k < kKeyCount; ++k) {
        const OleColor normal = IsBlackKey(k) ? kBlack : kWhite;
        EXPECT_EQ(v.keyColors[static_cast<std::size_t>(k)],
                  scaleKeys.count(k) != 0 ? kScaleWhiteKeyColor : normal)
            << k;
    }
    EXPECT_EQ(kScaleWhiteKeyColor, 0x00FFC87Fu);  // red 127, green 200, blue 255
    for (const NoteSlotView& s : v.noteSlots) {
        EXPECT_FALSE(s.sharpShown);
    }
    EXPECT_EQ(v.noteSlots[0].ledgerLines,
              (std::vector<TwipsHLine>{{895, 1175, 5340}}));  // through the head of slot 0
    for (std::size_t n = 1; n < v.noteSlots.size(); ++n) {
        EXPECT_TRUE(v.noteSlots[n].ledgerLines.empty()) << n;
        EXPECT_EQ(v.noteSlots[n].headLeft, 960 + 360 * static_cast<int>(n));
    }
}

TEST(ScaleView, MajorOnCBass) {
    const ScaleView v = ComputeScaleView(0, kMajor, 120);
    EXPECT_EQ(Tops(v), (std::vector<int>{5400, 5340, 5280, 5220, 5160, 5100, 5040, 4980}));
    EXPECT_EQ(LineYs(v.noteSlots[0]), (std::vector<int>{5340, 5460}));
    EXPECT_EQ(LineYs(v.noteSlots[1]), (std::vector<int>{5340}));
    EXPECT_EQ(LineYs(v.noteSlots[2]), (std::vector<int>{5340}));
    EXPECT_TRUE(v.noteSlots[3].ledgerLines.empty());
}

TEST(ScaleView, ChromaticOnCBass) {
    const ScaleView v = ComputeScaleView(0, kChromatic, 120);
    EXPECT_EQ(Tops(v).size(), 13u);
    const std::set<int> sharpSlots{1, 3, 6, 8, 10};
    for (int n = 0; n < kScaleSlotCount; ++n) {
        EXPECT_EQ(v.noteSlots[static_cast<std::size_t>(n)].sharpShown, sharpSlots.count(n) != 0)
            << n;
    }
    EXPECT_EQ(v.noteSlots[1].sharpLeft, 1180);
    EXPECT_EQ(v.noteSlots[1].sharpTop, 5320);
    EXPECT_EQ(v.noteSlots[1].sharpCaption, "#");
    // Slots 0..4 each own their lines; none is shared with or taken from the chord display.
    EXPECT_EQ(LineYs(v.noteSlots[0]), (std::vector<int>{5340, 5460}));
    EXPECT_EQ(LineYs(v.noteSlots[1]), (std::vector<int>{5340, 5460}));
    EXPECT_EQ(LineYs(v.noteSlots[2]), (std::vector<int>{5340}));
    EXPECT_EQ(LineYs(v.noteSlots[3]), (std::vector<int>{5340}));
    EXPECT_EQ(LineYs(v.noteSlots[4]), (std::vector<int>{5340}));
    EXPECT_TRUE(v.noteSlots[5].ledgerLines.empty());
}

TEST(ScaleView, OctaveAboveTheStaffOnB) {
    // Key 23 (B) sits in the space above the first ledger line: the line hangs below it.
    const ScaleView v = ComputeScaleView(11, kMajor, 0);
    const NoteSlotView& last = v.noteSlots[7];
    EXPECT_EQ(last.headTop, 4500);
    EXPECT_EQ(LineYs(last), (std::vector<int>{4620}));
    // An A above the staff (key 21, top 4560) gets the line through its head.
    const ScaleView a = ComputeScaleView(9, kMajor, 0);
    EXPECT_EQ(a.noteSlots[7].headTop, 4560);
    EXPECT_EQ(LineYs(a.noteSlots[7]), (std::vector<int>{4620}));
}

TEST(ScaleView, PentatonicMinorColoursBlackAndWhiteKeys) {
    const ScaleView v = ComputeScaleView(0, kPentatonicMinor, 0);
    EXPECT_EQ(Tops(v).size(), 6u);
    for (int k : {3, 10}) {
        EXPECT_EQ(v.keyColors[static_cast<std::size_t>(k)], kScaleBlackKeyColor) << k;
    }
    EXPECT_EQ(kScaleBlackKeyColor, 0x00806440u);  // red 64, green 100, blue 128
    for (int k : {0, 5, 7, 12}) {
        EXPECT_EQ(v.keyColors[static_cast<std::size_t>(k)], kScaleWhiteKeyColor) << k;
    }
    EXPECT_EQ(v.keyColors[1], kBlack);
    EXPECT_EQ(v.keyColors[2], kWhite);
}

TEST(ScaleView, EverySelectionShowsExactlyItsScale) {
    for (int root = 0; root < 12; ++root) {
        for (int scale = 0; scale < static_cast<int>(theory::Scales.size()); ++scale) {
            for (int clef : {0, 120}) {
                SCOPED_TRACE(::testing::Message()
                             << "root " << root << " scale " << scale << " clef " << clef);
                const auto notes = theory::BuildScale(
                    root, theory::Scales[static_cast<std::size_t>(scale)].intervals, clef);
                ASSERT_FALSE(notes.empty());
                const ScaleView v = ComputeScaleView(root, scale, clef);
                std::set<int> keys;
                for (std::size_t n = 0; n < v.noteSlots.size(); ++n) {
                    const NoteSlotView& slot = v.noteSlots[n];
                    if (n >= notes.size()) {
                        EXPECT_FALSE(slot.headShown);
                        EXPECT_FALSE(slot.sharpShown);
                        EXPECT_TRUE(slot.ledgerLines.empty());
                        continue;
                    }
                    keys.insert(notes[n].key);
                    EXPECT_TRUE(slot.headShown);
                    EXPECT_EQ(slot.headTop, notes[n].staffTop);
                    EXPECT_EQ(slot.sharpShown, notes[n].name.size() == 2);
                    // Lines only outside the staff, nearest the staff first, 120 apart.
                    const auto ys = LineYs(slot);
                    for (std::size_t i = 0; i < ys.size(); ++i) {
                        EXPECT_TRUE(ys[i] >= 5340 || ys[i] <= 4620) << ys[i];
                        if (i > 0) {
                            EXPECT_EQ(std::abs(ys[i] - ys[i - 1]), 120);
                        }
                    }
                    const bool outside = slot.headTop >= 5280 || slot.headTop <= 4560;
                    EXPECT_EQ(!ys.empty(), outside);
                }
                for (int k = 0; k < kKeyCount; ++k) {
                    const OleColor c = v.keyColors[static_cast<std::size_t>(k)];
                    if (keys.count(k) != 0) {
                        EXPECT_EQ(c, IsBlackKey(k) ? kScaleBlackKeyColor : kScaleWhiteKeyColor);
                    } else {
                        EXPECT_EQ(c, IsBlackKey(k) ? kBlack : kWhite);
                    }
                }
            }
        }
    }
}

// Every scale sign, in every spelling, stands on its note's line or space (a flat by its bowl, 190
// below its top), between its head and the one before, and clear of their ledger lines.
TEST(ScaleView, SignsSitOnTheirNotes) {
    for (int root = 0; root < 12; ++root) {
        for (int scale = 0; scale < static_cast<int>(theory::Scales.size()); ++scale) {
            for (const int at : {0, 1, 2, 3, 4, 5}) {
                const int clef = at < 3 ? 0 : 120;
                const ScaleView v =
                    ComputeScaleView(root, scale, clef, static_cast<theory::Spelling>(at % 3));
                for (int n = 0; n < kScaleSlotCount; ++n) {
                    const NoteSlotView& slot = v.noteSlots[static_cast<std::size_t>(n)];
                    if (!slot.sharpShown) {
                        continue;
                    }
                    SCOPED_TRACE(::testing::Message() << "root " << root << " scale " << scale
                                                      << " clef " << at << " slot " << n);
                    const bool flat = slot.sign == SignKind::Flat;
                    EXPECT_DOUBLE_EQ(flat ? slot.sharpSign.top + 190 : slot.sharpSign.CentreY(),
                                     slot.headTop + kCrotchetHeight / 2.0);
                    EXPECT_LE(slot.sharpSign.left + slot.sharpSign.width, slot.headLeft - 15);
                    EXPECT_GE(slot.sharpSign.left, ScaleSlotLeft(n - 1) + kCrotchetWidth + 15);
                    // Clear of its own ledger lines and of those of the note before.
                    for (const int m : {n - 1, n}) {
                        for (const TwipsHLine& line : v.noteSlots[std::max(m, 0)].ledgerLines) {
                            const SignBox& b = slot.sharpSign;
                            EXPECT_TRUE(line.y + 15 <= b.top || line.y >= b.top + b.height ||
                                        b.left + b.width <= line.x1 - 15 || line.x2 + 15 <= b.left)
                                << "ledger line at " << line.y;
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace quorvane::views

namespace quorvane::views {
namespace {

// The row reads as one bar: Db then D needs a natural, and flats stand on their own letter.
TEST(ScaleView, SpelledRowsCarryTheirSignsAndNaturals) {
    const ScaleView chromatic = ComputeScaleView(0, 23, 0, theory::Spelling::Flats);
    std::string signs;
    for (const NoteSlotView& slot : chromatic.noteSlots) {
        signs += !slot.headShown ? "" : !slot.sharpShown ? "." : slot.sharpCaption;
    }
    EXPECT_EQ(signs, ".bnbn.bnbnbn.");
    EXPECT_EQ(chromatic.noteSlots[1].headTop, chromatic.noteSlots[2].headTop);  // Db on D
    const ScaleView bFlat = ComputeScaleView(10, 0, 0, theory::Spelling::Flats);
    EXPECT_EQ(bFlat.staffDescription, "Scale Bb Major: Bb4, C5, D5, Eb5, F5, G5, A5, Bb5.");
}

TEST(ScaleView, NamesTheNotesInSlotOrderForAssistiveTechnology) {
    const ScaleView v = ComputeScaleView(1, kPentatonicMinor, 120);
    EXPECT_EQ(v.title, "C#(Db) Pentatonic Minor");
    EXPECT_EQ(v.noteNames, "C#, E, F#, G#, B, C#");
    EXPECT_EQ(v.keyboardDescription,
              "Scale C#(Db) Pentatonic Minor, keys coloured: C#4, E4, F#4, G#4, B4, C#5.");
    EXPECT_EQ(v.staffDescription, "Scale C#(Db) Pentatonic Minor: C#4, E4, F#4, G#4, B4, C#5.");
    // A selection outside the catalogue shows and reads nothing, and never reads past a table.
    for (const auto& [root, scale] : {std::pair{12, 0}, std::pair{0, 36}, std::pair{-1, -1}}) {
        const ScaleView none = ComputeScaleView(root, scale, 0);
        EXPECT_TRUE(Tops(none).empty());
        EXPECT_EQ(none.staffDescription, "Scale : none.");
    }
}

}  // namespace
}  // namespace quorvane::views
