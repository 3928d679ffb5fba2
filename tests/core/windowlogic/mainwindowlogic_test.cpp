#include "codegen/colour.h"
#include "codegen/webaddresses.h"
#include "fakeplatform.h"
#include "mainwindowlogic.h"
#include "tempappfolder.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tmbr::gui::test {
namespace {

using codegen::rgb;

const codegen::Clock kClock = [] { return codegen::TimeOfDay { 14, 5, 9 }; };

const char* const kError = "Error";

// A file that nobody, root included, can delete while this object lives:
// the immutable attribute where the file system has it, else a read-only
// folder (enough for a user other than root).
class UndeletableFile {
public:
    explicit UndeletableFile(std::string path)
        : m_path(std::move(path))
    {
        writeFile(m_path, "held by a browser");
        const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            m_immutable = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        if (fd >= 0)
            ::close(fd);
        if (!m_immutable && ::geteuid() != 0) {
            std::filesystem::permissions(std::filesystem::path(m_path).parent_path(),
                std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
            m_readOnlyFolder = true;
        }
    }
    ~UndeletableFile()
    {
        if (m_immutable) {
            const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
            int flags = 0;
            if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
                flags &= ~FS_IMMUTABLE_FL;
                ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
            }
            if (fd >= 0)
                ::close(fd);
        }
        if (m_readOnlyFolder)
            std::filesystem::permissions(
                std::filesystem::path(m_path).parent_path(), std::filesystem::perms::owner_all);
    }
    bool works() const { return m_immutable || m_readOnlyFolder; }

private:
    std::string m_path;
    bool m_immutable = false;
    bool m_readOnlyFolder = false;
};

class MainWindowLogicTest : public ::testing::Test {
protected:
    TempAppFolder app { { "tmbr_type04_chameleon.swf", "tmbr_type07_classic.swf", "tmbr_type08_wide.swf" },
        { "jbx_300200_chameleon.swf", "jbx_250180_classic.swf" } };
    FakePlatform fakes;
    FakeMainView view;
    FakeInstanceLock lock;
    MainWindowLogic logic { app.folders(), fakes.platform, view, kClock };

    void startUp() { ASSERT_EQ(logic.startUp(lock), StartUpResult::Ready); }

    // Two MP3 files in a folder of their own.
    std::string makeMp3s(const std::string& folderName, std::initializer_list<const char*> names)
    {
        const std::string folder = app.folder(folderName);
        for (const char* name : names)
            writeFile(folder + name, std::string("ID3 fake mp3 ") + name);
        return folder;
    }

    void locateAndOutput(const std::string& mp3, const std::string& out)
    {
        fakes.fileDialogs.results.push_back({ mp3 });
        logic.cmdSingleLocateClick();
        fakes.folderBrowser.results = { out };
        logic.cmdSingleOutputClick();
    }

    void selectSinglePlayer(const std::string& name)
    {
        const auto& players = logic.singlePlayers();
        const auto it = std::find(players.begin(), players.end(), name);
        ASSERT_NE(it, players.end());
        logic.lstSingleClick(static_cast<std::size_t>(it - players.begin()));
    }
};

// ---- Start-up

TEST_F(MainWindowLogicTest, SecondInstanceShowsAlreadyOpenAndClosesWithoutConfirmation)
{
    lock.free = false;
    EXPECT_EQ(logic.startUp(lock), StartUpResult::AlreadyRunning);
    ASSERT_EQ(fakes.messageBox.shown,
        (std::vector<ShownBox> { { MessageIcon::Critical, kError, "THIS SOFTWARE IS ALREADY OPEN!" } }));
    EXPECT_EQ(view.calls, (std::vector<std::string> { "requestClose" }));
    EXPECT_TRUE(logic.anotherInstance());
    EXPECT_TRUE(logic.closeRequested());
    EXPECT_EQ(fakes.messageBox.shown.size(), 1U) << "no exit confirmation after a second start";
    EXPECT_TRUE(logic.singlePlayers().empty());
}

TEST_F(MainWindowLogicTest, StartUpFillsBothListsSelectsLastAndFirstAndShowsSplashWithBusyPointer)
{
    startUp();
    EXPECT_EQ(logic.singlePlayers(),
        (std::vector<std::string> { "tmbr_type04_chameleon", "tmbr_type07_classic", "tmbr_type08_wide" }));
    EXPECT_EQ(logic.selectedSingle(), 2U);
    EXPECT_EQ(logic.settings().singlePlayer, "tmbr_type08_wide");
    EXPECT_EQ(
        logic.multiPlayers(), (std::vector<std::string> { "jbx_250180_classic", "jbx_300200_chameleon" }));
    EXPECT_EQ(logic.selectedMulti(), 0U);
    EXPECT_EQ(logic.settings().multiPlayer, "jbx_250180_classic");

    EXPECT_TRUE(logic.settings().multiAutoProgress);
    EXPECT_EQ(logic.settings().playerColorSingle, "0xFFCC00");
    EXPECT_EQ(logic.settings().playerColorMulti, "0xFFCC00");
    EXPECT_EQ(logic.singleSwatch(), rgb(255, 204, 0));
    EXPECT_EQ(logic.multiSwatch(), rgb(255, 204, 0));

    EXPECT_EQ(view.calls, (std::vector<std::string> { "showWindow", "showSplash" }));
    EXPECT_EQ(fakes.cursor.changes, (std::vector<Pointer> { Pointer::Busy, Pointer::Default }));
    EXPECT_TRUE(fakes.messageBox.shown.empty());
    // The jukebox list is filled last, so its click behaviour set the preview.
    EXPECT_EQ(logic.previewMovie(), app.app() + "jukeboxplayers/jbx_250180_classic.swf");
}

TEST_F(MainWindowLogicTest, PlayerListsAreSortedByName)
{
    TempAppFolder abc { { "a.swf", "c.swf", "b.swf" }, { "a.swf", "c.swf", "b.swf" } };
    MainWindowLogic other { abc.folders(), fakes.platform, view, kClock };
    ASSERT_EQ(other.startUp(lock), StartUpResult::Ready);
    EXPECT_EQ(other.singlePlayers(), (std::vector<std::string> { "a", "b", "c" }));
    EXPECT_EQ(other.settings().singlePlayer, "c");
    EXPECT_EQ(other.settings().multiPlayer, "a");
}

TEST_F(MainWindowLogicTest, ScratchFolderIsEmptiedOnlyWhenItHoldsTheLocalTestPage)
{
    writeFile(app.scratch() + "song.mp3", "x");
    writeFile(app.scratch() + "swfobject.js", "x");
    startUp();
    EXPECT_TRUE(exists(app.scratch() + "song.mp3")) << "no do-not-upload.html: left alone";

    writeFile(app.scratch() + "do-not-upload.html", "x");
    MainWindowLogic second { app.folders(), fakes.platform, view, kClock };
    ASSERT_EQ(second.startUp(lock), StartUpResult::Ready);
    EXPECT_TRUE(std::filesystem::is_empty(app.scratch()));
}

TEST_F(MainWindowLogicTest, FileThatCannotBeDeletedWarnsAndStartUpGoesOn)
{
    writeFile(app.scratch() + "do-not-upload.html", "x");
    UndeletableFile held(app.scratch() + "song.mp3");
    if (!held.works())
        GTEST_SKIP() << "no way to make a file undeletable here";
    startUp();
    ASSERT_EQ(fakes.messageBox.shown,
        (std::vector<ShownBox> { { MessageIcon::Exclamation, "Warning",
            "THE MP3 FILE IS IN USE BY A PREVIOUS SESSION. CHECK ALL BROWSER "
            "WINDOWS!" } }));
    EXPECT_EQ(logic.singlePlayers().size(), 3U);
    EXPECT_EQ(logic.multiPlayers().size(), 2U);
    EXPECT_EQ(view.calls, (std::vector<std::string> { "showWindow", "showSplash" }));
}

TEST_F(MainWindowLogicTest, MissingTemplateFolderGivesStandardErrorBoxThenExitConfirmation)
{
    std::filesystem::remove_all(app.app() + "jukeboxplayers");
    EXPECT_EQ(logic.startUp(lock), StartUpResult::Failed);
    ASSERT_EQ(fakes.messageBox.shown.size(), 1U);
    const ShownBox& box = fakes.messageBox.shown.front();
    EXPECT_EQ(box.icon, MessageIcon::Critical);
    EXPECT_EQ(box.title, kError);
    EXPECT_EQ(box.text.rfind("INTERNAL ERROR OCCURED - ERROR NUMBER: 76 - ", 0), 0U) << box.text;
    EXPECT_TRUE(box.text.ends_with(". PLEASE CONTACT SUPPORT.")) << box.text;
    EXPECT_EQ(view.calls, (std::vector<std::string> { "showWindow", "requestClose" }));

    EXPECT_FALSE(logic.closeRequested()) << "No keeps the window";
    EXPECT_EQ(fakes.messageBox.shown.back(),
        (ShownBox { MessageIcon::Question, "Confirm", "EXIT TAMBREL STREAMING AUDIO?" }));
}

TEST_F(MainWindowLogicTest, TemplateFolderWithoutPlayersGivesEmptyListWithNothingSelected)
{
    TempAppFolder empty { {}, { "jbx_300200_classic.swf" } };
    MainWindowLogic other { empty.folders(), fakes.platform, view, kClock };
    ASSERT_EQ(other.startUp(lock), StartUpResult::Ready);
    EXPECT_TRUE(other.singlePlayers().empty());
    EXPECT_FALSE(other.selectedSingle());
    EXPECT_EQ(other.selectedMulti(), 0U);
}

// ---- Closing

TEST_F(MainWindowLogicTest, ExitConfirmationYesClosesNoKeepsEverything)
{
    startUp();
    logic.settings().serverPathSingle = "/audio/";
    fakes.messageBox.answers = { Answer::No, Answer::Yes };
    EXPECT_FALSE(logic.closeRequested());
    EXPECT_EQ(logic.settings().serverPathSingle, "/audio/");
    EXPECT_TRUE(logic.closeRequested());
    EXPECT_EQ(fakes.messageBox.shown.size(), 2U);
}

// ---- Menus

TEST_F(MainWindowLogicTest, HelpMenuOpensHelpPageSupportAndHome)
{
    logic.mnuInstructionsClick();
    logic.mnuSupportClick();
    logic.mnuAboutClick();
    EXPECT_EQ(fakes.shell.opened,
        (std::vector<std::string> {
            app.app() + "tmbr_sa.html", codegen::kOnlineSupportPage, codegen::kProductHomePage }));
}

// ---- Preview, tabs and activation

TEST_F(MainWindowLogicTest, ColourablePlayerShowsColourControlsAndColouredPreview)
{
    startUp();
    selectSinglePlayer("tmbr_type04_chameleon");
    EXPECT_TRUE(logic.singleColourVisible());
    EXPECT_EQ(logic.previewMovie(), app.app() + "buttonplayers/tmbr_type04_chameleon.swf?c=0xFFCC00");
    EXPECT_EQ(logic.previewColour(), "0xFFCC00");

    selectSinglePlayer("tmbr_type07_classic");
    EXPECT_FALSE(logic.singleColourVisible());
    EXPECT_EQ(logic.previewMovie(), app.app() + "buttonplayers/tmbr_type07_classic.swf");
    EXPECT_EQ(logic.previewColour(), "");
}

TEST_F(MainWindowLogicTest, TabChangeShowsThatTabsPlayerWithoutColourAndActivationRestoresIt)
{
    startUp();
    selectSinglePlayer("tmbr_type04_chameleon");
    logic.ssTabAudioClick(1);
    EXPECT_EQ(logic.previewMovie(), app.app() + "jukeboxplayers/jbx_250180_classic.swf");
    logic.ssTabAudioClick(0);
    EXPECT_EQ(logic.previewMovie(), app.app() + "buttonplayers/tmbr_type04_chameleon.swf");
    logic.formActivate();
    EXPECT_EQ(logic.previewMovie(), app.app() + "buttonplayers/tmbr_type04_chameleon.swf?c=0xFFCC00");

    logic.ssTabAudioClick(1);
    logic.lstMultiClick(1);
    logic.lstSingleClick(0);
    logic.formActivate();
    EXPECT_EQ(logic.previewMovie(), app.app() + "jukeboxplayers/jbx_300200_chameleon.swf");
    EXPECT_EQ(logic.previewColour(), "0xFFCC00");
}

// ---- Single button tab

TEST_F(MainWindowLogicTest, SingleColourDialogOpensOnFFCC66AndCancelKeepsThatColour)
{
    startUp();
    selectSinglePlayer("tmbr_type04_chameleon");
    logic.cmdPlayerColorSingleClick();
    EXPECT_EQ(fakes.colourDialog.initials, (std::vector<std::uint32_t> { rgb(255, 204, 102) }));
    EXPECT_EQ(logic.settings().playerColorSingle, "0xFFCC66");
    EXPECT_EQ(logic.singleSwatch(), rgb(255, 204, 102));
    EXPECT_EQ(logic.previewMovie(), app.app() + "buttonplayers/tmbr_type04_chameleon.swf?c=0xFFCC66");

    fakes.colourDialog.choice = rgb(10, 0, 255);
    logic.cmdPlayerColorSingleClick();
    EXPECT_EQ(logic.settings().playerColorSingle, "0x0A00FF");
    EXPECT_EQ(logic.previewColour(), "0x0A00FF");
}

TEST_F(MainWindowLogicTest, Mp3LocatorTakesNameFolderAndPathAndCancelChangesNothing)
{
    logic.cmdSingleLocateClick();
    ASSERT_EQ(fakes.fileDialogs.requests.size(), 1U);
    const FileDialogRequest& request = fakes.fileDialogs.requests.front();
    EXPECT_EQ(request.mode, FileDialogMode::OpenOne);
    EXPECT_EQ(request.title, "Open Mp3 File");
    EXPECT_EQ(request.filterName, "Mp3 Files");
    EXPECT_EQ(request.pattern, "*.mp3");
    EXPECT_EQ(logic.settings().mp3Name, "");

    fakes.fileDialogs.results.push_back({ "/home/me/music/My Song.mp3" });
    logic.cmdSingleLocateClick();
    EXPECT_EQ(logic.settings().mp3Name, "My Song.mp3");
    EXPECT_EQ(logic.settings().mp3Path, "/home/me/music/My Song.mp3");
    EXPECT_EQ(logic.settings().singleLocalPath, "/home/me/music/");

    logic.cmdSingleLocateClick(); // cancelled
    EXPECT_EQ(logic.settings().mp3Name, "My Song.mp3");
}

TEST_F(MainWindowLogicTest, OutputFolderGainsSlashAndCancelKeepsThePreviousOne)
{
    fakes.folderBrowser.results = { "/home/me/site", "" };
    logic.cmdSingleOutputClick();
    EXPECT_EQ(logic.settings().singleOutDir, "/home/me/site/");
    logic.cmdSingleOutputClick();
    EXPECT_EQ(logic.settings().singleOutDir, "/home/me/site/");
    EXPECT_EQ(fakes.folderBrowser.titles,
        (std::vector<std::string> { "Select Your Output Folder:", "Select Your Output Folder:" }));

    fakes.folderBrowser.results = { "/srv/jukebox" };
    logic.cmdMultiOutputClick();
    EXPECT_EQ(logic.settings().multiOutDir, "/srv/jukebox/");
}

TEST_F(MainWindowLogicTest, SingleValidationAsksForMp3ThenAppendsSlashThenAsksForOutputFolder)
{
    startUp();
    logic.settings().serverPathSingle = "/audio";
    logic.cmdSingleGenerateClick();
    ASSERT_EQ(fakes.messageBox.shown,
        (std::vector<ShownBox> { { MessageIcon::Critical, kError, "PLEASE SELECT YOUR AUDIO MP3 FILE!" } }));
    EXPECT_EQ(logic.settings().serverPathSingle, "/audio");

    const std::string mp3s = makeMp3s("music", { "song.mp3" });
    fakes.fileDialogs.results.push_back({ mp3s + "song.mp3" });
    logic.cmdSingleLocateClick();
    logic.cmdSingleGenerateClick();
    EXPECT_EQ(fakes.messageBox.shown.back(),
        (ShownBox { MessageIcon::Critical, kError, "OUTPUT FOLDER NAME CAN'T BE EMPTY!" }));
    EXPECT_EQ(logic.settings().serverPathSingle, "/audio/");
    EXPECT_EQ(view.calls.back(), "focus:single");
    EXPECT_FALSE(exists(app.scratch() + "do-not-upload.html")) << "nothing is written";
    EXPECT_EQ(fakes.cursor.changes.back(), Pointer::Default);
}

TEST_F(MainWindowLogicTest, SingleGenerationWritesFilesAndShowsCodeWithBusyPointerUntilClosed)
{
    startUp();
    selectSinglePlayer("tmbr_type04_chameleon");
    const std::string mp3s = makeMp3s("music", { "song.mp3" });
    const std::string out = app.folder("site");
    fakes.fileDialogs.results.push_back({ mp3s + "song.mp3" });
    logic.cmdSingleLocateClick();
    fakes.folderBrowser.results = { out };
    logic.cmdSingleOutputClick();
    fakes.cursor.changes.clear();

    logic.cmdSingleGenerateClick();
    ASSERT_EQ(view.calls.back(), "showCode")
        << (fakes.messageBox.shown.empty() ? "" : fakes.messageBox.shown.back().text);
    EXPECT_EQ(fakes.cursor.changes, (std::vector<Pointer> { Pointer::Busy, Pointer::Default }));
    EXPECT_NE(view.code.find("tmbrwbcab0509.js"), std::string::npos) << view.code;
    EXPECT_NE(view.instructions.find("tmbr_type04_chameleon.swf"), std::string::npos);
    for (const char* file : { "tmbrwbcab0509.js", "onlinetest-single-button.html", "song.mp3",
             "tmbr_type04_chameleon.swf", "swfobject.js" })
        EXPECT_TRUE(exists(out + file)) << file;
    for (const char* file : { "do-not-upload.html", "song.mp3", "tmbr_type04_chameleon.swf", "swfobject.js" })
        EXPECT_TRUE(exists(app.scratch() + file)) << file;
    EXPECT_TRUE(fakes.messageBox.shown.empty());
}

TEST_F(MainWindowLogicTest, EncryptHtmlShowsEncodedCodeWhileOnlinePageKeepsPlainCode)
{
    startUp();
    const std::string mp3s = makeMp3s("music", { "song.mp3" });
    const std::string out = app.folder("site");
    locateAndOutput(mp3s + "song.mp3", out);
    logic.settings().encryptSingle = true;
    logic.cmdSingleGenerateClick();
    ASSERT_EQ(view.calls.back(), "showCode");
    EXPECT_EQ(view.code.rfind("<script language=\"JavaScript\">\r\n", 0), 0U) << view.code;
    EXPECT_NE(readFile(out + "onlinetest-single-button.html").find("<!--Audio player code starts here-->"),
        std::string::npos);
}

TEST_F(MainWindowLogicTest, SingleGenerationFailureShowsStandardErrorBoxAndNoCodeWindow)
{
    startUp();
    const std::string mp3s = makeMp3s("music", { "song.mp3" });
    // An output "folder" that is a file cannot receive anything.
    writeFile(app.folder("x") + "notafolder", "x");
    locateAndOutput(mp3s + "song.mp3", app.folder("x") + "notafolder");
    fakes.cursor.changes.clear();
    logic.cmdSingleGenerateClick();
    ASSERT_EQ(fakes.messageBox.shown.size(), 1U);
    EXPECT_EQ(fakes.messageBox.shown.front().title, kError);
    EXPECT_EQ(fakes.messageBox.shown.front().text.rfind("INTERNAL ERROR OCCURED - ERROR NUMBER: ", 0), 0U);
    EXPECT_NE(view.calls.back(), "showCode");
    EXPECT_EQ(fakes.cursor.changes, (std::vector<Pointer> { Pointer::Busy, Pointer::Default }));
}

TEST_F(MainWindowLogicTest, DroppingOneMp3FileActsAsTheLocator)
{
    const std::string mp3s = makeMp3s("music", { "a.mp3", "b.MP3" });
    writeFile(mp3s + "notes.txt", "x");
    EXPECT_TRUE(MainWindowLogic::acceptsSingleDrop({ mp3s + "a.mp3" }));
    EXPECT_TRUE(MainWindowLogic::acceptsSingleDrop({ mp3s + "b.MP3" }));
    EXPECT_FALSE(MainWindowLogic::acceptsSingleDrop({ mp3s + "a.mp3", mp3s + "b.MP3" }));
    EXPECT_FALSE(MainWindowLogic::acceptsSingleDrop({ mp3s + "notes.txt" }));
    EXPECT_FALSE(MainWindowLogic::acceptsSingleDrop({ mp3s + "missing.mp3" }));
    EXPECT_FALSE(MainWindowLogic::acceptsSingleDrop({ mp3s }));

    logic.dropOnSingleTab({ mp3s + "notes.txt" });
    EXPECT_EQ(logic.settings().mp3Name, "");
    logic.dropOnSingleTab({ mp3s + "a.mp3" });
    EXPECT_EQ(logic.settings().mp3Name, "a.mp3");
    EXPECT_EQ(logic.settings().singleLocalPath, mp3s);
}

// ---- Jukebox tab

TEST_F(MainWindowLogicTest, ColourableJukeboxWritesPreviewSettingsOthersDoNot)
{
    startUp();
    const std::string settingsFile = app.app() + "jukeboxplayers/settings_as.xml";
    EXPECT_FALSE(logic.multiColourVisible());
    EXPECT_FALSE(exists(settingsFile)) << "the first player is not colourable";
    logic.lstMultiClick(1);
    EXPECT_TRUE(logic.multiColourVisible());
    EXPECT_NE(readFile(settingsFile).find("<AR>0xFFCC00</AR>\r\n"), std::string::npos);

    logic.cmdPlayerColorMultiClick(); // Cancel: the dialog's initial colour
    EXPECT_EQ(logic.settings().playerColorMulti, "0xFFCC66");
    EXPECT_EQ(logic.multiSwatch(), rgb(255, 204, 102));
    EXPECT_NE(readFile(settingsFile).find("<AR>0xFFCC66</AR>\r\n"), std::string::npos);
    EXPECT_EQ(logic.previewMovie(), app.app() + "jukeboxplayers/jbx_300200_chameleon.swf");
    EXPECT_EQ(logic.previewColour(), "0xFFCC66");
}

TEST_F(MainWindowLogicTest, MultiFileDialogNeedsTwoFilesAndCancelKeepsThePlaylist)
{
    const std::string mp3s = makeMp3s("music", { "one.mp3", "two.mp3", "three.mp3" });
    fakes.fileDialogs.results.push_back({ mp3s + "two.mp3", mp3s + "one.mp3" });
    logic.cmdMultiLocateClick();
    const FileDialogRequest& request = fakes.fileDialogs.requests.front();
    EXPECT_EQ(request.mode, FileDialogMode::OpenMany);
    EXPECT_EQ(request.title, "Open Mp3 Files");
    EXPECT_EQ(request.filterName, "Mp3 Files");
    const std::vector<std::string> files { "two.mp3", "one.mp3" };
    EXPECT_EQ(logic.settings().mp3Files, files);
    EXPECT_EQ(logic.settings().mp3FileDisplayNames, (std::vector<std::string> { "two", "one" }));
    EXPECT_EQ(logic.settings().multiLocalPath, mp3s);

    fakes.fileDialogs.results.push_back({ mp3s + "three.mp3" });
    logic.cmdMultiLocateClick();
    EXPECT_EQ(fakes.messageBox.shown,
        (std::vector<ShownBox> {
            { MessageIcon::Critical, kError, "YOU NEED TO CHOOSE AT LEAST TWO MP3 AUDIO FILES." } }));
    logic.cmdMultiLocateClick(); // cancelled
    EXPECT_EQ(logic.settings().mp3Files, files);
    EXPECT_EQ(fakes.messageBox.shown.size(), 1U);
}

TEST_F(MainWindowLogicTest, DroppedFilesActAsTheMultiFileDialog)
{
    const std::string a = makeMp3s("a", { "x.mp3", "y.mp3" });
    const std::string b = makeMp3s("b", { "z.mp3" });
    EXPECT_FALSE(MainWindowLogic::acceptsJukeboxDrop({ a + "x.mp3", b + "z.mp3" })) << "one folder only";
    EXPECT_FALSE(MainWindowLogic::acceptsJukeboxDrop({}));
    EXPECT_TRUE(MainWindowLogic::acceptsJukeboxDrop({ a + "x.mp3" }));

    logic.dropOnJukeboxTab({ a + "x.mp3" });
    EXPECT_EQ(fakes.messageBox.shown.back().text, "YOU NEED TO CHOOSE AT LEAST TWO MP3 AUDIO FILES.");
    EXPECT_TRUE(logic.settings().mp3Files.empty());
    logic.dropOnJukeboxTab({ a + "y.mp3", a + "x.mp3" });
    EXPECT_EQ(logic.settings().mp3Files, (std::vector<std::string> { "y.mp3", "x.mp3" }));
    EXPECT_EQ(logic.settings().multiLocalPath, a);
}

TEST_F(MainWindowLogicTest, ReArrangeNeedsTwoTracksAndOnlyDoneWritesBack)
{
    logic.cmdReArrangeClick();
    EXPECT_EQ(fakes.messageBox.shown.back(),
        (ShownBox { MessageIcon::Critical, kError, "NOTHING TO RE-ARRANGE!" }));
    EXPECT_TRUE(view.calls.empty());

    const std::string mp3s = makeMp3s("music", { "a.mp3", "b.mp3" });
    logic.dropOnJukeboxTab({ mp3s + "a.mp3", mp3s + "b.mp3" });
    logic.cmdReArrangeClick(); // Cancel
    EXPECT_EQ(view.rearrangeInput, (Playlist { { "a.mp3", "b.mp3" }, { "a", "b" } }));
    EXPECT_EQ(logic.settings().mp3Files, (std::vector<std::string> { "a.mp3", "b.mp3" }));

    view.rearrangeResult = Playlist { { "b.mp3" }, { "Bee" } };
    logic.cmdReArrangeClick();
    EXPECT_EQ(logic.settings().mp3Files, (std::vector<std::string> { "b.mp3" }));
    EXPECT_EQ(logic.settings().mp3FileDisplayNames, (std::vector<std::string> { "Bee" }));
}

TEST_F(MainWindowLogicTest, PlayerPathTypingIsCopiedIntoMp3Path)
{
    logic.settings().serverPathMultiMp3 = "/old/";
    logic.setServerPathMultiPlayer("/jukebox/");
    EXPECT_EQ(logic.settings().serverPathMultiPlayer, "/jukebox/");
    EXPECT_EQ(logic.settings().serverPathMultiMp3, "/jukebox/");
}

TEST_F(MainWindowLogicTest, JukeboxValidationAsksForFilesAndOpensTheDialogThenForOutputFolder)
{
    startUp();
    logic.cmdMultiGenerateClick();
    EXPECT_EQ(fakes.messageBox.shown.back(),
        (ShownBox { MessageIcon::Critical, kError, "PLEASE SELECT YOUR AUDIO MP3 FILES" }));
    ASSERT_EQ(fakes.fileDialogs.requests.size(), 1U);
    EXPECT_EQ(fakes.fileDialogs.requests.front().mode, FileDialogMode::OpenMany);

    const std::string mp3s = makeMp3s("music", { "a.mp3", "b.mp3" });
    logic.dropOnJukeboxTab({ mp3s + "a.mp3", mp3s + "b.mp3" });
    logic.setServerPathMultiPlayer("/jukebox");
    logic.cmdMultiGenerateClick();
    EXPECT_EQ(fakes.messageBox.shown.back(),
        (ShownBox { MessageIcon::Critical, kError, "OUTPUT FOLDER NAME CAN'T BE EMPTY!" }));
    EXPECT_EQ(view.calls.back(), "focus:jukebox");
    EXPECT_EQ(logic.settings().serverPathMultiPlayer, "/jukebox/");
    EXPECT_EQ(logic.settings().serverPathMultiMp3, "/jukebox/");
    EXPECT_FALSE(exists(app.scratch() + "settings_as.xml"));
}

TEST_F(MainWindowLogicTest, JukeboxGenerationWritesFilesAndShowsCode)
{
    startUp();
    logic.lstMultiClick(1);
    const std::string mp3s = makeMp3s("music", { "a.mp3", "b.mp3" });
    const std::string out = app.folder("site");
    logic.dropOnJukeboxTab({ mp3s + "a.mp3", mp3s + "b.mp3" });
    fakes.folderBrowser.results = { out };
    logic.cmdMultiOutputClick();
    view.rearrangeResult = Playlist { { "b.mp3", "a.mp3" }, { "Bee", "a" } };
    logic.cmdReArrangeClick();

    logic.cmdMultiGenerateClick();
    ASSERT_EQ(view.calls.back(), "showCode")
        << (fakes.messageBox.shown.empty() ? "" : fakes.messageBox.shown.back().text);
    EXPECT_NE(view.code.find("tmbrmjbab0509.js"), std::string::npos) << view.code;
    EXPECT_NE(view.instructions.find("b.mp3\r\na.mp3\r\n"), std::string::npos) << view.instructions;
    for (const char* file : { "settings_as.xml", "tmbrmjbab0509.js", "onlinetest-jukebox.html", "a.mp3",
             "b.mp3", "jbx_300200_chameleon.swf", "swfobject.js" })
        EXPECT_TRUE(exists(out + file)) << file;
    EXPECT_NE(
        readFile(out + "settings_as.xml").find("<audio display=\"Bee\" url=\"b.mp3\"/>"), std::string::npos);
    EXPECT_TRUE(exists(app.scratch() + "do-not-upload.html"));
}

} // namespace
} // namespace tmbr::gui::test
