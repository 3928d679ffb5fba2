#include "codegen/generationerror.h"
#include "codegen/generators.h"
#include "codegen/jukeboxtemplates.h"
#include "runtmbr.h"

#include <gtest/gtest.h>

using namespace tmbr::codegen;
using namespace tmbr::testing;

namespace {

std::string trackBytes(char c)
{
    return std::string("\xff\xfb\x90\x44", 4) + std::string(1500, c);
}

class JukeboxCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = temp.path() + "app/";
        makeAppFolder(app, { "btn01type04" }, { "mjb_300200", "mjb_450120_chameleon" });
        scratch = temp.path() + "cache/tmbrsa/temp/";
        out = temp.folder("site");
        music = temp.folder("music");
        writeBytes(music + "one.mp3", trackBytes('1'));
        writeBytes(music + "two.mp3", trackBytes('2'));
        writeBytes(music + "three & more.mp3", trackBytes('3'));
    }

    TmbrRun run(std::vector<std::string> args)
    {
        args.insert(args.begin(), "jukebox");
        return runTmbr(args, { { "TMBRSA_APP_DIR", app }, { "XDG_CACHE_HOME", temp.path() + "cache" } },
            temp.path(), temp.folder("io"));
    }

    std::string scriptId() const
    {
        for (const std::string& name : namesIn(out)) {
            if (name.rfind("tmbrmjb", 0) == 0)
                return name.substr(7, 6);
        }
        return {};
    }

    TempFolder temp;
    std::string app;
    std::string scratch;
    std::string out;
    std::string music;
};

} // namespace

TEST_F(JukeboxCommand, GeneratesEveryFileAndPrintsCodeAndInstructions)
{
    const TmbrRun result = run({ "--player", "mjb_300200", "--out", "site", "--player-path", "/jukebox",
        "--display", "First & <best>", "--display", "Zweite Spur", "music/two.mp3", "music/one.mp3",
        "music/three & more.mp3" });
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::string id = scriptId();
    ASSERT_EQ(id.size(), 6U);

    JukeboxValues v;
    v.id = id;
    v.playerFile = "mjb_300200.swf";
    v.playerPath = "/jukebox/";
    v.width = "300";
    v.height = "200";
    v.outputFolder = out;
    v.mp3PathTrimmed = "/jukebox/";
    const std::vector<std::string> files = { "two.mp3", "one.mp3", "three & more.mp3" };
    const std::string code = jukeboxPageCode(CodeType::JavaScriptMethod1, v);
    EXPECT_EQ(result.out, savedCodeText(code, jukeboxInstructions(CodeType::JavaScriptMethod1, v, files)));

    const std::vector<Track> playlist = { { "two.mp3", "First & <best>" }, { "one.mp3", "Zweite Spur" },
        { "three & more.mp3", "three & more" } };
    const JukeboxOptions options { false, true, false, "50", false };
    EXPECT_EQ(readBytes(out + "settings_as.xml"),
        jukeboxSettings(options, false, "0xFFCC00", playlist, "/jukebox/", UrlPrefixKind::ServerPath));
    EXPECT_EQ(readBytes(scratch + "settings_as.xml"),
        jukeboxSettings(options, false, "0xFFCC00", playlist, out, UrlPrefixKind::LocalFolder));
    EXPECT_EQ(readBytes(out + "tmbrmjb" + id + ".js"), jukeboxScriptFile(CodeType::JavaScriptMethod1, v));
    EXPECT_EQ(readBytes(out + "onlinetest-jukebox.html"), jukeboxOnlineTestPage(code));
    EXPECT_EQ(readBytes(out + "three & more.mp3"), trackBytes('3'));
    EXPECT_EQ(namesIn(scratch),
        (std::vector<std::string> {
            "do-not-upload.html", "mjb_300200.swf", "settings_as.xml", "swfobject.js" }));
}

// The player path gains its "/" as generation gives it, and --mp3-path still wins over its copy.
TEST_F(JukeboxCommand, OptionsSetTheirFieldsAndTheMp3PathComesAfterThePlayerPath)
{
    const TmbrRun result
        = run({ "--mp3-path", " /mp3", "--player-path", "/jb", "--player", "mjb_450120_chameleon", "--out",
            out, "--code-type", "embed", "--colour", "0x00ff7f", "--auto-play", "--no-auto-progress",
            "--random", "--volume", "80%", "--bold", music + "one.mp3", music + "two.mp3" });
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<Track> playlist = { { "one.mp3", "one" }, { "two.mp3", "two" } };
    const JukeboxOptions options { true, false, true, "80%", true };
    EXPECT_EQ(readBytes(out + "settings_as.xml"),
        jukeboxSettings(options, true, "0x00FF7F", playlist, " /mp3/", UrlPrefixKind::ServerPath));
    EXPECT_EQ(scriptId(), "");
    JukeboxValues v;
    v.playerFile = "mjb_450120_chameleon.swf";
    v.playerPath = "/jb/";
    v.width = "450";
    v.height = "120";
    v.outputFolder = out;
    v.mp3PathTrimmed = "/mp3/";
    EXPECT_EQ(result.out,
        savedCodeText(jukeboxPageCode(CodeType::FlashEmbedCode, v),
            jukeboxInstructions(CodeType::FlashEmbedCode, v, { "one.mp3", "two.mp3" })));
}

TEST_F(JukeboxCommand, FileSelectionAndValidationMessagesExitTwo)
{
    TmbrRun result = run({ "--player", "mjb_300200", "--out", "site" });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "PLEASE SELECT YOUR AUDIO MP3 FILES\n");
    result = run({ "--player", "mjb_300200", "--out", "site", "music/one.mp3" });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "YOU NEED TO CHOOSE AT LEAST TWO MP3 AUDIO FILES.\n");
    result = run({ "--player", "mjb_300200", "music/one.mp3", "music/two.mp3" });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "OUTPUT FOLDER NAME CAN'T BE EMPTY!\n");
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(namesIn(out).empty());
}

TEST_F(JukeboxCommand, BadArgumentsAreRefusedWithExitTwo)
{
    writeBytes(temp.path() + "elsewhere/four.mp3", trackBytes('4'));
    TmbrRun result
        = run({ "--player", "mjb_300200", "--out", "site", "music/one.mp3", "elsewhere/four.mp3" });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err,
        "tmbr jukebox: the MP3 files must lie in one folder (" + temp.path() + "music and " + temp.path()
            + "elsewhere) (see 'tmbr jukebox --help')\n");
    result = run({ "--player", "mjb_300200", "--out", "site", "--display", "a", "--display", "b", "--display",
        "c", "music/one.mp3", "music/two.mp3" });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "tmbr jukebox: 3 --display names for 2 files (see 'tmbr jukebox --help')\n");
    result = run({ "--player", "btn01type04", "--out", "site", "music/one.mp3", "music/two.mp3" });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("unknown player 'btn01type04'"), std::string::npos);
    result = run({ "--player", "mjb_300200", "--out", "site", "music/one.mp3", "music/gone.mp3" });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "tmbr jukebox: no such file: music/gone.mp3 (see 'tmbr jukebox --help')\n");
    result = run({ "--player", "mjb_300200", "--encrypt", "music/one.mp3", "music/two.mp3" });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "tmbr jukebox: unknown option '--encrypt' (see 'tmbr jukebox --help')\n");
    EXPECT_TRUE(namesIn(out).empty());
}

TEST_F(JukeboxCommand, FileFailurePrintsTheStandardErrorTextWithExitOne)
{
    std::filesystem::remove(app + "swfobject.js");
    const TmbrRun result
        = run({ "--player", "mjb_300200", "--out", "site", "music/one.mp3", "music/two.mp3" });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, standardErrorText(53, "File not found: " + app + "swfobject.js") + "\n");
    EXPECT_EQ(readBytes(out + "two.mp3"), trackBytes('2'));
    EXPECT_TRUE(exists(scratch + "mjb_300200.swf"));
}

TEST_F(JukeboxCommand, HelpDocumentsEveryOption)
{
    const TmbrRun result = run({ "--help" });
    EXPECT_EQ(result.exitCode, 0);
    for (const char* option : { "--player NAME", "--out DIR", "--player-path TEXT", "--mp3-path TEXT",
             "--code-type", "js1", "js2", "embed", "--colour 0xRRGGBB", "--auto-play", "--no-auto-progress",
             "--random", "--volume TEXT", "--bold", "--display NAME", "FILE...", "--help" })
        EXPECT_NE(result.out.find(option), std::string::npos) << option;
}
