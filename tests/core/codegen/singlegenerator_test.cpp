#include "codegen/generationerror.h"
#include "codegen/generators.h"
#include "codegen/pagecodeencoder.h"
#include "codegen/singletemplates.h"
#include "testfolders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tmbr::codegen;
using namespace tmbr::testing;

namespace {

// A clock that moves on by one second at every reading: 10:05:09, 10:05:10, ...
struct SteppingClock {
    int readings = 0;
    Clock clock()
    {
        return [this] {
            const int second = 9 + readings++;
            return TimeOfDay { 10, 5 + second / 60, second % 60 };
        };
    }
};

ino_t inodeOf(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

const std::string kSongBytes
    = std::string("ID3\x03\0\0\0\0\0\0\xff\xfb\x90\x64", 14) + std::string(5000, '\x55');

class SingleGenerator : public ::testing::Test {
protected:
    void SetUp() override
    {
        folders.app = temp.path() + "app/";
        folders.scratch = temp.path() + "cache/tmbrsa/temp/"; // created by the run
        makeAppFolder(folders.app, { "btn01type04", "abcdetype07chameleon" }, {});
        music = temp.folder("music");
        out = temp.folder("site");
        writeBytes(music + "song.mp3", kSongBytes);

        settings.singlePlayer = "btn01type04";
        settings.serverPathSingle = "/audio";
        locateSingleMp3(settings, music + "song.mp3");
        chooseSingleOutputFolder(settings, temp.path() + "site");
    }

    // The values the run is expected to derive, with the given {ID}.
    SingleButtonValues expectedValues(const std::string& id) const
    {
        SingleButtonValues values;
        values.id = id;
        values.playerFile = settings.singlePlayer + ".swf";
        values.serverPath = "/audio/";
        values.mp3Name = settings.mp3Name;
        values.autoPlay = settings.singleAuto;
        values.loop = settings.singleLoop;
        values.colourable = false;
        values.colour = settings.playerColorSingle;
        values.width = "75";
        values.height = "25";
        values.outputFolder = out;
        return values;
    }

    GenerationResult run() { return generateSingleButton(settings, folders, clock.clock()); }

    TempFolder temp;
    AppFolders folders;
    std::string music;
    std::string out;
    GeneratorSettings settings;
    SteppingClock clock;
};

} // namespace

TEST_F(SingleGenerator, JavaScriptMethod1WritesAndCopiesEveryFile)
{
    const GenerationResult result = run();
    ASSERT_EQ(result.status, GenerationStatus::Generated) << result.message;
    EXPECT_EQ(settings.serverPathSingle, "/audio/");
    EXPECT_EQ(clock.readings, 2);

    EXPECT_EQ(namesIn(out),
        (std::vector<std::string> { "btn01type04.swf", "onlinetest-single-button.html", "song.mp3",
            "swfobject.js", "tmbrwbcab0510.js" }));
    EXPECT_EQ(namesIn(folders.scratch),
        (std::vector<std::string> { "btn01type04.swf", "do-not-upload.html", "song.mp3", "swfobject.js" }));

    // The local page takes the first PlayerId, the script and the code the second.
    const SingleButtonValues local = expectedValues("ab0509");
    const SingleButtonValues online = expectedValues("ab0510");
    const std::string code = singlePlayerCode(CodeType::JavaScriptMethod1, online);
    EXPECT_EQ(readBytes(folders.scratch + "do-not-upload.html"), singleLocalTestPage(local));
    EXPECT_EQ(readBytes(out + "tmbrwbcab0510.js"), singleScriptFile(CodeType::JavaScriptMethod1, online));
    EXPECT_EQ(readBytes(out + "onlinetest-single-button.html"), singleOnlineTestPage(code));
    EXPECT_EQ(result.code, code);
    EXPECT_EQ(result.instructions, singleInstructions(CodeType::JavaScriptMethod1, online));
    EXPECT_NE(result.code.find("src=\"/audio/tmbrwbcab0510.js\""), std::string::npos);

    const std::string player = fakePlayerBytes("btn01type04");
    for (const std::string& folder : { out, folders.scratch }) {
        EXPECT_EQ(readBytes(folder + "song.mp3"), kSongBytes);
        EXPECT_EQ(readBytes(folder + "btn01type04.swf"), player);
        EXPECT_EQ(readBytes(folder + "swfobject.js"), kFakeSwfObject);
    }
}

TEST_F(SingleGenerator, JavaScriptMethod2WritesItsScriptButNoScriptLibrary)
{
    settings.codeType = CodeType::JavaScriptMethod2;
    settings.singlePlayer = "abcdetype07chameleon";
    settings.singleAuto = true;
    settings.singleLoop = true;
    settings.playerColorSingle = "0x0A00FF";
    const GenerationResult result = run();
    ASSERT_EQ(result.status, GenerationStatus::Generated) << result.message;

    EXPECT_EQ(namesIn(out),
        (std::vector<std::string> {
            "abcdetype07chameleon.swf", "onlinetest-single-button.html", "song.mp3", "tmbrwbcab0510.js" }));
    EXPECT_EQ(namesIn(folders.scratch),
        (std::vector<std::string> { "abcdetype07chameleon.swf", "do-not-upload.html", "song.mp3" }));
    SingleButtonValues values = expectedValues("ab0510");
    values.colourable = true;
    values.width = "125";
    values.height = "22";
    EXPECT_EQ(readBytes(out + "tmbrwbcab0510.js"), singleScriptFile(CodeType::JavaScriptMethod2, values));
    EXPECT_NE(readBytes(out + "tmbrwbcab0510.js").find("c=0x0A00FF"), std::string::npos);
    EXPECT_EQ(result.code, singlePlayerCode(CodeType::JavaScriptMethod2, values));
    EXPECT_EQ(result.instructions, singleInstructions(CodeType::JavaScriptMethod2, values));
    values.id = "ab0509";
    EXPECT_EQ(readBytes(folders.scratch + "do-not-upload.html"), singleLocalTestPage(values));
}

TEST_F(SingleGenerator, FlashEmbedCodeWritesNoScriptAndKeepsOldScripts)
{
    writeBytes(out + "tmbrwbcab0000.js", "old");
    settings.codeType = CodeType::FlashEmbedCode;
    const GenerationResult result = run();
    ASSERT_EQ(result.status, GenerationStatus::Generated) << result.message;
    EXPECT_EQ(clock.readings, 1);
    EXPECT_EQ(namesIn(out),
        (std::vector<std::string> {
            "btn01type04.swf", "onlinetest-single-button.html", "song.mp3", "tmbrwbcab0000.js" }));
    EXPECT_EQ(readBytes(out + "tmbrwbcab0000.js"), "old");
    const SingleButtonValues values = expectedValues("ab0509");
    EXPECT_EQ(result.code, singlePlayerCode(CodeType::FlashEmbedCode, values));
    EXPECT_EQ(readBytes(out + "onlinetest-single-button.html"), singleOnlineTestPage(result.code));
    EXPECT_EQ(result.instructions, singleInstructions(CodeType::FlashEmbedCode, values));
}

TEST_F(SingleGenerator, SecondRunLeavesExactlyOneScriptFileTheNewOne)
{
    writeBytes(out + "tmbrwbcab4444.js", "older run");
    writeBytes(out + "tmbrmjbab4444.js", "a jukebox script stays");
    ASSERT_EQ(run().status, GenerationStatus::Generated);
    ASSERT_EQ(run().status, GenerationStatus::Generated);
    EXPECT_EQ(namesIn(out),
        (std::vector<std::string> { "btn01type04.swf", "onlinetest-single-button.html", "song.mp3",
            "swfobject.js", "tmbrmjbab4444.js", "tmbrwbcab0512.js" }));
    EXPECT_EQ(readBytes(out + "tmbrwbcab0512.js"),
        singleScriptFile(CodeType::JavaScriptMethod1, expectedValues("ab0512")));
}

TEST_F(SingleGenerator, Mp3FromTheOutputFolderIsNotCopiedOntoItself)
{
    writeBytes(out + "song.mp3", kSongBytes);
    locateSingleMp3(settings, out + "song.mp3");
    const ino_t before = inodeOf(out + "song.mp3");
    ASSERT_EQ(run().status, GenerationStatus::Generated);
    EXPECT_EQ(inodeOf(out + "song.mp3"), before);
    EXPECT_EQ(readBytes(out + "song.mp3"), kSongBytes);
    EXPECT_EQ(readBytes(folders.scratch + "song.mp3"), kSongBytes);
}

TEST_F(SingleGenerator, FoldersAreComparedAsTextSoAnotherSpellingCopiesHarmlessly)
{
    writeBytes(out + "song.mp3", kSongBytes);
    locateSingleMp3(settings, temp.path() + "./site/song.mp3");
    ASSERT_EQ(run().status, GenerationStatus::Generated);
    EXPECT_EQ(readBytes(out + "song.mp3"), kSongBytes);
    EXPECT_EQ(namesIn(out),
        (std::vector<std::string> { "btn01type04.swf", "onlinetest-single-button.html", "song.mp3",
            "swfobject.js", "tmbrwbcab0510.js" }));
}

TEST_F(SingleGenerator, ValidatesMp3ThenServerPathThenOutputFolderWritingNothing)
{
    GeneratorSettings empty;
    empty.serverPathSingle = "/audio";
    GenerationResult result = generateSingleButton(empty, folders, clock.clock());
    EXPECT_EQ(result.status, GenerationStatus::Invalid);
    EXPECT_EQ(result.message, "PLEASE SELECT YOUR AUDIO MP3 FILE!");
    EXPECT_EQ(result.followUp, FollowUp::None);
    EXPECT_EQ(empty.serverPathSingle, "/audio");

    locateSingleMp3(empty, music + "song.mp3");
    result = generateSingleButton(empty, folders, clock.clock());
    EXPECT_EQ(result.status, GenerationStatus::Invalid);
    EXPECT_EQ(result.message, "OUTPUT FOLDER NAME CAN'T BE EMPTY!");
    EXPECT_EQ(result.followUp, FollowUp::FocusSingleOutputButton);
    EXPECT_EQ(empty.serverPathSingle, "/audio/");
    EXPECT_TRUE(result.code.empty() && result.instructions.empty());

    EXPECT_EQ(clock.readings, 0);
    EXPECT_FALSE(exists(folders.scratch));
    EXPECT_TRUE(namesIn(out).empty());
}

TEST_F(SingleGenerator, BlankServerPathCountsAsEmptyAndOthersAreTrimmedInTheCode)
{
    settings.serverPathSingle = "   ";
    ASSERT_EQ(run().status, GenerationStatus::Generated);
    EXPECT_EQ(settings.serverPathSingle, "   ");
    SingleButtonValues values = expectedValues("ab0510");
    values.serverPath = "";
    EXPECT_EQ(readBytes(out + "tmbrwbcab0510.js"), singleScriptFile(CodeType::JavaScriptMethod1, values));

    settings.serverPathSingle = "  /audio/  ";
    const GenerationResult result = run();
    ASSERT_EQ(result.status, GenerationStatus::Generated);
    EXPECT_EQ(settings.serverPathSingle, "  /audio/  /");
    values = expectedValues("ab0512");
    values.serverPath = "/audio/  /";
    EXPECT_EQ(result.instructions, singleInstructions(CodeType::JavaScriptMethod1, values));
}

TEST_F(SingleGenerator, EncryptShowsEncodedCodeWhileTheOnlinePageKeepsThePlainCode)
{
    settings.encryptSingle = true;
    const GenerationResult result = run();
    ASSERT_EQ(result.status, GenerationStatus::Generated);
    const std::string plain = singlePlayerCode(CodeType::JavaScriptMethod1, expectedValues("ab0510"));
    EXPECT_EQ(result.code, EncodePageCode(plain));
    EXPECT_NE(result.code, plain);
    EXPECT_EQ(readBytes(out + "onlinetest-single-button.html"), singleOnlineTestPage(plain));
}

TEST_F(SingleGenerator, MissingPlayerFailsWithTheStandardErrorAndKeepsEarlierFiles)
{
    std::filesystem::remove(folders.app + "buttonplayers/btn01type04.swf");
    const GenerationResult result = run();
    EXPECT_EQ(result.status, GenerationStatus::Failed);
    EXPECT_EQ(result.message,
        standardErrorText(53, "File not found: " + folders.app + "buttonplayers/btn01type04.swf"));
    EXPECT_EQ(result.message.rfind("INTERNAL ERROR OCCURED - ERROR NUMBER: 53 - FILE NOT FOUND: ", 0), 0U);
    EXPECT_TRUE(result.code.empty());
    // Written before the failing copy: pages, script, MP3 copies; nothing after it.
    EXPECT_EQ(namesIn(out),
        (std::vector<std::string> { "onlinetest-single-button.html", "song.mp3", "tmbrwbcab0510.js" }));
    EXPECT_EQ(namesIn(folders.scratch), (std::vector<std::string> { "do-not-upload.html", "song.mp3" }));
}

TEST_F(SingleGenerator, UnwritableOutputFolderFailsWithPathNotFoundAfterTheLocalPage)
{
    writeBytes(temp.path() + "plainfile", "x");
    settings.singleOutDir = temp.path() + "plainfile/site/";
    const GenerationResult result = run();
    EXPECT_EQ(result.status, GenerationStatus::Failed);
    EXPECT_EQ(result.message.rfind("INTERNAL ERROR OCCURED - ERROR NUMBER: 76 - PATH NOT FOUND: ", 0), 0U)
        << result.message;
    EXPECT_EQ(namesIn(folders.scratch), (std::vector<std::string> { "do-not-upload.html" }));
}

TEST_F(SingleGenerator, MissingScriptLibraryFailsAfterThePlayerCopies)
{
    std::filesystem::remove(folders.app + "swfobject.js");
    const GenerationResult result = run();
    EXPECT_EQ(result.status, GenerationStatus::Failed);
    EXPECT_EQ(result.message, standardErrorText(53, "File not found: " + folders.app + "swfobject.js"));
    EXPECT_EQ(namesIn(folders.scratch),
        (std::vector<std::string> { "btn01type04.swf", "do-not-upload.html", "song.mp3" }));
}

TEST_F(SingleGenerator, NonAsciiMp3NameIsCopiedUnderItsOwnName)
{
    writeBytes(music + "chanson été #1.mp3", kSongBytes);
    locateSingleMp3(settings, music + "chanson été #1.mp3");
    const GenerationResult result = run();
    ASSERT_EQ(result.status, GenerationStatus::Generated) << result.message;
    EXPECT_EQ(readBytes(out + "chanson été #1.mp3"), kSongBytes);
    EXPECT_EQ(readBytes(folders.scratch + "chanson été #1.mp3"), kSongBytes);
    EXPECT_EQ(result.instructions, singleInstructions(CodeType::JavaScriptMethod1, expectedValues("ab0510")));
}
