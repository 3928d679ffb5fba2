#include "codegen/generationerror.h"
#include "codegen/generators.h"
#include "codegen/pagecodeencoder.h"
#include "codegen/singletemplates.h"
#include "runtmbr.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tmbr::codegen;
using namespace tmbr::testing;

namespace {

const std::string kSong = std::string("ID3\x03\0\0\0\0\0\0\xff\xfb", 12) + std::string(3000, '\x42');

class ButtonCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = temp.path() + "app/";
        makeAppFolder(app, { "btn01type04", "abcdetype07chameleon" }, { "mjb_300200" });
        scratch = temp.path() + "cache/tmbrsa/temp/";
        out = temp.folder("site");
        writeBytes(temp.path() + "music/song.mp3", kSong);
    }

    TmbrRun run(std::vector<std::string> args)
    {
        args.insert(args.begin(), "button");
        return runTmbr(args, { { "TMBRSA_APP_DIR", app }, { "XDG_CACHE_HOME", temp.path() + "cache" } },
            temp.path(), temp.folder("io"));
    }

    // The {ID} of the script file that the run left in the output folder.
    std::string scriptId() const
    {
        for (const std::string& name : namesIn(out)) {
            if (name.rfind("tmbrwbc", 0) == 0)
                return name.substr(7, 6);
        }
        return {};
    }

    SingleButtonValues values(const std::string& id) const
    {
        SingleButtonValues v;
        v.id = id;
        v.playerFile = "btn01type04.swf";
        v.serverPath = "/audio/";
        v.mp3Name = "song.mp3";
        v.colour = "0xFFCC00";
        v.width = "75";
        v.height = "25";
        v.outputFolder = out;
        return v;
    }

    TempFolder temp;
    std::string app;
    std::string scratch;
    std::string out;
};

} // namespace

TEST_F(ButtonCommand, GeneratesEveryFileAndPrintsCodeAndInstructions)
{
    const TmbrRun result = run(
        { "--player", "btn01type04", "--mp3", "music/song.mp3", "--out", "site", "--server-path", "/audio" });
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::string id = scriptId();
    ASSERT_EQ(id.size(), 6U);
    const SingleButtonValues v = values(id);
    const std::string code = singlePlayerCode(CodeType::JavaScriptMethod1, v);
    EXPECT_EQ(result.out, savedCodeText(code, singleInstructions(CodeType::JavaScriptMethod1, v)));

    EXPECT_EQ(namesIn(out),
        (std::vector<std::string> { "btn01type04.swf", "onlinetest-single-button.html", "song.mp3",
            "swfobject.js", "tmbrwbc" + id + ".js" }));
    EXPECT_EQ(namesIn(scratch),
        (std::vector<std::string> { "btn01type04.swf", "do-not-upload.html", "song.mp3", "swfobject.js" }));
    EXPECT_EQ(readBytes(out + "tmbrwbc" + id + ".js"), singleScriptFile(CodeType::JavaScriptMethod1, v));
    EXPECT_EQ(readBytes(out + "onlinetest-single-button.html"), singleOnlineTestPage(code));
    EXPECT_EQ(readBytes(out + "song.mp3"), kSong);
    EXPECT_EQ(readBytes(scratch + "btn01type04.swf"), fakePlayerBytes("btn01type04"));
}

TEST_F(ButtonCommand, OptionsSetTheirFieldsAndEncryptEncodesOnlyThePrintedCode)
{
    const TmbrRun result = run({ "--player=abcdetype07chameleon", "--mp3", temp.path() + "music/song.mp3",
        "--out", out, "--code-type", "js2", "--colour", "0xabcdef", "--loop", "--auto-play", "--encrypt" });
    ASSERT_EQ(result.exitCode, 0) << result.err;
    SingleButtonValues v = values(scriptId());
    v.playerFile = "abcdetype07chameleon.swf";
    v.serverPath = "";
    v.autoPlay = true;
    v.loop = true;
    v.colourable = true;
    v.colour = "0xABCDEF";
    v.width = "125";
    v.height = "22";
    const std::string code = singlePlayerCode(CodeType::JavaScriptMethod2, v);
    EXPECT_EQ(
        result.out, savedCodeText(EncodePageCode(code), singleInstructions(CodeType::JavaScriptMethod2, v)));
    EXPECT_EQ(readBytes(out + "onlinetest-single-button.html"), singleOnlineTestPage(code));
    EXPECT_EQ(readBytes(out + "tmbrwbc" + v.id + ".js"), singleScriptFile(CodeType::JavaScriptMethod2, v));
    EXPECT_FALSE(exists(out + "swfobject.js"));
}

TEST_F(ButtonCommand, Mp3InTheOutputFolderIsNotCopiedOntoItself)
{
    writeBytes(out + "song.mp3", kSong);
    struct stat before { };
    ::stat((out + "song.mp3").c_str(), &before);
    const TmbrRun result = run({ "--player", "btn01type04", "--mp3", "./site/../site/song.mp3", "--out",
        "site/", "--code-type", "embed" });
    ASSERT_EQ(result.exitCode, 0) << result.err;
    struct stat after { };
    ::stat((out + "song.mp3").c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(namesIn(out),
        (std::vector<std::string> { "btn01type04.swf", "onlinetest-single-button.html", "song.mp3" }));
}

TEST_F(ButtonCommand, ValidationMessagesGoToStandardErrorWithExitTwo)
{
    TmbrRun result = run({ "--player", "btn01type04", "--server-path", "/audio" });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "PLEASE SELECT YOUR AUDIO MP3 FILE!\n");
    EXPECT_EQ(result.out, "");
    result = run({ "--player", "btn01type04", "--mp3", "", "--out", "site" });
    EXPECT_EQ(result.err, "PLEASE SELECT YOUR AUDIO MP3 FILE!\n");
    result = run({ "--player", "btn01type04", "--mp3", "music/song.mp3", "--out", "" });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "OUTPUT FOLDER NAME CAN'T BE EMPTY!\n");
    EXPECT_TRUE(namesIn(out).empty());
    EXPECT_TRUE(!exists(scratch) || namesIn(scratch).empty());
}

TEST_F(ButtonCommand, BadArgumentsAreRefusedWithExitTwoAndNothingWritten)
{
    const std::vector<std::string> base = { "--mp3", "music/song.mp3", "--out", "site" };
    const auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.end(), base.begin(), base.end());
        return run(extra);
    };
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        { { "--player", "nosuch" },
            "tmbr button: unknown player 'nosuch' (players in " + app
                + "buttonplayers/: abcdetype07chameleon, btn01type04) (see 'tmbr button "
                  "--help')\n" },
        { {}, "tmbr button: --player is required (see 'tmbr button --help')\n" },
        { { "--player", "btn01type04", "--volume", "5" },
            "tmbr button: unknown option '--volume' (see 'tmbr button --help')\n" },
        { { "--player", "btn01type04", "--colour", "FFCC00" },
            "tmbr button: --colour must be 0x followed by six hex digits RRGGBB, not 'FFCC00' (see 'tmbr "
            "button "
            "--help')\n" },
        { { "--player", "btn01type04", "--colour", "0xFFCC0G" }, "" },
        { { "--player", "btn01type04", "--colour", "0xFFCC000" }, "" },
        { { "--player", "btn01type04", "--code-type", "js3" },
            "tmbr button: --code-type must be js1, js2 or embed, not 'js3' (see 'tmbr button --help')\n" },
        { { "--player", "btn01type04", "--loop=yes" }, "" },
        { { "--player", "btn01type04", "--player", "btn01type04" }, "" },
        { { "--player", "btn01type04", "stray" }, "" },
    };
    for (const auto& [args, message] : cases) {
        const TmbrRun result = with(args);
        EXPECT_EQ(result.exitCode, 2) << result.err;
        if (!message.empty()) {
            EXPECT_EQ(result.err, message);
        }
        EXPECT_NE(result.err.find("tmbr button: "), std::string::npos);
        EXPECT_EQ(result.out, "");
    }
    TmbrRun result = run({ "--player", "btn01type04", "--mp3" });
    EXPECT_EQ(result.err, "tmbr button: option '--mp3' needs a value (see 'tmbr button --help')\n");
    result = run({ "--player", "btn01type04", "--mp3", "music/none.mp3", "--out", "site" });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "tmbr button: --mp3: no such file: music/none.mp3 (see 'tmbr button --help')\n");
    result = run({ "--player", "btn01type04", "--mp3", "music/song.mp3", "--out", "nowhere" });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "tmbr button: --out: no such folder: nowhere (see 'tmbr button --help')\n");
    EXPECT_TRUE(namesIn(out).empty());
}

TEST_F(ButtonCommand, FileFailurePrintsTheStandardErrorTextWithExitOne)
{
    std::filesystem::remove(app + "swfobject.js");
    const TmbrRun result = run({ "--player", "btn01type04", "--mp3", "music/song.mp3", "--out", "site" });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, standardErrorText(53, "File not found: " + app + "swfobject.js") + "\n");
    // Files written before the failure stay.
    EXPECT_TRUE(exists(out + "btn01type04.swf"));
    EXPECT_TRUE(exists(out + "onlinetest-single-button.html"));

    std::filesystem::remove_all(app + "buttonplayers");
    const TmbrRun missing = run({ "--player", "btn01type04", "--mp3", "music/song.mp3", "--out", "site" });
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, standardErrorText(76, "Path not found: " + app + "buttonplayers/") + "\n");
}

TEST_F(ButtonCommand, HelpDocumentsEveryOption)
{
    const TmbrRun result = run({ "--help" });
    EXPECT_EQ(result.exitCode, 0);
    for (const char* option :
        { "--player NAME", "--mp3 FILE", "--out DIR", "--server-path TEXT", "--code-type", "js1", "js2",
            "embed", "--colour 0xRRGGBB", "--loop", "--auto-play", "--encrypt", "--help" })
        EXPECT_NE(result.out.find(option), std::string::npos) << option;
    EXPECT_EQ(run({ "--player", "nosuch", "-h" }).exitCode, 0);
}
