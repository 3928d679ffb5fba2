#include "codewindowlogic.h"
#include "fakeplatform.h"
#include "tempappfolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

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
