#include "codewindow.h"
#include "mainwindow.h"
#include "modal.h"
#include "optimizerwindow.h"
#include "previewwidget.h"
#include "rearrangedialog.h"
#include "recorderwindow.h"
#include "tempappfolder.h"
#include "windowtestplatform.h"

#include <QAction>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace tmbr::gui::test {
namespace {

template <typename T> T* child(QObject& parent, const char* name)
{
    T* found = parent.findChild<T*>(name);
    if (!found)
        ADD_FAILURE() << "no " << name;
    return found;
}

void clickRow(QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> items = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << text.toStdString();
    list->scrollToItem(items.front());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.front()).center());
}

class MainWindowTest : public ::testing::Test {
protected:
    TempAppFolder app { { "tmbr_type04_chameleon.swf", "tmbr_type07_classic.swf" },
        { "jbx_300200_chameleon.swf", "jbx_250180_classic.swf" } };
    WindowTestPlatform fakes;
    FakeInstanceLock lock;
    MainWindow window { app.folders(), fakes.platform };

    void SetUp() override
    {
        window.setSplashInterval(20);
        fakes.cursor.setWindow(&window);
        ASSERT_EQ(window.startUp(lock), StartUpResult::Ready);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    void TearDown() override
    {
        // The fixture's window goes without the exit confirmation.
        window.hide();
    }

    std::string makeMp3s(const std::string& folderName, std::initializer_list<const char*> names)
    {
        const std::string folder = app.folder(folderName);
        for (const char* name : names)
            writeFile(folder + name, std::string("ID3 fake mp3 ") + name);
        return folder;
    }

    void click(const char* buttonName)
    {
        QTest::mouseClick(child<QPushButton>(window, buttonName), Qt::LeftButton);
    }
    QString text(const char* labelName) { return child<QLabel>(window, labelName)->text(); }
};

TEST_F(MainWindowTest, StartsWithTitleTabsListsAndStartValues)
{
    EXPECT_EQ(window.windowTitle(),
        "Tambrel Streaming Audio Ver 7. Do not hesitate to contact support from Help "
        "menu in case of any query.");
    auto* tabs = child<QTabWidget>(window, "ssTabAudio");
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "Single Button Control");
    EXPECT_EQ(tabs->tabText(1), "Multitrack JukeBox");
    EXPECT_EQ(child<QListWidget>(window, "lstSingle")->currentItem()->text(), "tmbr_type07_classic");
    EXPECT_EQ(child<QListWidget>(window, "lstMulti")->currentItem()->text(), "jbx_250180_classic");
    EXPECT_TRUE(child<QCheckBox>(window, "chkMultiAutoProgress")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(window, "chkSingleLoop")->isChecked());
    EXPECT_EQ(text("lblPlayerColorSingle"), "0xFFCC00");
    EXPECT_EQ(text("lblPlayerColorMulti"), "0xFFCC00");
    EXPECT_EQ(child<QLineEdit>(window, "txtAudioLevel")->text(), "50");
    EXPECT_EQ(
        child<QFrame>(window, "shpPlayerColorMulti")->palette().color(QPalette::Window), QColor(255, 204, 0));
    EXPECT_FALSE(child<QPushButton>(window, "cmdPlayerColorSingle")->isVisible());
}

TEST_F(MainWindowTest, MenusCarryTheirCaptionsAccessKeysAndShortcuts)
{
    QStringList menus;
    for (QAction* action : window.menuBar()->actions())
        menus << action->text();
    EXPECT_EQ(menus, (QStringList { "&Code Type", "Audio &Tools", "&Help" }));

    const struct {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
    } entries[] = {
        { "mnuSelect0", "&Javascript Method 1 (Recommended)", {} },
        { "mnuSelect1", "&Javascript Method 2", {} },
        { "mnuSelect2", "&Flash Embed Code", {} },
        { "mnuAudioRecorder", "Quick &Audio Recorder", QKeySequence(Qt::Key_F3) },
        { "mnuMp3Optimizer", "&Mp3 Optimizer", QKeySequence(Qt::Key_F4) },
        { "mnuInstructions", "&Instructions", QKeySequence(Qt::Key_F1) },
        { "mnuSupport", "&Online Support", QKeySequence(Qt::Key_F2) },
        { "mnuAbout", "&About...", {} },
        { "mnuExit", "E&xit", {} },
    };
    for (const auto& entry : entries) {
        auto* action = child<QAction>(window, entry.name);
        ASSERT_TRUE(action);
        EXPECT_EQ(action->text(), entry.caption);
        EXPECT_EQ(action->shortcut(), entry.shortcut) << entry.name;
    }
    EXPECT_TRUE(child<QAction>(window, "mnuSelect0")->isChecked());
    child<QAction>(window, "mnuSelect2")->trigger();
    EXPECT_FALSE(child<QAction>(window, "mnuSelect0")->isChecked());
    EXPECT_TRUE(child<QAction>(window, "mnuSelect2")->isChecked());
    EXPECT_EQ(window.logic().settings().codeType, codegen::CodeType::FlashEmbedCode);
    child<QAction>(window, "mnuSelect2")->trigger();
    EXPECT_TRUE(child<QAction>(window, "mnuSelect2")->isChecked()) << "clicking the checked entry keeps it";
}

TEST_F(MainWindowTest, F1OpensTheHelpPageAndF3F4OpenTheAudioToolsModally)
{
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_EQ(fakes.shell.opened, (std::vector<std::string> { app.app() + "tmbr_sa.html" }));

    QString recorderTitle;
    onModal<RecorderWindow>([&](RecorderWindow* recorder) {
        recorderTitle = recorder->windowTitle();
        recorder->close();
    });
    QTest::keyClick(&window, Qt::Key_F3);
    EXPECT_EQ(recorderTitle, "Quick Audio Recorder");

    QString optimizerTitle;
    onModal<OptimizerWindow>([&](OptimizerWindow* optimizer) {
        optimizerTitle = optimizer->windowTitle();
        optimizer->close();
    });
    child<QAction>(window, "mnuMp3Optimizer")->trigger();
    EXPECT_EQ(optimizerTitle, "Mp3 Optimizer");
}

TEST_F(MainWindowTest, GenerateSingleButtonAsAUserWould)
{
    const std::string mp3s = makeMp3s("music", { "song.mp3" });
    const std::string out = app.folder("site");
    clickRow(child<QListWidget>(window, "lstSingle"), "tmbr_type04_chameleon");
    EXPECT_TRUE(child<QPushButton>(window, "cmdPlayerColorSingle")->isVisible());
    auto* preview = child<PreviewWidget>(window, "swfDisplay");
    EXPECT_EQ(preview->playerName(), "tmbr_type04_chameleon");
    EXPECT_EQ(preview->playerSize(), QSize(75, 25));
    EXPECT_EQ(preview->playerColour(), QColor(255, 204, 0));

    fakes.fileDialogs.results.push_back({ mp3s + "song.mp3" });
    click("cmdSingleLocate");
    EXPECT_EQ(text("lblMp3Name"), "song.mp3");
    EXPECT_EQ(child<QLabel>(window, "lblMp3Path")->toolTip().toStdString(),
        " Selected Mp3 file - " + mp3s + "song.mp3 ");
    QTest::keyClicks(child<QLineEdit>(window, "txtServerPathSingle"), "/audio");
    fakes.folderBrowser.results = { out };
    click("cmdSingleOutput");
    EXPECT_EQ(text("lblSingleOutDir").toStdString(), out);
    EXPECT_EQ(child<QLabel>(window, "lblSingleOutDir")->toolTip().toStdString(), " " + out + " ");
    QTest::mouseClick(child<QCheckBox>(window, "chkSingleLoop"), Qt::LeftButton);

    QString shownCode;
    onModal<CodeWindow>([&](CodeWindow* code) {
        EXPECT_EQ(code->windowTitle(), "Output HTML Code and Instructions");
        EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor) << "busy over the main window meanwhile";
        EXPECT_EQ(code->cursor().shape(), Qt::ArrowCursor);
        shownCode = child<QPlainTextEdit>(*code, "txtGrabCode")->toPlainText();
        EXPECT_TRUE(
            child<QPlainTextEdit>(*code, "txtInst")->toPlainText().contains("onlinetest-single-button.html"));
        QTest::mouseClick(child<QPushButton>(*code, "cmdClose"), Qt::LeftButton);
    });
    click("cmdSingleGenerate");
    EXPECT_TRUE(shownCode.contains("src=\"/audio/swfobject.js\"")) << shownCode.toStdString();
    EXPECT_EQ(child<QLineEdit>(window, "txtServerPathSingle")->text(), "/audio/");
    EXPECT_EQ(child<QLineEdit>(window, "txtServerPathSingle")->toolTip(), " /audio/ ");
    EXPECT_TRUE(exists(out + "onlinetest-single-button.html"));
    EXPECT_TRUE(exists(out + "song.mp3"));
    EXPECT_TRUE(exists(app.scratch() + "do-not-upload.html"));
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor) << "the default pointer is back";
    for (const auto& entry : std::filesystem::directory_iterator(out)) {
        if (entry.path().extension() == ".js" && entry.path().filename() != "swfobject.js") {
            EXPECT_NE(readFile(entry.path()).find("addVariable(\"l\", \"Yes\" )"), std::string::npos);
        }
    }
}

TEST_F(MainWindowTest, GenerateMultitrackJukeboxAsAUserWould)
{
    const std::string mp3s = makeMp3s("music", { "one.mp3", "two.mp3", "three.mp3" });
    const std::string out = app.folder("site");
    child<QTabWidget>(window, "ssTabAudio")->setCurrentIndex(1);
    clickRow(child<QListWidget>(window, "lstMulti"), "jbx_300200_chameleon");
    EXPECT_EQ(child<PreviewWidget>(window, "swfDisplay")->playerSize(), QSize(300, 200));
    EXPECT_TRUE(child<QPushButton>(window, "cmdPlayerColorMulti")->isVisible());

    fakes.fileDialogs.results.push_back({ mp3s + "one.mp3", mp3s + "two.mp3", mp3s + "three.mp3" });
    click("cmdMultiLocate");
    ASSERT_EQ(child<QListWidget>(window, "lstMp3Files")->count(), 3);
    QTest::keyClicks(child<QLineEdit>(window, "txtServerPathMultiPlayer"), "/jukebox");
    EXPECT_EQ(child<QLineEdit>(window, "txtServerPathMultiMp3")->text(), "/jukebox");
    fakes.folderBrowser.results = { out };
    click("cmdMultiOutput");

    onModal<RearrangeDialog>([&](RearrangeDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Re-Arrange Files");
        clickRow(child<QListWidget>(*dialog, "lstTrackDisplay"), "three");
        QTest::mouseClick(child<QPushButton>(*dialog, "cmdUp"), Qt::LeftButton);
        auto* edit = child<QLineEdit>(*dialog, "txtMp3FileName");
        EXPECT_EQ(edit->text(), "three");
        edit->selectAll();
        QTest::keyClicks(edit, "Track Three");
        QTest::mouseClick(child<QPushButton>(*dialog, "cmdUpdate"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(*dialog, "cmdDone"), Qt::LeftButton);
    });
    click("cmdReArrange");
    auto* files = child<QListWidget>(window, "lstMp3Files");
    EXPECT_EQ(files->item(1)->text(), "three.mp3");
    EXPECT_EQ(child<QListWidget>(window, "lstMp3FileDisplayNames")->item(1)->text(), "Track Three");

    QString shownCode;
    onModal<CodeWindow>([&](CodeWindow* code) {
        shownCode = child<QPlainTextEdit>(*code, "txtGrabCode")->toPlainText();
        code->close();
    });
    click("cmdMultiGenerate");
    EXPECT_TRUE(shownCode.contains("/jukebox/tmbrmjb")) << shownCode.toStdString();
    EXPECT_EQ(child<QLineEdit>(window, "txtServerPathMultiMp3")->text(), "/jukebox/");
    const std::string settings = readFile(out + "settings_as.xml");
    EXPECT_NE(settings.find("<audio display=\"one\" url=\"/jukebox/one.mp3\"/>\r\n"
                            "<audio display=\"Track Three\" url=\"/jukebox/three.mp3\"/>\r\n"
                            "<audio display=\"two\" url=\"/jukebox/two.mp3\"/>\r\n"),
        std::string::npos)
        << settings;
    EXPECT_NE(settings.find("<AN>Yes</AN>"), std::string::npos);
    EXPECT_NE(settings.find("<AR>0xFFCC00</AR>"), std::string::npos);
}

TEST_F(MainWindowTest, ValidationMessageThenFocusOnTheOutputButton)
{
    const std::string mp3s = makeMp3s("music", { "song.mp3" });
    auto first = answerBox(QMessageBox::Ok);
    click("cmdSingleGenerate");
    EXPECT_EQ(first->title, "Error");
    EXPECT_EQ(first->text, "PLEASE SELECT YOUR AUDIO MP3 FILE!");
    EXPECT_EQ(first->icon, QMessageBox::Critical);

    fakes.fileDialogs.results.push_back({ mp3s + "song.mp3" });
    click("cmdSingleLocate");
    auto second = answerBox(QMessageBox::Ok);
    click("cmdSingleGenerate");
    EXPECT_EQ(second->text, "OUTPUT FOLDER NAME CAN'T BE EMPTY!");
    EXPECT_EQ(window.focusWidget(), child<QPushButton>(window, "cmdSingleOutput"));
}

TEST_F(MainWindowTest, ColourButtonWithCancelShowsFFCC66InTextSwatchAndPreview)
{
    clickRow(child<QListWidget>(window, "lstSingle"), "tmbr_type04_chameleon");
    click("cmdPlayerColorSingle");
    EXPECT_EQ(text("lblPlayerColorSingle"), "0xFFCC66");
    EXPECT_EQ(child<QFrame>(window, "shpPlayerColorSingle")->palette().color(QPalette::Window),
        QColor(255, 204, 102));
    EXPECT_EQ(child<PreviewWidget>(window, "swfDisplay")->playerColour(), QColor(255, 204, 102));
}

TEST_F(MainWindowTest, DroppedMp3FilesActAsTheLocators)
{
    const std::string mp3s = makeMp3s("music", { "a.mp3", "b.mp3" });
    const auto dropOn = [](QWidget* target, const std::vector<std::string>& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& path : paths)
            urls << QUrl::fromLocalFile(QString::fromStdString(path));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &drop);
        return true;
    };
    QWidget* single = child<QWidget>(window, "tabSingle");
    EXPECT_FALSE(dropOn(single, { mp3s + "a.mp3", mp3s + "b.mp3" }));
    EXPECT_TRUE(dropOn(single, { mp3s + "b.mp3" }));
    EXPECT_EQ(text("lblMp3Name"), "b.mp3");
    EXPECT_FALSE(child<QLineEdit>(window, "txtServerPathSingle")->acceptDrops()) << "the tab takes the drop";

    child<QTabWidget>(window, "ssTabAudio")->setCurrentIndex(1);
    EXPECT_TRUE(dropOn(child<QWidget>(window, "tabJukebox"), { mp3s + "a.mp3", mp3s + "b.mp3" }));
    EXPECT_EQ(child<QListWidget>(window, "lstMp3Files")->count(), 2);
    EXPECT_EQ(child<QLabel>(window, "lblMultiLocalPath")->toolTip().toStdString(), " " + mp3s + " ");
}

TEST_F(MainWindowTest, ExitConfirmationNoKeepsEverythingYesCloses)
{
    QTest::keyClicks(child<QLineEdit>(window, "txtServerPathSingle"), "/keep/");
    auto no = answerBox(QMessageBox::No);
    window.close();
    EXPECT_EQ(no->title, "Confirm");
    EXPECT_EQ(no->text, "EXIT TAMBREL STREAMING AUDIO?");
    EXPECT_EQ(no->icon, QMessageBox::Question);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(child<QLineEdit>(window, "txtServerPathSingle")->text(), "/keep/");

    auto yes = answerBox(QMessageBox::Yes);
    child<QAction>(window, "mnuExit")->trigger();
    EXPECT_EQ(yes->text, "EXIT TAMBREL STREAMING AUDIO?");
    EXPECT_FALSE(window.isVisible());
}

TEST(MainWindowSecondInstance, ShowsAlreadyOpenAndClosesWithoutAsking)
{
    TempAppFolder app { { "a.swf" }, { "b.swf" } };
    WindowTestPlatform fakes;
    FakeInstanceLock lock;
    lock.free = false;
    MainWindow window(app.folders(), fakes.platform);
    auto seen = answerBox(QMessageBox::Ok);
    EXPECT_EQ(window.startUp(lock), StartUpResult::AlreadyRunning);
    EXPECT_EQ(seen->text, "THIS SOFTWARE IS ALREADY OPEN!");
    EXPECT_EQ(seen->title, "Error");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no exit confirmation";
}

} // namespace
} // namespace tmbr::gui::test
