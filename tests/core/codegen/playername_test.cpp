#include "codegen/characters.h"
#include "codegen/playername.h"

#include <gtest/gtest.h>

using namespace tmbr::codegen;

TEST(PlayerName, ColourableEndsWithLeonExactlyWhileTheSettingsLookAnywhere)
{
    EXPECT_TRUE(isColourable("btn01type04chameleon"));
    EXPECT_TRUE(isColourable("leon"));
    EXPECT_FALSE(isColourable("btn01type04Leon"));
    EXPECT_FALSE(isColourable("leonbutton"));
    EXPECT_FALSE(isColourable("eon"));
    EXPECT_TRUE(mentionsColour("mjb_300200_leon_dark"));
    EXPECT_TRUE(mentionsColour("chameleon"));
    EXPECT_FALSE(mentionsColour("mjb_300200_Leon"));
}

TEST(PlayerName, SingleSizeComesFromCharactersSixToEleven)
{
    const auto size = [](const std::string& name) {
        const PlayerSize s = singlePlayerSize(name);
        return s.width + "x" + s.height;
    };
    EXPECT_EQ(size("btn01type04"), "75x25");
    EXPECT_EQ(size("btn01type07chameleon"), "125x22");
    EXPECT_EQ(size("btn01type08"), "222x25");
    EXPECT_EQ(size("btn01type09"), "68x22");
    EXPECT_EQ(size("btn01Type04"), "68x22");
    EXPECT_EQ(size("btn01type0"), "68x22"); // shorter than 11 characters
    EXPECT_EQ(size(""), "68x22");
    // Characters, not bytes: "ñ" and "€" are one character each.
    EXPECT_EQ(size("ñ€n01type07"), "125x22");
    EXPECT_EQ(size("bt€01type08xyz"), "222x25");
}

TEST(PlayerName, JukeboxSizeIsThreeDigitsFromFiveAndThreeFromEight)
{
    const PlayerSize size = jukeboxPlayerSize("mjb_300200_chameleon");
    EXPECT_EQ(size.width, "300");
    EXPECT_EQ(size.height, "200");
    const PlayerSize unicode = jukeboxPlayerSize("ü€é_450120");
    EXPECT_EQ(unicode.width, "450");
    EXPECT_EQ(unicode.height, "120");
    const PlayerSize shortName = jukeboxPlayerSize("mjb_3002");
    EXPECT_EQ(shortName.width, "300");
    EXPECT_EQ(shortName.height, "2");
    const PlayerSize tiny = jukeboxPlayerSize("mjb");
    EXPECT_EQ(tiny.width, "");
    EXPECT_EQ(tiny.height, "");
}

TEST(Characters, CountAndCutAtCodePoints)
{
    EXPECT_EQ(characterCount("a€ü"), 3U);
    EXPECT_EQ(characters("a€ü😀z", 1, 3), "€ü😀");
    EXPECT_EQ(characters("abc", 5, 2), "");
    EXPECT_EQ(withoutLastCharacters("chanson été.mp3", 4), "chanson été");
    EXPECT_EQ(withoutLastCharacters("x€yz", 3), "x");
    EXPECT_EQ(withoutLastCharacters("mp3", 4), "");
    // A byte outside any well-formed sequence is a character of its own.
    EXPECT_EQ(characterCount("a\x80\xff\xc3"), 4U);
    EXPECT_EQ(characters("\xe2\x82x\xc3\xa9", 1, 2), "\x82x");
    EXPECT_EQ(trimmedBlanks("  /audio/ "), "/audio/");
    EXPECT_EQ(trimmedBlanks("   "), "");
    EXPECT_EQ(trimmedBlanks("\t/a\t"), "\t/a\t");
}
