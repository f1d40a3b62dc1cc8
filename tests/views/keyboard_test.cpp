#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "theory/theory.h"
#include "views/Keyboard.h"
#include "views/Staff.h"

namespace quorvane::views {
namespace {

struct HitCase {
    float x;
    float y;
    int expected;
};

TEST(PitchClassAtPoint, EdgeCases) {
    const HitCase cases[] = {
        {300.0f, 1305.0f, 1},    // lowest point of the black key still counts
        {300.0f, 1306.0f, 0},    // below the black keys only white zones count
        {585.0f, 100.0f, 2},     // between the C# and D# zones
        {389.5f, 2000.0f, 2},    // rounds to 390 (halves to even): D
        {390.5f, 2000.0f, 2},    // rounds to 390 as well
        {389.4f, 2000.0f, 0},    // rounds to 389: C
        {0.5f, 2000.0f, 0},      // rounds to 0
        {3000.0f, 500.0f, 1},    // second octave, key 13
        {8000.0f, 2000.0f, 11},  // third octave B
        {240.0f, 0.0f, 1},       // black zone bounds are inclusive
        {540.0f, 1305.0f, 1},   {541.0f, 0.0f, 2},
        {239.0f, 0.0f, 0},      {2490.5f, 100.0f, 10},  // 2490: still A#
        {2491.5f, 100.0f, 11},                          // 2492: B
        {2729.0f, 0.0f, 11},    {2730.0f, 0.0f, 0},
        {1200.0f, -0.5f, 5},  // above the panel's top only white zones count
    };
    for (const HitCase& c : cases) {
        EXPECT_EQ(PitchClassAtPoint(c.x, c.y), c.expected) << "X " << c.x << " Y " << c.y;
    }
}

TEST(PitchClassAtPoint, RightMarginSelectsC) {
    // Right of the last key, up to the edge of the drawing area.
    for (int x = 8190; x < kKeyboardDrawingWidth; ++x) {
        EXPECT_EQ(PitchClassAtPoint(static_cast<float>(x), 2000.0f), 0) << x;
        EXPECT_EQ(PitchClassAtPoint(static_cast<float>(x), 100.0f), 0) << x;
    }
}

TEST(PitchClassAtPoint, EveryVisibleKeyAreaSelectsItsPitchClass) {
    // A press on the part of a key the user sees selects that key's pitch class.
    for (int k = 0; k < kKeyCount; ++k) {
        const TwipsRect block = KeyBlockRect(k);
        if (IsBlackKey(k)) {
            for (int x = block.left; x < block.left + block.width; x += 15) {
                EXPECT_EQ(PitchClassAtPoint(static_cast<float>(x), 600.0f), k % 12)
                    << k << " " << x;
            }
        } else {
            for (int x = block.left; x < block.left + block.width; x += 15) {
                EXPECT_EQ(PitchClassAtPoint(static_cast<float>(x), 2000.0f), k % 12)
                    << k << " " << x;
            }
        }
    }
}

TEST(PitchClassAtPoint, NonFiniteInputSelectsC) {
    EXPECT_EQ(PitchClassAtPoint(std::numeric_limits<float>::quiet_NaN(), 100.0f), 0);
    EXPECT_EQ(PitchClassAtPoint(std::numeric_limits<float>::infinity(), 100.0f), 0);
    EXPECT_EQ(PitchClassAtPoint(1e30f, 100.0f), 0);
}

TEST(KeyboardGeometry, KeysAndMarkers) {
    int white = 0;
    for (int k = 0; k < kKeyCount; ++k) {
        const TwipsRect block = KeyBlockRect(k);
        const TwipsRect marker = MarkerRect(k);
        if (IsBlackKey(k)) {
            // A black key starts 150 before the boundary of the white keys it sits between.
            EXPECT_EQ(block.left, kWhiteKeyWidth * white - 150) << k;
            EXPECT_EQ(block.height, kBlackKeyHeight);
        } else {
            EXPECT_EQ(block.left, kWhiteKeyWidth * white) << k;
            ++white;
        }
        // Every marker lies inside its key's visible part.
        EXPECT_GE(marker.left, block.left) << k;
        EXPECT_LE(marker.left + marker.width, block.left + block.width) << k;
        EXPECT_LE(marker.top + marker.height, block.top + block.height) << k;
        if (!IsBlackKey(k)) {
            EXPECT_GT(marker.top, kBlackKeyHeight) << k;
        }
    }
    EXPECT_EQ(white, 21);
    EXPECT_EQ(KeyLeft(35) + kWhiteKeyWidth, 8190);
    EXPECT_LE(8190, kKeyboardDrawingWidth);
    EXPECT_EQ(BlackKeyShapeRect(0).width, 300);
    EXPECT_EQ(BlackKeyShapeRect(14), (TwipsRect{KeyLeft(34), 0, 315, kBlackKeyHeight}));
    EXPECT_EQ(DividerLine(19), (TwipsVLine{7800, 0, 2280}));
}

TEST(KeyboardGeometry, TagsGiveTheKeysOwnColour) {
    for (int k = 0; k < kKeyCount; ++k) {
        EXPECT_EQ(KeyBlockTag(k), IsBlackKey(k) ? "&H00000000&" : "&H00FFFFFF&") << k;
        EXPECT_EQ(ColorFromTag(KeyBlockTag(k)), IsBlackKey(k) ? kBlack : kWhite) << k;
    }
    EXPECT_EQ(ColorFromTag("&H00FFFFFF"), kBlack);  // anything but the white literal is black
}

TEST(MarkerCaption, MarkersModeIsAlwaysEmpty) {
    for (int root = 0; root < 12; ++root) {
        for (int k = 0; k < kKeyCount; ++k) {
            EXPECT_EQ(MarkerCaption(k, IdentifierMode::Markers, root), "");
        }
    }
}

TEST(MarkerCaption, NamesAreSharpsRepeatingPerOctaveWhateverTheRoot) {
    const char* names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    for (int root = 0; root < 12; ++root) {
        for (int k = 0; k < kKeyCount; ++k) {
            EXPECT_EQ(MarkerCaption(k, IdentifierMode::Names, root), names[k % 12]) << k;
        }
    }
    EXPECT_EQ(MarkerCaption(31, IdentifierMode::Names, 0), "G");
    EXPECT_EQ(MarkerCaption(35, IdentifierMode::Names, 0), "B");
}

TEST(MarkerCaption, NumbersCountFromTheRootOverTwoOctaves) {
    const char* labels[] = {"R",  "2b", "2",   "3b", "3",   "4",  "5b",  "5",
                            "5+", "6",  "7",   "M7", "R",   "9b", "9",   "9#",
                            "10", "11", "11#", "12", "13b", "13", "13#", "14"};
    struct Case {
        int key;
        int root;
        const char* expected;
    };
    const Case cases[] = {{2, 2, "R"},   {0, 2, "13#"}, {1, 2, "14"},  {14, 2, "R"},
                          {25, 2, "14"}, {26, 2, "R"},  {35, 0, "M7"}, {0, 11, "9b"},
                          {35, 11, "R"}, {23, 0, "14"}, {24, 0, "R"}};
    for (const Case& c : cases) {
        EXPECT_EQ(MarkerCaption(c.key, IdentifierMode::Numbers, c.root), c.expected)
            << "key " << c.key << " root " << c.root;
    }
    // Every key above the root within two octaves reads its label; the pattern repeats every
    // 24 keys.
    for (int root = 0; root < 12; ++root) {
        for (int d = 0; d < 24 && root + d < kKeyCount; ++d) {
            EXPECT_EQ(MarkerCaption(root + d, IdentifierMode::Numbers, root), labels[d]);
        }
        for (int k = 0; k + 24 < kKeyCount; ++k) {
            EXPECT_EQ(MarkerCaption(k, IdentifierMode::Numbers, root),
                      MarkerCaption(k + 24, IdentifierMode::Numbers, root));
        }
    }
}

TEST(ClefView, TrebleAndBass) {
    const ClefView treble = ComputeClefView(kTrebleClefOffset);
    EXPECT_EQ(treble.caption, "o");
    EXPECT_EQ(treble.label, (TwipsRect{240, 4500, 375, 1005}));
    EXPECT_EQ(treble.referenceLineY, 5100);  // the G line
    const ClefView bass = ComputeClefView(kBassClefOffset);
    EXPECT_EQ(bass.caption, "p");
    EXPECT_EQ(bass.label, (TwipsRect{240, 4305, 375, 1005}));
    EXPECT_EQ(bass.referenceLineY, 4860);  // the F line
    for (const ClefView& clef : {treble, bass}) {
        const TwipsRect& g = clef.glyphBox;
        // The drawn sign stays inside its label and straddles the line it names.
        EXPECT_GE(g.left, clef.label.left);
        EXPECT_GE(g.top, clef.label.top);
        EXPECT_LE(g.left + g.width, clef.label.left + clef.label.width);
        EXPECT_LE(g.top + g.height, clef.label.top + clef.label.height);
        EXPECT_LT(g.top, clef.referenceLineY);
        EXPECT_GT(g.top + g.height, clef.referenceLineY);
    }
    // A treble clef reaches above the staff and below it; a bass clef spans about the staff.
    EXPECT_LT(treble.glyphBox.top, kStaffLineY[0]);
    EXPECT_GT(treble.glyphBox.top + treble.glyphBox.height, kStaffLineY[4]);
    EXPECT_NEAR(bass.glyphBox.top, kStaffLineY[0], 30);
    EXPECT_EQ(ComputeClefView(7).caption, "p");  // any offset but 0 is the bass clef
}

// A press picks the key under it in whichever octave; right of the last key there is none.
TEST(KeyAtPoint, KeysInEveryOctave) {
    const struct {
        float x, y;
        int key;
    } cases[] = {{100, 2000, 0}, {300, 500, 1}, {3000, 500, 13}, {8000, 2000, 35}, {8195, 100, -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(KeyAtPoint(c.x, c.y), c.key) << c.x;
    }
}

// MIDI notes are drawn on the keys that sound them at the octave shift; others are left out.
TEST(HeldView, NamesTheDrawnKeysWithTheirOctaves) {
    EXPECT_EQ(ComputeHeldView({}, 0).description, "Held: none.");
    const HeldView shifted = ComputeHeldView({47, 48, 52, 67, 83, 84}, -1);
    EXPECT_EQ(shifted.description, "Held: C4, E4, G5, B6.");
    EXPECT_TRUE(shifted.held[0] && shifted.held[19] && !shifted.held[12]);
    const std::array<OleColor, kKeyCount> shown = WithHeldKeys({}, ComputeHeldView({60, 61}, 0));
    EXPECT_EQ(shown[0], kHeldWhiteKeyColor);
    EXPECT_EQ(shown[1], kHeldBlackKeyColor);
    EXPECT_EQ(shown[2], OleColor{0});
}

}  // namespace
}  // namespace quorvane::views
