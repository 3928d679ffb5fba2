#include "codegen/generators.h"
#include "codegen/generatorsettings.h"

#include <gtest/gtest.h>

using namespace tmbr::codegen;

TEST(GeneratorSettings, Mp3LocatorSetsNamePathAndFolder)
{
    GeneratorSettings settings;
    locateSingleMp3(settings, "/home/u/Music/my song.mp3");
    EXPECT_EQ(settings.mp3Name, "my song.mp3");
    EXPECT_EQ(settings.mp3Path, "/home/u/Music/my song.mp3");
    EXPECT_EQ(settings.singleLocalPath, "/home/u/Music/");
}

TEST(GeneratorSettings, OutputFolderButtonKeepsTheOldFolderOnCancelAndAddsTheSlash)
{
    GeneratorSettings settings;
    chooseSingleOutputFolder(settings, "");
    EXPECT_EQ(settings.singleOutDir, "");
    chooseSingleOutputFolder(settings, "/srv/site");
    EXPECT_EQ(settings.singleOutDir, "/srv/site/");
    chooseSingleOutputFolder(settings, "");
    EXPECT_EQ(settings.singleOutDir, "/srv/site/");
    chooseSingleOutputFolder(settings, "/");
    EXPECT_EQ(settings.singleOutDir, "/");
    chooseJukeboxOutputFolder(settings, "/srv/juke/");
    EXPECT_EQ(settings.multiOutDir, "/srv/juke/");
    EXPECT_EQ(settings.singleOutDir, "/");
}

TEST(GeneratorSettings, PlayerPathTypingCopiesIntoTheMp3Path)
{
    GeneratorSettings settings;
    settings.serverPathMultiMp3 = "/audiofiles/";
    setServerPathMultiPlayer(settings, " /jukebox ");
    EXPECT_EQ(settings.serverPathMultiPlayer, " /jukebox ");
    EXPECT_EQ(settings.serverPathMultiMp3, " /jukebox ");
}

TEST(GeneratorSettings, FileDialogResultNeedsTwoFilesAndReplacesThePlaylist)
{
    GeneratorSettings settings;
    ASSERT_TRUE(chooseJukeboxFiles(settings, "/m", { "b.mp3", "a.mp3" }));
    EXPECT_EQ(settings.multiLocalPath, "/m/");
    EXPECT_EQ(settings.mp3Files, (std::vector<std::string> { "b.mp3", "a.mp3" }));
    EXPECT_EQ(settings.mp3FileDisplayNames, (std::vector<std::string> { "b", "a" }));

    EXPECT_FALSE(chooseJukeboxFiles(settings, "/other/", { "only.mp3" }));
    EXPECT_FALSE(chooseJukeboxFiles(settings, "/other/", {}));
    EXPECT_EQ(settings.multiLocalPath, "/m/");
    EXPECT_EQ(settings.mp3Files.size(), 2U);

    ASSERT_TRUE(chooseJukeboxFiles(settings, "/n/", { "été.mp3", "x.MP3", "ab" }));
    EXPECT_EQ(settings.multiLocalPath, "/n/");
    EXPECT_EQ(settings.mp3FileDisplayNames, (std::vector<std::string> { "été", "x", "" }));
}

TEST(SavedCodeText, IsCodeFourLineBreaksInstructionsAndALineBreak)
{
    EXPECT_EQ(savedCodeText("C", "I"), "C\r\n\r\n\r\n\r\nI\r\n");
    EXPECT_EQ(savedCodeText("", ""), "\r\n\r\n\r\n\r\n\r\n");
}
