#include "framework/core/CUndoStack.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// A value that steps change, and the step that set it from one to another.
struct Counter {
    int value = 0;

    CUndoStack::Step Set(int to, const QString& label, qsizetype cost = 1) {
        const int from = value;
        value = to;
        return {label, [this, from] { value = from; }, [this, to] { value = to; }, cost};
    }
};

TEST(UndoStackTest, UndoAndRedoWalkTheStepsAndNameThem) {
    CUndoStack history;
    Counter counter;
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.Undo());
    EXPECT_TRUE(history.UndoLabel().isEmpty());

    history.Push(counter.Set(1, QStringLiteral("One")));
    history.Push(counter.Set(2, QStringLiteral("Two")));
    EXPECT_EQ(history.UndoLabel(), QStringLiteral("Two"));
    EXPECT_TRUE(history.RedoLabel().isEmpty());

    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(counter.value, 1);
    EXPECT_EQ(history.UndoLabel(), QStringLiteral("One"));
    EXPECT_EQ(history.RedoLabel(), QStringLiteral("Two"));
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(counter.value, 0);
    EXPECT_FALSE(history.Undo());

    ASSERT_TRUE(history.Redo());
    ASSERT_TRUE(history.Redo());
    EXPECT_EQ(counter.value, 2);
    EXPECT_FALSE(history.Redo());
}

TEST(UndoStackTest, APushDropsWhatWasUndone) {
    CUndoStack history;
    Counter counter;
    history.Push(counter.Set(1, QStringLiteral("One")));
    history.Push(counter.Set(2, QStringLiteral("Two")));
    history.Undo();
    history.Push(counter.Set(5, QStringLiteral("Five")));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.Count(), 2);
    history.Undo();
    EXPECT_EQ(counter.value, 1);
}

TEST(UndoStackTest, TheCleanPointFollowsSavesAndIsLostWithTheStepsPastIt) {
    CUndoStack history;
    Counter counter;
    EXPECT_TRUE(history.IsClean());
    history.Push(counter.Set(1, QStringLiteral("One")));
    EXPECT_FALSE(history.IsClean());
    history.Undo();
    EXPECT_TRUE(history.IsClean());
    history.Redo();
    history.SetClean(); // saved after One
    history.Push(counter.Set(2, QStringLiteral("Two")));
    history.Undo();
    EXPECT_TRUE(history.IsClean());
    history.Undo();
    EXPECT_FALSE(history.IsClean());

    // Saved after One, then One undone and another step taken: the saved
    // state can no longer be reached.
    history.Push(counter.Set(7, QStringLiteral("Seven")));
    history.Undo();
    EXPECT_FALSE(history.IsClean());

    history.SetNoCleanState();
    EXPECT_FALSE(history.IsClean());
    history.Clear();
    EXPECT_TRUE(history.IsClean());
    EXPECT_FALSE(history.CanUndo());
}

TEST(UndoStackTest, StepsThatKeepTheDocumentCleanAreCleanOnBothSides) {
    CUndoStack history;
    Counter counter;
    CUndoStack::Step names = counter.Set(1, QStringLiteral("Names"));
    names.bKeepsClean = true;
    history.Push(std::move(names));
    history.SetClean();
    ASSERT_TRUE(history.Undo());
    EXPECT_TRUE(history.IsClean()) << "before the names, the document is its file";

    // An edit beyond it is a change from either side, and saved there it
    // makes the far side of the names a change too.
    ASSERT_TRUE(history.Redo());
    history.Push(counter.Set(2, QStringLiteral("Edit")));
    EXPECT_FALSE(history.IsClean());
    history.SetClean();
    ASSERT_TRUE(history.Undo());
    EXPECT_FALSE(history.IsClean());
    ASSERT_TRUE(history.Undo());
    EXPECT_FALSE(history.IsClean());
    history.SetNoCleanState();
    ASSERT_TRUE(history.Redo());
    EXPECT_FALSE(history.IsClean());
}

TEST(UndoStackTest, TheOldestStepsGoWhenTheBudgetIsSpentButNeverTheNewest) {
    CUndoStack history(10);
    Counter counter;
    history.SetClean();
    history.Push(counter.Set(1, QStringLiteral("One"), 4));
    history.Push(counter.Set(2, QStringLiteral("Two"), 4));
    history.Push(counter.Set(3, QStringLiteral("Three"), 4));
    EXPECT_EQ(history.Count(), 2);
    history.Undo();
    history.Undo();
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(counter.value, 1);
    // The clean point lay on the step that went.
    EXPECT_FALSE(history.IsClean());

    history.Push(counter.Set(9, QStringLiteral("Huge"), 100));
    EXPECT_EQ(history.Count(), 1);
    EXPECT_EQ(history.UndoLabel(), QStringLiteral("Huge"));
}

} // namespace
