// The chord sequence's model: every change of the cells undone and redone, the modified flag
// against the saved state, and the limit of the row.
#include "progressions/SequenceModel.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvane::progressions {
namespace {

theory::SequenceCell Known(int root, int type) {
    return {{root, type, 0}, true, {}, {}};
}

const SequenceCells kStart{Known(0, 0), Known(9, 1), Known(5, 0)};

TEST(SequenceModel, EveryChangeOfTheCellsIsUndoneAndRedoneAndMarksTheSequenceModified) {
    const std::vector<std::function<void(SequenceModel&)>> changes{
        [](SequenceModel& m) {
            m.AddChord({7, 8, 0});
        },
        [](SequenceModel& m) {
            m.Insert({Known(2, 1), {{}, false, "C7alt", "altered"}});
        },
        [](SequenceModel& m) {
            m.AddPlayedChord({7, 8, 0});
        },
        [](SequenceModel& m) { m.RemoveSelected(); },
        [](SequenceModel& m) { m.Clear(); },
        [](SequenceModel& m) { m.MoveCell(0, 3); },
        [](SequenceModel& m) { m.Transpose(3); },
        [](SequenceModel& m) {
            m.TransposeTo({2, false});
        },
        [](SequenceModel& m) { m.Open({Known(4, 1)}, "other.cho"); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        SCOPED_TRACE(i);
        SequenceModel model;
        model.SetCapture(true);
        model.Open(kStart, "song.cho");
        model.Select(1);
        ASSERT_FALSE(model.Modified());
        changes[i](model);
        const SequenceCells changed = model.Cells();
        EXPECT_NE(changed, kStart);
        // An opened file stands saved; undoing the open leaves what it holds unsaved.
        const bool opened = i + 1 == changes.size();
        EXPECT_EQ(model.Modified(), !opened);
        model.Undo();
        EXPECT_EQ(model.Cells(), kStart);
        EXPECT_EQ(model.Modified(), opened);
        model.Redo();
        EXPECT_EQ(model.Cells(), changed);
        EXPECT_FALSE(model.CanRedo());
    }
}

TEST(SequenceModel, AChosenKeyMovesWithTheCellsAndSettingsCountAsChanges) {
    SequenceModel model;
    EXPECT_FALSE(model.NeedsSaving());  // empty and new: nothing to lose
    model.Insert(kStart);
    model.SetChosenKey(theory::Key{0, false});
    model.Transpose(-1);
    EXPECT_EQ(model.Key(), (theory::Key{11, false}));
    model.Undo();
    EXPECT_EQ(model.Key(), (theory::Key{0, false}));
    model.MarkSaved("song.cho");
    model.SetTempo(140);
    EXPECT_TRUE(model.NeedsSaving());
    model.Clear();
    model.MarkSaved("song.cho");
    EXPECT_FALSE(model.Modified());
    model.Undo();  // back past the save
    EXPECT_TRUE(model.Modified());
}

TEST(SequenceModel, NothingIsAddedPastTheLimit) {
    SequenceModel model;
    EXPECT_TRUE(model.Insert(SequenceCells(theory::kMaxSequenceChords - 1, Known(0, 0))));
    EXPECT_FALSE(model.Insert({Known(2, 1), Known(7, 0)}));
    EXPECT_EQ(model.Size(), static_cast<int>(theory::kMaxSequenceChords) - 1);
    model.SetCapture(true);
    model.AddPlayedChord({7, 0, 0});
    model.AddPlayedChord({9, 0, 0});
    EXPECT_EQ(model.Size(), static_cast<int>(theory::kMaxSequenceChords));
}

}  // namespace
}  // namespace quorvane::progressions
