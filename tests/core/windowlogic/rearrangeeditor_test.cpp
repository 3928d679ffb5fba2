#include "fakeplatform.h"
#include "rearrangeeditor.h"

#include <gtest/gtest.h>

namespace tmbr::gui::test {
namespace {

Playlist threeTracks()
{
    return { { "a.mp3", "b.mp3", "c.mp3" }, { "Alpha", "Bravo", "Charlie" } };
}

TEST(RearrangeEditorOpen, FirstTrackIsSelectedWithItsDisplayNameInTheEditBox)
{
    const RearrangeEditor editor(threeTracks());
    EXPECT_EQ(editor.playlist(), threeTracks());
    EXPECT_EQ(editor.selected(), 0U);
    EXPECT_EQ(editor.editText(), "Alpha");

    const RearrangeEditor empty(Playlist {});
    EXPECT_FALSE(empty.selected());
    EXPECT_EQ(empty.editText(), "");
}

TEST(RearrangeEditorSelect, SelectingAnEntryShowsItsDisplayNameAndPastTheEndSelectsNothing)
{
    RearrangeEditor editor(threeTracks());
    editor.select(2);
    EXPECT_EQ(editor.selected(), 2U);
    EXPECT_EQ(editor.editText(), "Charlie");
    editor.select(3);
    EXPECT_FALSE(editor.selected());
    EXPECT_EQ(editor.editText(), "Charlie");
}

TEST(RearrangeEditorMove, MovesSwapBothListsAndTheTrackStaysSelected)
{
    RearrangeEditor editor(threeTracks());
    editor.select(1);
    editor.moveUp();
    EXPECT_EQ(
        editor.playlist(), (Playlist { { "b.mp3", "a.mp3", "c.mp3" }, { "Bravo", "Alpha", "Charlie" } }));
    EXPECT_EQ(editor.selected(), 0U);
    EXPECT_EQ(editor.editText(), "Bravo");
    editor.moveDown();
    EXPECT_EQ(editor.playlist(), threeTracks()) << "up then down restores the order";
    EXPECT_EQ(editor.selected(), 1U);
    editor.moveDown();
    EXPECT_EQ(
        editor.playlist(), (Playlist { { "a.mp3", "c.mp3", "b.mp3" }, { "Alpha", "Charlie", "Bravo" } }));
    EXPECT_EQ(editor.selected(), 2U);
    EXPECT_EQ(editor.editText(), "Bravo");
}

TEST(RearrangeEditorMove, UpOnFirstDownOnLastAndWithoutSelectionChangeNothing)
{
    RearrangeEditor editor(threeTracks());
    editor.moveUp();
    EXPECT_EQ(editor.playlist(), threeTracks());
    EXPECT_EQ(editor.selected(), 0U);
    editor.select(2);
    editor.moveDown();
    EXPECT_EQ(editor.playlist(), threeTracks());
    EXPECT_EQ(editor.selected(), 2U);
    editor.select(9);
    editor.moveUp();
    editor.moveDown();
    EXPECT_EQ(editor.playlist(), threeTracks());
}

TEST(RearrangeEditorRemove, YesRemovesTheTrackAndLeavesNothingSelected)
{
    FakeMessageBox box;
    RearrangeEditor editor(threeTracks());
    editor.select(1);
    box.answers = { Answer::Yes };
    editor.remove(box);
    ASSERT_EQ(box.shown,
        (std::vector<ShownBox> { { MessageIcon::Question, "Confirm", "REMOVE THE SELECTED TRACK?" } }));
    EXPECT_EQ(editor.playlist(), (Playlist { { "a.mp3", "c.mp3" }, { "Alpha", "Charlie" } }));
    EXPECT_FALSE(editor.selected());
    EXPECT_EQ(editor.editText(), "Bravo") << "the edit text keeps its text";

    box.answers = { Answer::Yes };
    editor.remove(box);
    EXPECT_EQ(editor.size(), 2U) << "a second removal without a selection removes nothing";
}

TEST(RearrangeEditorRemove, NoChangesNothing)
{
    FakeMessageBox box;
    RearrangeEditor editor(threeTracks());
    box.answers = { Answer::No };
    editor.remove(box);
    EXPECT_EQ(editor.playlist(), threeTracks());
    EXPECT_EQ(editor.selected(), 0U);
}

TEST(RearrangeEditorRemove, TracksCanBeRemovedDownToNone)
{
    FakeMessageBox box;
    RearrangeEditor editor({ { "a.mp3", "b.mp3" }, { "A", "B" } });
    for (int i = 0; i < 2; ++i) {
        editor.select(0);
        box.answers = { Answer::Yes };
        editor.remove(box);
    }
    EXPECT_EQ(editor.result(), Playlist {});
}

TEST(RearrangeEditorUpdate, SelectedDisplayNameTakesTheEditTextUnchanged)
{
    RearrangeEditor editor(threeTracks());
    editor.select(2);
    editor.setEditText("  Bravo ");
    editor.update();
    EXPECT_EQ(editor.playlist().displayNames, (std::vector<std::string> { "Alpha", "Bravo", "  Bravo " }));
    EXPECT_EQ(editor.playlist().files, threeTracks().files) << "the file name is never edited";

    editor.setEditText("");
    editor.update();
    EXPECT_EQ(editor.playlist().displayNames[2], "");

    editor.select(0);
    editor.setEditText("Bravo");
    editor.update();
    EXPECT_EQ(editor.playlist().displayNames, (std::vector<std::string> { "Bravo", "Bravo", "" }))
        << "a repeated name stays";
}

TEST(RearrangeEditorUpdate, WithoutSelectionNothingChanges)
{
    RearrangeEditor editor(threeTracks());
    editor.select(5);
    editor.setEditText("X");
    editor.update();
    EXPECT_EQ(editor.playlist(), threeTracks());
}

} // namespace
} // namespace tmbr::gui::test
