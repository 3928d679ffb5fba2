#include "codegen/generationerror.h"
#include "codegen/generators.h"
#include "codegen/jukeboxtemplates.h"
#include "testfolders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tmbr::codegen;
using namespace tmbr::testing;

namespace {

// A clock that moves on by one second at every reading: 20:30:01, 20:30:02, ...
struct SteppingClock {
    int readings = 0;
    Clock clock()
    {
        return [this] { return TimeOfDay { 20, 30, 1 + readings++ }; };
    }
};

ino_t inodeOf(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

std::string trackBytes(int n)
{
    return std::string("\xff\xfb\x90\x44", 4) + std::string(2000 + n, char('a' + n));
}

class JukeboxGenerator : public ::testing::Test {
protected:
    void SetUp() override
    {
        folders.app = temp.path() + "app/";
        folders.scratch = temp.path() + "cache/tmbrsa/temp/";
        makeAppFolder(folders.app, {}, { "mjb_300200_chameleon", "mjb_450120", "mjb_150100_leonx" });
        music = temp.folder("music");
        out = temp.folder("site");
        writeBytes(music + "b-side.mp3", trackBytes(1));
        writeBytes(music + "a-side.mp3", trackBytes(2));
        writeBytes(music + "intro.mp3", trackBytes(3));

        settings.multiPlayer = "mjb_450120";
        chooseJukeboxFiles(settings, music, { "b-side.mp3", "a-side.mp3", "intro.mp3" });
        settings.mp3FileDisplayNames[2] = "The Intro";
        setServerPathMultiPlayer(settings, "/jukebox/");
        settings.serverPathMultiMp3 = "/audiofiles/";
        chooseJukeboxOutputFolder(settings, temp.path() + "site");
    }

    JukeboxOptions expectedOptions() const
    {
        return { settings.multiAutoPlay, settings.multiAutoProgress, settings.multiRandom,
            settings.audioLevel, settings.playlistFontBold };
    }

    std::vector<Track> expectedPlaylist() const
    {
        std::vector<Track> playlist;
        for (std::size_t i = 0; i < settings.mp3Files.size(); ++i)
            playlist.push_back({ settings.mp3Files[i], settings.mp3FileDisplayNames[i] });
        return playlist;
    }

    JukeboxValues expectedValues(
        const std::string& id, const std::string& width, const std::string& height) const
    {
        JukeboxValues values;
        values.id = id;
        values.playerFile = settings.multiPlayer + ".swf";
        values.playerPath = "/jukebox/";
        values.width = width;
        values.height = height;
        values.outputFolder = out;
        values.mp3PathTrimmed = "/audiofiles/";
        return values;
    }

    GenerationResult run() { return generateJukebox(settings, folders, clock.clock()); }

    TempFolder temp;
    AppFolders folders;
    std::string music;
    std::string out;
    GeneratorSettings settings;
    SteppingClock clock;
};

} // namespace

TEST_F(JukeboxGenerator, JavaScriptMethod1WritesAndCopiesEveryFile)
{
    settings.multiAutoPlay = true;
    settings.multiRandom = true;
    settings.audioLevel = "75";
    const GenerationResult result = run();
    ASSERT_EQ(result.status, GenerationStatus::Generated) << result.message;
    EXPECT_EQ(clock.readings, 2);

    EXPECT_EQ(namesIn(out),
        (std::vector<std::string> { "a-side.mp3", "b-side.mp3", "intro.mp3", "mjb_450120.swf",
            "onlinetest-jukebox.html", "settings_as.xml", "swfobject.js", "tmbrmjbab3002.js" }));
    EXPECT_EQ(namesIn(folders.scratch),
        (std::vector<std::string> {
            "do-not-upload.html", "mjb_450120.swf", "settings_as.xml", "swfobject.js" }));

    const auto options = expectedOptions();
    EXPECT_EQ(readBytes(folders.scratch + "settings_as.xml"),
        jukeboxSettings(options, false, "0xFFCC00", expectedPlaylist(), out, UrlPrefixKind::LocalFolder));
    EXPECT_EQ(readBytes(out + "settings_as.xml"),
        jukeboxSettings(
            options, false, "0xFFCC00", expectedPlaylist(), "/audiofiles/", UrlPrefixKind::ServerPath));
    EXPECT_NE(readBytes(out + "settings_as.xml")
                  .find("<audio display=\"The Intro\" url=\"/audiofiles/intro.mp3\"/>"),
        std::string::npos);

    const JukeboxValues local = expectedValues("ab3001", "450", "120");
    const JukeboxValues online = expectedValues("ab3002", "450", "120");
    const std::string code = jukeboxPageCode(CodeType::JavaScriptMethod1, online);
    EXPECT_EQ(readBytes(folders.scratch + "do-not-upload.html"), jukeboxLocalTestPage(local));
    EXPECT_EQ(readBytes(out + "tmbrmjbab3002.js"), jukeboxScriptFile(CodeType::JavaScriptMethod1, online));
    EXPECT_EQ(readBytes(out + "onlinetest-jukebox.html"), jukeboxOnlineTestPage(code));
    EXPECT_EQ(result.code, code);
    EXPECT_EQ(result.instructions,
        jukeboxInstructions(
            CodeType::JavaScriptMethod1, online, { "b-side.mp3", "a-side.mp3", "intro.mp3" }));

    EXPECT_EQ(readBytes(out + "b-side.mp3"), trackBytes(1));
    EXPECT_EQ(readBytes(out + "a-side.mp3"), trackBytes(2));
    EXPECT_EQ(readBytes(out + "intro.mp3"), trackBytes(3));
    for (const std::string& folder : { out, folders.scratch }) {
        EXPECT_EQ(readBytes(folder + "mjb_450120.swf"), fakePlayerBytes("mjb_450120"));
        EXPECT_EQ(readBytes(folder + "swfobject.js"), kFakeSwfObject);
    }
}

TEST_F(JukeboxGenerator, ColourGoesIntoTheSettingsWhenTheNameMentionsLeonAnywhere)
{
    settings.multiPlayer = "mjb_150100_leonx";
    settings.playerColorMulti = "0x0A00FF";
    settings.codeType = CodeType::JavaScriptMethod2;
    const GenerationResult result = run();
    ASSERT_EQ(result.status, GenerationStatus::Generated) << result.message;
    EXPECT_EQ(readBytes(out + "settings_as.xml"),
        jukeboxSettings(expectedOptions(), true, "0x0A00FF", expectedPlaylist(), "/audiofiles/",
            UrlPrefixKind::ServerPath));
    EXPECT_NE(readBytes(out + "settings_as.xml").find("<AR>0x0A00FF</AR>"), std::string::npos);
    EXPECT_EQ(namesIn(folders.scratch),
        (std::vector<std::string> { "do-not-upload.html", "mjb_150100_leonx.swf", "settings_as.xml" }));
    const JukeboxValues values = expectedValues("ab3002", "150", "100");
    EXPECT_EQ(readBytes(out + "tmbrmjbab3002.js"), jukeboxScriptFile(CodeType::JavaScriptMethod2, values));
    EXPECT_FALSE(exists(out + "swfobject.js"));
    EXPECT_EQ(result.code, jukeboxPageCode(CodeType::JavaScriptMethod2, values));
}

TEST_F(JukeboxGenerator, PlayerPathWithoutSlashGainsOneAndIsCopiedIntoTheMp3Path)
{
    setServerPathMultiPlayer(settings, "/jukebox");
    settings.serverPathMultiMp3 = "/other";
    const GenerationResult result = run();
    ASSERT_EQ(result.status, GenerationStatus::Generated) << result.message;
    EXPECT_EQ(settings.serverPathMultiPlayer, "/jukebox/");
    EXPECT_EQ(settings.serverPathMultiMp3, "/jukebox/");
    EXPECT_NE(readBytes(out + "settings_as.xml").find("url=\"/jukebox/intro.mp3\""), std::string::npos);
}

TEST_F(JukeboxGenerator, Mp3PathGainsItsOwnSlashWhenThePlayerPathIsComplete)
{
    settings.serverPathMultiMp3 = "/audio";
    ASSERT_EQ(run().status, GenerationStatus::Generated);
    EXPECT_EQ(settings.serverPathMultiPlayer, "/jukebox/");
    EXPECT_EQ(settings.serverPathMultiMp3, "/audio/");

    setServerPathMultiPlayer(settings, "   ");
    settings.serverPathMultiMp3 = "/music";
    ASSERT_EQ(run().status, GenerationStatus::Generated);
    EXPECT_EQ(settings.serverPathMultiPlayer, "   ");
    EXPECT_EQ(settings.serverPathMultiMp3, "/music/");
}

TEST_F(JukeboxGenerator, Mp3PathKeepsItsBlanksInTrackUrlsAndLosesThemInTheInstructions)
{
    settings.serverPathMultiMp3 = " /audio files/ ";
    const GenerationResult result = run();
    ASSERT_EQ(result.status, GenerationStatus::Generated) << result.message;
    EXPECT_EQ(settings.serverPathMultiMp3, " /audio files/ /");
    EXPECT_EQ(readBytes(out + "settings_as.xml"),
        jukeboxSettings(expectedOptions(), false, "0xFFCC00", expectedPlaylist(), " /audio files/ /",
            UrlPrefixKind::ServerPath));
    JukeboxValues values = expectedValues("ab3002", "450", "120");
    values.mp3PathTrimmed = "/audio files/ /";
    EXPECT_EQ(result.instructions,
        jukeboxInstructions(
            CodeType::JavaScriptMethod1, values, { "b-side.mp3", "a-side.mp3", "intro.mp3" }));
}

TEST_F(JukeboxGenerator, ValidatesPlaylistThenPathsThenOutputFolderWritingNothing)
{
    GeneratorSettings empty;
    setServerPathMultiPlayer(empty, "/jukebox");
    GenerationResult result = generateJukebox(empty, folders, clock.clock());
    EXPECT_EQ(result.status, GenerationStatus::Invalid);
    EXPECT_EQ(result.message, "PLEASE SELECT YOUR AUDIO MP3 FILES");
    EXPECT_EQ(result.followUp, FollowUp::OpenJukeboxFileSelection);
    EXPECT_EQ(empty.serverPathMultiPlayer, "/jukebox");

    chooseJukeboxFiles(empty, music, { "a-side.mp3", "b-side.mp3" });
    empty.serverPathMultiMp3 = "/mp3";
    result = generateJukebox(empty, folders, clock.clock());
    EXPECT_EQ(result.status, GenerationStatus::Invalid);
    EXPECT_EQ(result.message, "OUTPUT FOLDER NAME CAN'T BE EMPTY!");
    EXPECT_EQ(result.followUp, FollowUp::FocusJukeboxOutputButton);
    EXPECT_EQ(empty.serverPathMultiPlayer, "/jukebox/");
    EXPECT_EQ(empty.serverPathMultiMp3, "/jukebox/");

    EXPECT_EQ(clock.readings, 0);
    EXPECT_FALSE(exists(folders.scratch));
    EXPECT_TRUE(namesIn(out).empty());
}

TEST_F(JukeboxGenerator, FlashEmbedCodeKeepsOldScriptsAndScriptRunsLeaveExactlyOne)
{
    writeBytes(out + "tmbrmjbab0000.js", "old");
    writeBytes(out + "tmbrwbcab0000.js", "a button script stays");
    settings.codeType = CodeType::FlashEmbedCode;
    GenerationResult result = run();
    ASSERT_EQ(result.status, GenerationStatus::Generated);
    EXPECT_EQ(clock.readings, 1);
    EXPECT_EQ(readBytes(out + "tmbrmjbab0000.js"), "old");
    EXPECT_FALSE(exists(out + "swfobject.js"));
    EXPECT_EQ(result.code, jukeboxPageCode(CodeType::FlashEmbedCode, expectedValues("ab3001", "450", "120")));

    settings.codeType = CodeType::JavaScriptMethod2;
    ASSERT_EQ(run().status, GenerationStatus::Generated);
    settings.codeType = CodeType::JavaScriptMethod1;
    ASSERT_EQ(run().status, GenerationStatus::Generated);
    std::vector<std::string> scripts;
    for (const std::string& name : namesIn(out)) {
        if (name.rfind("tmbr", 0) == 0)
            scripts.push_back(name);
    }
    EXPECT_EQ(scripts, (std::vector<std::string> { "tmbrmjbab3005.js", "tmbrwbcab0000.js" }));
}

TEST_F(JukeboxGenerator, Mp3FolderEqualToTheOutputFolderCopiesNoTrack)
{
    for (const char* name : { "b-side.mp3", "a-side.mp3", "intro.mp3" })
        std::filesystem::rename(music + name, out + name);
    settings.multiLocalPath = out;
    const ino_t before = inodeOf(out + "intro.mp3");
    ASSERT_EQ(run().status, GenerationStatus::Generated);
    EXPECT_EQ(inodeOf(out + "intro.mp3"), before);
    EXPECT_EQ(readBytes(out + "intro.mp3"), trackBytes(3));
    // The scratch folder receives no tracks: the local settings point at the output folder.
    EXPECT_FALSE(exists(folders.scratch + "intro.mp3"));
}

TEST_F(JukeboxGenerator, MissingTrackFailsWithTheStandardErrorAndKeepsEarlierFiles)
{
    std::filesystem::remove(music + "a-side.mp3");
    const GenerationResult result = run();
    EXPECT_EQ(result.status, GenerationStatus::Failed);
    EXPECT_EQ(result.message, standardErrorText(53, "File not found: " + music + "a-side.mp3"));
    EXPECT_TRUE(result.code.empty() && result.instructions.empty());
    EXPECT_EQ(namesIn(out),
        (std::vector<std::string> {
            "b-side.mp3", "onlinetest-jukebox.html", "settings_as.xml", "tmbrmjbab3002.js" }));
    EXPECT_EQ(
        namesIn(folders.scratch), (std::vector<std::string> { "do-not-upload.html", "settings_as.xml" }));
}

TEST_F(JukeboxGenerator, OutputFolderUnderAFileFailsAfterTheLocalSettings)
{
    writeBytes(temp.path() + "plainfile", "x");
    chooseJukeboxOutputFolder(settings, temp.path() + "plainfile/site");
    const GenerationResult result = run();
    EXPECT_EQ(result.status, GenerationStatus::Failed);
    EXPECT_EQ(result.message,
        standardErrorText(76, "Path not found: " + temp.path() + "plainfile/site/settings_as.xml"));
    EXPECT_EQ(namesIn(folders.scratch), (std::vector<std::string> { "settings_as.xml" }));
    EXPECT_EQ(clock.readings, 0);
}

TEST_F(JukeboxGenerator, MissingPlayerFileFailsAfterTheTrackCopies)
{
    settings.multiPlayer = "mjb_999999";
    const GenerationResult result = run();
    EXPECT_EQ(result.status, GenerationStatus::Failed);
    EXPECT_EQ(result.message,
        standardErrorText(53, "File not found: " + folders.app + "jukeboxplayers/mjb_999999.swf"));
    EXPECT_TRUE(exists(out + "intro.mp3"));
    EXPECT_FALSE(exists(out + "mjb_999999.swf"));
}

TEST(JukeboxPreviewSettings, WritesThePreviewCopyAndIgnoresFailures)
{
    TempFolder temp;
    AppFolders folders { temp.path() + "app/", temp.path() + "scratch/" };
    makeAppFolder(folders.app, {}, { "mjb_300200_chameleon" });
    writeJukeboxPreviewSettings(folders, "0x123456");
    EXPECT_EQ(readBytes(folders.app + "jukeboxplayers/settings_as.xml"), jukeboxPreviewSettings("0x123456"));

    AppFolders missing { temp.path() + "nothing/", temp.path() + "scratch/" };
    EXPECT_NO_THROW(writeJukeboxPreviewSettings(missing, "0x123456"));
    EXPECT_FALSE(exists(temp.path() + "nothing"));
}
