#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string_view>
#include <vector>

#include "theory/theory.h"

namespace quorvane::theory {
namespace {

// Base tops (treble) per octave and pitch class, typed from the staff chart.
constexpr std::array<std::array<int, 12>, 4> kTopsByOctave{{
    {5280, 5280, 5220, 5220, 5160, 5100, 5100, 5040, 5040, 4980, 4980, 4920},
    {4860, 4860, 4800, 4800, 4740, 4680, 4680, 4620, 4620, 4560, 4560, 4500},
    {4440, 4440, 4380, 4380, 4320, 4260, 4260, 4200, 4200, 4140, 4140, 4080},
    {4020, 4020, 3960, 3960, 3900, 3840, 3840, 3780, 0, 0, 0, 0},
}};

TEST(NoteName, AllKeysOfTheNoteTable) {
    const std::array<std::string_view, 12> names{"C",  "C#", "D",  "D#", "E",  "F",
                                                 "F#", "G",  "G#", "A",  "A#", "B"};
    for (int k = 0; k < 44; ++k) {
        EXPECT_EQ(NoteName(k), names[static_cast<std::size_t>(k % 12)]) << "key " << k;
        EXPECT_EQ(IsSharpKey(k), NoteName(k).size() == 2) << "key " << k;
        if (k + 12 < 44) {
            EXPECT_EQ(NoteName(k), NoteName(k + 12));
        }
    }
    EXPECT_EQ(NoteName(43), "G");
    EXPECT_EQ(NoteName(1), "C#");
}

TEST(NoteName, OutsideTheTableIsEmpty) {
    for (int k : {-1, 44, 45, 100, INT_MIN, INT_MAX}) {
        EXPECT_EQ(NoteName(k), "") << "key " << k;
        EXPECT_FALSE(IsSharpKey(k)) << "key " << k;
    }
}

TEST(StaffTopForKey, AllKeysBothClefs) {
    for (int k = 0; k < 44; ++k) {
        const int base =
            kTopsByOctave[static_cast<std::size_t>(k / 12)][static_cast<std::size_t>(k % 12)];
        EXPECT_EQ(StaffTopForKey(k, kTrebleClefOffset), base) << "key " << k;
        EXPECT_EQ(StaffTopForKey(k, kBassClefOffset), base + 120) << "key " << k;
        EXPECT_EQ(StaffTopForKey(k, 0) % 60, 0);
    }
    EXPECT_EQ(StaffTopForKey(0, 0), 5280);
    EXPECT_EQ(StaffTopForKey(1, 0), 5280);
    EXPECT_EQ(StaffTopForKey(2, 0), 5220);
    EXPECT_EQ(StaffTopForKey(21, 0), 4560);
    EXPECT_EQ(StaffTopForKey(23, 0), 4500);
    EXPECT_EQ(StaffTopForKey(0, 120), 5400);
    EXPECT_EQ(StaffTopForKey(24, 120), 4560);  // C on the first ledger line above, bass clef
}

TEST(StaffTopForKey, KeysOutsideTheTableContinueTheWalkWithoutOverflow) {
    EXPECT_EQ(StaffTopForKey(44, 0), 3780);  // G# beside G
    EXPECT_EQ(StaffTopForKey(48, 0), 5280 - 60 * 28);
    EXPECT_EQ(StaffTopForKey(-1, 0), 5340);  // the B below key 0
    EXPECT_EQ(StaffTopForKey(-12, 0), 5280 + 420);
    EXPECT_EQ(StaffTopForKey(INT_MAX, INT_MIN), INT_MIN);
    EXPECT_EQ(StaffTopForKey(INT_MIN, INT_MAX), INT_MAX);
    EXPECT_EQ(StaffTopForKey(0, INT_MAX), INT_MAX);
}

TEST(AccidentalPlacement, LeftOfAndAboveTheHead) {
    const AccidentalPosition p = AccidentalPlacement(5880, 5280);
    EXPECT_EQ(p.left, 5740);
    EXPECT_EQ(p.top, 5200);
    const AccidentalPosition q = AccidentalPlacement(1320, 5400);
    EXPECT_EQ(q.left, 1180);
    EXPECT_EQ(q.top, 5320);
    const AccidentalPosition r = AccidentalPlacement(INT_MIN, INT_MIN);
    EXPECT_EQ(r.left, INT_MIN);
    EXPECT_EQ(r.top, INT_MIN);
}

std::vector<int> Ys(const std::vector<LedgerLine>& lines) {
    std::vector<int> ys;
    for (const LedgerLine& l : lines) {
        ys.push_back(l.y);
    }
    return ys;
}

TEST(LedgerLinesFor, EveryLineBetweenStaffAndHead) {
    struct Case {
        int top;
        std::vector<int> ys;
    };
    const Case cases[] = {
        {5280, {5340}},        // treble C: through the head
        {5340, {5340}},        // bass D: in the space, the line above it
        {5400, {5340, 5460}},  // bass C: two lines
        {5460, {5340, 5460}},  // a space below the second line
        {5520, {5340, 5460, 5580}},
        {5220, {}},  // inside the staff
        {4980, {}},
        {4740, {}},
        {4680, {}},            // top line F
        {4620, {}},            // G in the space above the staff
        {4560, {4620}},        // treble A: through the head
        {4500, {4620}},        // treble B: below the head, between it and the staff
        {4440, {4620, 4500}},  // treble C above: two lines
        {4380, {4620, 4500}},
        {4200, {4620, 4500, 4380, 4260}},
        {3780, {4620, 4500, 4380, 4260, 4140, 4020, 3900}},  // key 43, treble
    };
    for (const Case& c : cases) {
        const auto lines = LedgerLinesFor(5880, c.top);
        EXPECT_EQ(Ys(lines), c.ys) << "top " << c.top;
        for (const LedgerLine& l : lines) {
            EXPECT_EQ(l.x1, 5815);
            EXPECT_EQ(l.x2, 6095);
        }
    }
}

TEST(LedgerLinesFor, PropertiesForEveryKeyAndClef) {
    for (int clef : {kTrebleClefOffset, kBassClefOffset}) {
        for (int k = 0; k < 44; ++k) {
            const int top = StaffTopForKey(k, clef);
            const int left = 960 + 360 * (k % 21);
            const auto lines = LedgerLinesFor(left, top);
            const int headLine = top + 60;
            SCOPED_TRACE(testing::Message() << "key " << k << " clef " << clef);
            const bool inside = top > 4560 && top < 5280;
            ASSERT_EQ(lines.empty(), inside);
            if (lines.empty()) {
                continue;
            }
            const bool below = lines.front().y == 5340;
            EXPECT_TRUE(below || lines.front().y == 4620);
            for (std::size_t i = 0; i < lines.size(); ++i) {
                EXPECT_EQ(lines[i].x1, left - 65);
                EXPECT_EQ(lines[i].x2, left + 215);
                if (i > 0) {
                    EXPECT_EQ(lines[i].y - lines[i - 1].y, below ? 120 : -120);
                }
            }
            // The outermost line goes through the head or touches its staff side.
            const int gap = below ? headLine - lines.back().y : lines.back().y - headLine;
            EXPECT_TRUE(gap == 0 || gap == 60) << "gap " << gap;
            EXPECT_EQ(gap == 0, (top / 60) % 2 == 0);
        }
    }
}

TEST(LedgerLinesFor, FarAwayNotesAreBoundedAndNeverOverflow) {
    for (int top : {INT_MIN, INT_MIN + 1, -60, 0, 100000, INT_MAX - 1, INT_MAX}) {
        for (int left : {INT_MIN, 0, INT_MAX}) {
            const auto lines = LedgerLinesFor(left, top);
            EXPECT_FALSE(lines.empty());
            EXPECT_LE(lines.size(), static_cast<std::size_t>(kMaxLedgerLines));
            EXPECT_TRUE(lines.front().y == 5340 || lines.front().y == 4620);
            EXPECT_LE(lines.front().x1, lines.front().x2);
        }
    }
    // Off the 60-twip grid the lines still stand on the ledger positions.
    EXPECT_EQ(Ys(LedgerLinesFor(0, 4530)), (std::vector<int>{4620}));
    EXPECT_EQ(Ys(LedgerLinesFor(0, 5290)), (std::vector<int>{5340}));
}

}  // namespace
}  // namespace quorvane::theory
