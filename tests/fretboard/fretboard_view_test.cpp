// The fretboard's plain values: chord boxes, the neck, its presses and the strum's order.
#include <gtest/gtest.h>

#include <array>

#include "fretboard/FretboardView.h"

namespace quorvane::fretboard {
namespace {

using theory::FrettedShape;
using theory::kMuted;
using views::IdentifierMode;

// C Major as x32010 on a standard guitar.
FrettedShape OpenC() {
    return {{kMuted, 3, 2, 0, 1, 0}, {0, 3, 2, 0, 1, 0},  0, -1, -1,
            {48, 52, 55, 60, 64},    {-1, 0, 4, 7, 0, 4}, {}};
}

// A Major as the barre at the fifth fret, 577655.
FrettedShape BarreA() {
    return {{5, 7, 7, 6, 5, 5},       {1, 3, 4, 2, 1, 1}, 5, 0, 5,
            {45, 52, 57, 61, 64, 69}, {0, 7, 0, 4, 7, 0}, {}};
}

TEST(ChordBox, NutMarksAndMirroring) {
    const FretboardSelection c;
    const ChordBoxView right = ComputeChordBox(OpenC(), 0, 12, c, false);
    const ChordBoxView left = ComputeChordBox(OpenC(), 0, 12, c, true);
    EXPECT_TRUE(right.nut);
    EXPECT_FALSE(right.baseFret);
    // The lowest string on the left, or on the right for a left-handed player.
    EXPECT_LT(right.stringX.front(), right.stringX.back());
    EXPECT_EQ(left.stringX.front(), right.stringX.back());
    std::vector<std::pair<int, std::string>> marks;
    for (const BoxText& mark : left.marks) {
        marks.emplace_back(mark.at.x, mark.text);
    }
    const std::vector<std::pair<int, std::string>> expected{
        {left.stringX[0], "x"}, {left.stringX[3], "o"}, {left.stringX[5], "o"}};
    EXPECT_EQ(marks, expected);
    ASSERT_EQ(right.dots.size(), 3U);
    EXPECT_EQ(right.dots[0].kind, DotKind::Root);  // the C on the A string
    EXPECT_EQ(right.dots[0].label, "3");           // its finger
    EXPECT_EQ(right.dots[0].at.y - right.gridTop, 2 * kBoxFretSpacing + kBoxFretSpacing / 2);
}

TEST(ChordBox, BarreAwayFromTheNut) {
    FretboardSelection a;
    a.rootIndex = 9;
    const ChordBoxView markers = ComputeChordBox(BarreA(), 1, 3, a, false);
    EXPECT_FALSE(markers.nut);
    ASSERT_TRUE(markers.baseFret);
    EXPECT_EQ(markers.baseFret->text, "5fr");
    ASSERT_TRUE(markers.barre);
    EXPECT_EQ(markers.barre->x1, markers.stringX.front());
    EXPECT_EQ(markers.barre->x2, markers.stringX.back());
    EXPECT_EQ(markers.barre->label, "1");
    EXPECT_EQ(markers.barre->y, markers.gridTop + kBoxFretSpacing / 2);
    EXPECT_EQ(markers.dots.size(), 3U);  // the barre holds the others
    a.mode = IdentifierMode::Numbers;
    const ChordBoxView numbers = ComputeChordBox(BarreA(), 1, 3, a, false);
    EXPECT_EQ(numbers.barre->label, "");
    std::vector<std::string> labels;
    for (const Dot& dot : numbers.dots) {
        labels.push_back(dot.label);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"R", "5", "R", "3", "5", "R"}));
}

TEST(ChordBox, AccessibleTexts) {
    FrettedShape noFifth = OpenC();
    noFifth.frets = {kMuted, 3, 2, 0, 1, kMuted};
    noFifth.notes = {48, 52, 55, 60};
    noFifth.degrees = {-1, 0, 4, 7, 0, -1};
    noFifth.leftOut = {"5th"};
    const ChordBoxView c = ComputeChordBox(OpenC(), 0, 12, {}, false);
    EXPECT_EQ(c.accessibleName, "Shape 1 of 12: x32010");
    EXPECT_EQ(c.accessibleDescription, "C3, E3, G3, C4, E4");
    // The notes in the spelling chosen: Eb minor with flats has Gb, not F#.
    FrettedShape ebm{{kMuted, 6, 8, 8, 7, 6}, {},     0, -1, -1, {51, 58, 63, 66, 70},
                     {-1, 0, 7, 0, 3, 7},     {"9th"}};
    FretboardSelection selection{3, 1, 0, 0, theory::Spelling::Flats, IdentifierMode::Names};
    const ChordBoxView eb = ComputeChordBox(ebm, 4, 9, selection, false);
    EXPECT_EQ(eb.accessibleName, "Shape 5 of 9: x68876 (no 9th)");
    EXPECT_EQ(eb.accessibleDescription, "Eb3, Bb3, Eb4, Gb4, Bb4");
    EXPECT_EQ(eb.dots[3].label, "Gb");
}

TEST(Neck, PressesFretAndLiftAndFollowTheHand) {
    const Instrument guitar{"Guitar", {40, 45, 50, 55, 59, 64}, 0, false};
    Instrument lefty = guitar;
    lefty.leftHanded = true;
    Instrument capo = guitar;
    capo.capo = 2;
    for (const Instrument& instrument : {guitar, lefty, capo}) {
        const NeckView neck = ComputeNeck(instrument, {}, nullptr, std::vector<int>(6, kMuted));
        const auto middleOf = [&](int fret) {
            return (neck.fretX[fret - 1] + neck.fretX[fret]) / 2;
        };
        const int aString = neck.stringY[1];
        const auto third = NeckPlaceAt(neck, instrument, middleOf(3), aString + 40);
        ASSERT_TRUE(third);
        EXPECT_EQ(*third, (NeckPlace{1, 3}));
        const int beforeNut = neck.fretX[0] + (instrument.leftHanded ? 200 : -200);
        EXPECT_EQ(NeckPlaceAt(neck, instrument, beforeNut, aString)->fret, 0);
        // Under the capo the string sounds open, at the capo.
        EXPECT_EQ(NeckPlaceAt(neck, instrument, middleOf(1), aString)->fret,
                  instrument.capo > 0 ? 0 : 1);
        EXPECT_FALSE(NeckPlaceAt(neck, instrument, middleOf(3), neck.stringY[0] + 200));
    }
    std::vector<int> frets = PressNeck(std::vector<int>(6, kMuted), {1, 3});
    frets = PressNeck(frets, {2, 2});
    EXPECT_EQ(SoundingNotes(guitar, frets), (std::vector<int>{48, 52}));
    frets = PressNeck(frets, {1, 5});  // one note a string
    frets = PressNeck(frets, {2, 2});  // again: lifted
    EXPECT_EQ(frets, (std::vector<int>{kMuted, 5, kMuted, kMuted, kMuted, kMuted}));
    EXPECT_EQ(SoundingNotes(capo, NeckFretsFromShape({kMuted, 3, 2, 0, 1, 0}, 2)),
              (std::vector<int>{50, 54, 57, 62, 66}));
}

TEST(Neck, ChordScaleAndSelectedShape) {
    const Instrument guitar{"Guitar", {40, 45, 50, 55, 59, 64}, 0, false};
    const FrettedShape c = OpenC();
    const NeckView neck = ComputeNeck(guitar, {}, &c, {kMuted, 3, 2, 0, 1, 0});
    // On the low E string, frets 0..15: C at 8; E G at 0 3 12 15; F A B D F of the scale.
    std::array<int, 3> lowE{};
    int roots = 0, selected = 0;
    for (const Dot& dot : neck.dots) {
        lowE[static_cast<std::size_t>(dot.kind)] += dot.at.y == neck.stringY[0] ? 1 : 0;
        roots += dot.kind == DotKind::Root ? 1 : 0;
        selected += dot.selected ? 1 : 0;
    }
    EXPECT_EQ(lowE, (std::array<int, 3>{1, 4, 5}));
    EXPECT_EQ(roots, 8);
    EXPECT_EQ(selected, 5);
    EXPECT_EQ(neck.held.size(), 5U);
    EXPECT_EQ(neck.description, "Neck of Guitar, frets 0 to 15, fretted: C3, E3, G3, C4, E4");
}

TEST(Strum, StringOrderWhateverThePitch) {
    // A ukulele's G string is higher than its C and is struck first all the same.
    const midi::PlayPlan plan = PlanStrum(4, 25, 500);
    ASSERT_EQ(plan.onsets.size(), 4U);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(plan.onsets[i].note, i);
        EXPECT_EQ(plan.onsets[i].atMs, static_cast<int>(i) * 25);
    }
    EXPECT_EQ(plan.endMs, 500);
    EXPECT_EQ(PlanStrum(6, 200, 500).endMs, 1200);
}

}  // namespace
}  // namespace quorvane::fretboard
