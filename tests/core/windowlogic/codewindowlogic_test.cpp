#include "codewindowlogic.h"
#include "fakeplatform.h"
#include "tempappfolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <initializer_list>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tmbr::gui::test {
namespace {

class CodeWindowLogicTest : public ::testing::Test {
protected:
    TempAppFolder app { {}, {} };
    FakePlatform fakes;
    CodeWindowLogic window { "<code>\r\nline 2", "Output folder\r\n=====", app.folders(), fakes.platform };
};

TEST_F(CodeWindowLogicTest, GrabPutsTheWholeCodeOnTheClipboardAndSaysSo)
{
    window.cmdGrabCodeClick();
    EXPECT_EQ(fakes.clipboard.text, "<code>\r\nline 2");
    EXPECT_EQ(fakes.messageBox.shown,
        (std::vector<ShownBox> { { MessageIcon::Information, " Message",
            "GRABBED CODE! YOU MAY PASTE IT NOW ON YOUR HTML EDITOR." } }));
}

TEST_F(CodeWindowLogicTest, GrabWithEmptyCodePutsEmptyTextAndStillShowsTheMessage)
{
    CodeWindowLogic empty("", "", app.folders(), fakes.platform);
    empty.cmdGrabCodeClick();
    EXPECT_EQ(fakes.clipboard.text, "");
    EXPECT_EQ(fakes.messageBox.shown.size(), 1U);
}

TEST_F(CodeWindowLogicTest, TestOpensTheLocalTestPageOfTheScratchFolder)
{
    window.cmdTestClick();
    EXPECT_EQ(fakes.shell.opened, (std::vector<std::string> { app.scratch() + "do-not-upload.html" }));
    EXPECT_TRUE(fakes.messageBox.shown.empty());
}

class RecordingServer : public ITestPageServer {
public:
    std::string address;
    std::vector<std::pair<std::string, std::string>> served;

    std::string serve(const std::string& scratch, const std::string& output) override
    {
        served.emplace_back(scratch, output);
        return address;
    }
};

TEST_F(CodeWindowLogicTest, TestServesScratchAndOutputFoldersAndOpensThePageByItsAddress)
{
    RecordingServer server;
    server.address = "http://127.0.0.1:4711/0123abcd/";
    CodeWindowLogic served("code", "inst", app.folders(), fakes.platform, "/home/me/site/", &server);
    served.cmdTestClick();
    EXPECT_EQ(server.served,
        (std::vector<std::pair<std::string, std::string>> { { app.scratch(), "/home/me/site/" } }));
    EXPECT_EQ(fakes.shell.opened,
        (std::vector<std::string> { "http://127.0.0.1:4711/0123abcd/do-not-upload.html" }));
}

TEST_F(CodeWindowLogicTest, TestFallsBackToTheLocalFileWhenNoServerCanRun)
{
    RecordingServer server; // answers empty text
    CodeWindowLogic served("code", "inst", app.folders(), fakes.platform, "/home/me/site/", &server);
    served.cmdTestClick();
    EXPECT_EQ(server.served.size(), 1U);
    EXPECT_EQ(fakes.shell.opened, (std::vector<std::string> { app.scratch() + "do-not-upload.html" }));
}

TEST_F(CodeWindowLogicTest, TestWithoutABrowserGivesThePageAddressToOpenByHand)
{
    fakes.shell.opens = false;
    RecordingServer server;
    server.address = "http://127.0.0.1:4711/0123abcd/";
    CodeWindowLogic served("code", "inst", app.folders(), fakes.platform, "/home/me/site/", &server);
    served.cmdTestClick();
    window.cmdTestClick();
    EXPECT_EQ(fakes.messageBox.shown,
        (std::vector<ShownBox> { { MessageIcon::Exclamation, "Warning",
                                     "THE BROWSER COULD NOT BE OPENED. OPEN THIS ADDRESS IN YOUR BROWSER: "
                                     "http://127.0.0.1:4711/0123abcd/do-not-upload.html" },
            { MessageIcon::Exclamation, "Warning",
                "THE BROWSER COULD NOT BE OPENED. OPEN THIS ADDRESS IN YOUR BROWSER: " + app.scratch()
                    + "do-not-upload.html" } }));
}

TEST_F(CodeWindowLogicTest, SaveWritesCodeThreeEmptyLinesAndInstructions)
{
    const std::string file = app.folder("saved") + "my code.txt";
    fakes.fileDialogs.results.push_back({ file });
    window.cmdSaveCodeInstClick();
    const FileDialogRequest& request = fakes.fileDialogs.requests.front();
    EXPECT_EQ(request.mode, FileDialogMode::Save);
    EXPECT_EQ(request.title, "Save as Text File");
    EXPECT_EQ(request.filterName, "Text Files");
    EXPECT_EQ(request.pattern, "*.txt");
    EXPECT_EQ(readFile(file), "<code>\r\nline 2\r\n\r\n\r\n\r\nOutput folder\r\n=====\r\n");
    EXPECT_EQ(fakes.messageBox.shown,
        (std::vector<ShownBox> {
            { MessageIcon::Information, " Message", "CODE AND INSTRUCTIONS SAVED AS " + file } }));
    EXPECT_EQ(std::filesystem::directory_iterator(app.folder("saved"))->path().filename(), "my code.txt")
        << "no temporary file is left beside it";
}

TEST_F(CodeWindowLogicTest, SaveReplacesAnExistingFileWhole)
{
    const std::string file = app.folder("saved") + "code.txt";
    writeFile(file, std::string(10000, 'x'));
    fakes.fileDialogs.results.push_back({ file });
    window.cmdSaveCodeInstClick();
    EXPECT_EQ(readFile(file), "<code>\r\nline 2\r\n\r\n\r\n\r\nOutput folder\r\n=====\r\n");
}

TEST_F(CodeWindowLogicTest, SaveThroughASymbolicLinkWritesItsTargetAndKeepsTheLink)
{
    namespace fs = std::filesystem;
    const std::string saved = app.folder("saved");
    const std::string elsewhere = app.folder("elsewhere");
    writeFile(elsewhere + "real.txt", "old");
    fs::create_symlink("../elsewhere/real.txt", saved + "link.txt");
    fs::create_symlink(elsewhere + "new.txt", saved + "dangling.txt");
    fakes.fileDialogs.results.push_back({ saved + "link.txt" });
    fakes.fileDialogs.results.push_back({ saved + "dangling.txt" });
    window.cmdSaveCodeInstClick();
    window.cmdSaveCodeInstClick();
    const std::string text = "<code>\r\nline 2\r\n\r\n\r\n\r\nOutput folder\r\n=====\r\n";
    EXPECT_TRUE(fs::is_symlink(saved + "link.txt"));
    EXPECT_TRUE(fs::is_symlink(saved + "dangling.txt"));
    EXPECT_EQ(readFile(elsewhere + "real.txt"), text);
    EXPECT_EQ(readFile(elsewhere + "new.txt"), text);
    EXPECT_EQ(std::distance(fs::directory_iterator(saved), {}), 2) << "no temporary file left";
    EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere), {}), 2) << "no temporary file left";
    EXPECT_EQ(fakes.messageBox.shown.size(), 2U);
}

TEST_F(CodeWindowLogicTest, SaveKeepsTheModeOfTheReplacedFile)
{
    namespace fs = std::filesystem;
    const std::string file = app.folder("saved") + "code.txt";
    writeFile(file, "old");
    ::chmod(file.c_str(), 0640);
    const ::mode_t umask = ::umask(0022);
    fakes.fileDialogs.results.push_back({ file });
    window.cmdSaveCodeInstClick();
    ::umask(umask);
    struct stat status { };
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640U);
    EXPECT_EQ(readFile(file).substr(0, 6), "<code>");
}

// Permission bits do not stop root: run as root, `save` runs in a child
// process that has become the unprivileged user, who is given `owned`.
// Returns what `save` returns.
template <typename Save>
int asUnprivileged(const std::string& root, std::initializer_list<std::string> owned, Save save)
{
    if (::geteuid() != 0)
        return save();
    constexpr ::uid_t kNobody = 65534;
    ::chmod(root.c_str(), 0711);
    for (const std::string& path : owned)
        if (::chown(path.c_str(), kNobody, kNobody) != 0)
            return -1;
    const ::pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        ::_exit(dropped ? save() : 100);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST_F(CodeWindowLogicTest, SaveWritesInPlaceWhereOnlyTheFileIsWritableAndLeavesAReadOnlyFile)
{
    const std::string locked = app.folder("locked");
    const std::string open = app.folder("open");
    writeFile(locked + "code.txt", "old");
    writeFile(open + "read-only.txt", "old");
    ::chmod(locked.c_str(), 0555);
    ::chmod((open + "read-only.txt").c_str(), 0444);
    fakes.fileDialogs.results.push_back({ locked + "code.txt" });
    fakes.fileDialogs.results.push_back({ locked + "new.txt" });
    fakes.fileDialogs.results.push_back({ open + "read-only.txt" });
    const int shown
        = asUnprivileged(app.folder(""), { locked + "code.txt", open, open + "read-only.txt" }, [this] {
              for (int save = 0; save < 3; ++save)
                  window.cmdSaveCodeInstClick();
              return static_cast<int>(fakes.messageBox.shown.size());
          });
    ::chmod(locked.c_str(), 0755);
    EXPECT_EQ(readFile(locked + "code.txt"), "<code>\r\nline 2\r\n\r\n\r\n\r\nOutput folder\r\n=====\r\n");
    EXPECT_FALSE(std::filesystem::exists(locked + "new.txt"));
    EXPECT_EQ(readFile(open + "read-only.txt"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(open), {}), 1) << "no temporary file left";
    EXPECT_EQ(shown, 1) << "only the written file is reported";
}

TEST_F(CodeWindowLogicTest, CancelOrDeclinedOverwriteWritesNothingAndSaysNothing)
{
    window.cmdSaveCodeInstClick();
    EXPECT_EQ(fakes.fileDialogs.requests.size(), 1U);
    EXPECT_TRUE(fakes.messageBox.shown.empty());
}

TEST_F(CodeWindowLogicTest, FileThatCannotBeWrittenEndsSilentlyAndKeepsTheOldFile)
{
    const std::string folder = app.folder("saved");
    // A folder in the way of the file name: neither the write nor the rename can succeed.
    std::filesystem::create_directories(folder + "taken.txt");
    fakes.fileDialogs.results.push_back({ folder + "taken.txt" });
    window.cmdSaveCodeInstClick();
    EXPECT_TRUE(fakes.messageBox.shown.empty());
    EXPECT_TRUE(std::filesystem::is_directory(folder + "taken.txt"));

    fakes.fileDialogs.results.push_back({ folder + "missing/sub/code.txt" });
    window.cmdSaveCodeInstClick();
    EXPECT_TRUE(fakes.messageBox.shown.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "no temporary file left";
}

} // namespace
} // namespace tmbr::gui::test
