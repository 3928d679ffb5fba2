#include "mci/mcicommand.h"

#include <gtest/gtest.h>

using namespace tmbr::gui;

// A command splits into verb, device, words and the untouched rest.
TEST(MciCommand, SplitsVerbDeviceAndWords)
{
    const MciCommand command
        = parseMciCommand("  set recSound alignment 2 bitspersample 16  samplespersec 22050");
    EXPECT_EQ(command.verb, "set");
    EXPECT_EQ(command.device, "recSound");
    EXPECT_EQ(command.words,
        (std::vector<std::string> { "alignment", "2", "bitspersample", "16", "samplespersec", "22050" }));
    EXPECT_EQ(command.rest, "alignment 2 bitspersample 16  samplespersec 22050");

    const MciCommand empty = parseMciCommand(" \t ");
    EXPECT_EQ(empty.verb, "");
    EXPECT_EQ(empty.device, "");
    EXPECT_TRUE(empty.words.empty());
}

// Keywords compare without regard to ASCII case, and only whole words.
TEST(MciCommand, ComparesWordsWithoutCase)
{
    EXPECT_TRUE(sameWord("WaveAudio", "waveaudio"));
    EXPECT_FALSE(sameWord("wave", "waveaudio"));
    EXPECT_FALSE(sameWord("", "x"));
}

// The save path runs up to a trailing wait or notify flag; blanks and quotes are handled.
TEST(MciCommand, TakesTheSavePathUpToTheTrailingFlags)
{
    EXPECT_EQ(savePathOf("/home/me/My Songs/take one.wav wait"), "/home/me/My Songs/take one.wav");
    EXPECT_EQ(savePathOf("/tmp/a.wav"), "/tmp/a.wav");
    EXPECT_EQ(savePathOf("/tmp/a.wav notify WAIT"), "/tmp/a.wav");
    EXPECT_EQ(savePathOf("\"/tmp/with blank.wav\" wait"), "/tmp/with blank.wav");
    // A name that merely ends in the letters of a flag keeps them.
    EXPECT_EQ(savePathOf("/tmp/await"), "/tmp/await");
    EXPECT_EQ(savePathOf("/tmp/x wait wait"), "/tmp/x wait");
    EXPECT_EQ(savePathOf("wait"), "");
    EXPECT_EQ(savePathOf(" NOTIFY "), "");
}
