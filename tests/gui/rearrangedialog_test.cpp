#include "modal.h"
#include "rearrangedialog.h"
#include "windowtestplatform.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace tmbr::gui::test {
namespace {

const Playlist kPlaylist { { "a.mp3", "b.mp3", "c.mp3" }, { "Alpha", "Bravo", "Charlie" } };

QStringList rows(QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

class RearrangeDialogTest : public ::testing::Test {
protected:
    WindowTestPlatform fakes;
    RearrangeDialog dialog { kPlaylist, fakes.messageBox };

    QListWidget* files() { return dialog.findChild<QListWidget*>("lstMp3Files"); }
    QListWidget* names() { return dialog.findChild<QListWidget*>("lstTrackDisplay"); }
    QLineEdit* edit() { return dialog.findChild<QLineEdit*>("txtMp3FileName"); }
    void click(const char* name) { QTest::mouseClick(dialog.findChild<QPushButton*>(name), Qt::LeftButton); }
};

TEST_F(RearrangeDialogTest, OpensOnTheFirstTrackWithItsCaptionsAndToolTips)
{
    EXPECT_EQ(dialog.windowTitle(), "Re-Arrange Files");
    EXPECT_EQ(rows(files()), (QStringList { "a.mp3", "b.mp3", "c.mp3" }));
    EXPECT_EQ(rows(names()), (QStringList { "Alpha", "Bravo", "Charlie" }));
    EXPECT_EQ(files()->currentRow(), 0);
    EXPECT_EQ(names()->currentRow(), 0);
    EXPECT_EQ(edit()->text(), "Alpha");
    EXPECT_EQ(names()->toolTip(), " Names as they would appear on the playlist");
    EXPECT_EQ(edit()->toolTip(), " Edit the display name of the audio");
    const std::pair<const char*, const char*> captions[] = {
        { "cmdUp", "Move Track U&p" },
        { "cmdDown", "Move Track Do&wn" },
        { "cmdRemove", "&Remove Track" },
        { "cmdUpdate", "&Update" },
        { "cmdDone", "&Done" },
        { "cmdCancel", "&Cancel" },
    };
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(dialog.findChild<QPushButton*>(name)->text(), caption);
    EXPECT_EQ(dialog.findChild<QPushButton*>("cmdDone")->toolTip(), " Save and exit");
    EXPECT_EQ(dialog.findChild<QPushButton*>("cmdCancel")->toolTip(), " Do not save but exit");
    QStringList labels;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains("Actual mp3 file names in order of playlist:"));
    EXPECT_TRUE(labels.contains("Names of the tracks on playlist:"));
    EXPECT_TRUE(labels.contains("Edit selected track display name:"));
}

TEST_F(RearrangeDialogTest, ClickingEitherListSelectsTheSameTrackInBoth)
{
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(
        names()->viewport(), Qt::LeftButton, {}, names()->visualItemRect(names()->item(2)).center());
    EXPECT_EQ(files()->currentRow(), 2);
    EXPECT_EQ(edit()->text(), "Charlie");
    QTest::mouseClick(
        files()->viewport(), Qt::LeftButton, {}, files()->visualItemRect(files()->item(1)).center());
    EXPECT_EQ(names()->currentRow(), 1);
    EXPECT_EQ(edit()->text(), "Bravo");
    click("cmdDown");
    EXPECT_EQ(rows(files()), (QStringList { "a.mp3", "c.mp3", "b.mp3" }));
    EXPECT_EQ(names()->currentRow(), 2);
}

TEST_F(RearrangeDialogTest, RemoveAsksAndLeavesNothingSelected)
{
    dialog.show();
    auto seen = answerBox(QMessageBox::Yes);
    click("cmdRemove");
    EXPECT_EQ(seen->title, "Confirm");
    EXPECT_EQ(seen->text, "REMOVE THE SELECTED TRACK?");
    EXPECT_EQ(rows(names()), (QStringList { "Bravo", "Charlie" }));
    EXPECT_EQ(files()->currentRow(), -1);
    EXPECT_EQ(edit()->text(), "Alpha");
}

// The keyboard path: the list keeps the focus through the question, and gets it
// back when the box closes; refilling the lists must not let that select a row.
TEST_F(RearrangeDialogTest, RemoveByKeyboardLeavesNothingSelectedAndASecondRemoveTakesNothing)
{
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    names()->setFocus();
    QTest::keyClick(names(), Qt::Key_Down);
    ASSERT_EQ(files()->currentRow(), 1);
    ASSERT_EQ(edit()->text(), "Bravo");

    const auto removeByKeyboard = [this] {
        auto answered = std::make_shared<bool>(false);
        onModal<QMessageBox>([answered](QMessageBox* box) {
            QTest::keyClick(box, Qt::Key_Y);
            *answered = true;
        });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::AltModifier);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return *answered && QApplication::activeModalWidget() == &dialog; }));
        // A window manager gives the dialog back its activation; the offscreen platform does not.
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QCoreApplication::processEvents();
    };
    removeByKeyboard();
    EXPECT_EQ(QApplication::focusWidget(), names());
    EXPECT_EQ(rows(files()), (QStringList { "a.mp3", "c.mp3" }));
    EXPECT_EQ(files()->currentRow(), -1);
    EXPECT_EQ(names()->currentRow(), -1);
    EXPECT_TRUE(names()->selectedItems().isEmpty());
    EXPECT_EQ(edit()->text(), "Bravo");

    removeByKeyboard();
    EXPECT_EQ(rows(names()), (QStringList { "Alpha", "Charlie" }));
    EXPECT_EQ(names()->currentRow(), -1);
    QTest::keyClick(names(), Qt::Key_Down);
    EXPECT_EQ(files()->currentRow(), 0) << "the keyboard still chooses a track";
    EXPECT_EQ(edit()->text(), "Alpha");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }));
    EXPECT_EQ(dialog.result().files, (std::vector<std::string> { "a.mp3", "c.mp3" }));
}

TEST_F(RearrangeDialogTest, DoneAcceptsTheEditedPlaylistCancelAndCloseBoxReject)
{
    onModal<RearrangeDialog>([](RearrangeDialog* shown) {
        auto* edit = shown->findChild<QLineEdit*>("txtMp3FileName");
        edit->selectAll();
        QTest::keyClicks(edit, "First");
        QTest::mouseClick(shown->findChild<QPushButton*>("cmdUpdate"), Qt::LeftButton);
        QTest::mouseClick(shown->findChild<QPushButton*>("cmdDone"), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.result().displayNames, (std::vector<std::string> { "First", "Bravo", "Charlie" }));

    RearrangeDialog cancelled(kPlaylist, fakes.messageBox);
    onModal<RearrangeDialog>([](RearrangeDialog* shown) {
        QTest::mouseClick(shown->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    });
    EXPECT_EQ(cancelled.exec(), QDialog::Rejected);

    RearrangeDialog closed(kPlaylist, fakes.messageBox);
    onModal<RearrangeDialog>([](RearrangeDialog* shown) { shown->close(); });
    EXPECT_EQ(closed.exec(), QDialog::Rejected);
}

} // namespace
} // namespace tmbr::gui::test
