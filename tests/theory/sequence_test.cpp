// The smooth voicing of a progression: placements worked out by hand on the 36-key keyboard.
#include "theory/sequence.h"

#include <gtest/gtest.h>

namespace quorvane::theory {
namespace {

constexpr SequenceChord kC{0, 0, 0};
constexpr SequenceChord kAm{9, 1, 0};
constexpr SequenceChord kF{5, 0, 0};
constexpr SequenceChord kFFirst{5, 0, 1};

TEST(Sequence, SmoothVoicingMovesEachChordLeastFromTheOneBefore) {
    const struct {
        Sequence sequence;
        Voicing voicing;
        std::vector<PlacedChord> placed;
    } cases[] = {
        // As added, whatever the motion.
        {{kC, kFFirst, kAm}, Voicing::AsShown, {{0, 0}, {1, 0}, {0, 0}}},
        // C E G to C F A an octave down (second inversion): 0 + 1 + 2 semitones.
        {{kC, kF}, Voicing::Smooth, {{0, 0}, {2, -1}}},
        // C E G to C E A (first inversion an octave down): only G moves, by 2.
        {{kC, kAm}, Voicing::Smooth, {{0, 0}, {1, -1}}},
        // The first chord keeps its own inversion; a chord with no such type keeps its own and
        // the next follows the last chord that sounded.
        {{kFFirst, {0, 99, 2}, kFFirst}, Voicing::Smooth, {{1, 0}, {2, 0}, {1, 0}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaceSequence(c.sequence, c.voicing), c.placed);
    }
}

TEST(Sequence, MotionIsTheSumOfEachKeysDistanceToTheNearestKeyBefore) {
    EXPECT_EQ(MotionCost({0, 4, 7}, {0, 5, 9}), 3);
    EXPECT_EQ(MotionCost({}, {0, 5, 9}), 0);
    EXPECT_TRUE(PlacedKeys(kC, {0, 3}).empty());  // off the top of the keyboard
}

}  // namespace
}  // namespace quorvane::theory
