#include "codegen/colour.h"
#include "codegen/playerid.h"

#include <gtest/gtest.h>

using namespace tmbr::codegen;

TEST(ColourToHex, WritesRedGreenBlueAsSixUpperCaseDigits)
{
    EXPECT_EQ(ColourToHex(rgb(255, 204, 0)), "FFCC00");
    EXPECT_EQ(ColourToHex(rgb(10, 0, 255)), "0A00FF");
    EXPECT_EQ(ColourToHex(rgb(255, 204, 102)), "FFCC66");
    EXPECT_EQ(ColourToHex(rgb(15, 11, 1)), "0F0B01");
    EXPECT_EQ(ColourToHex(0), "000000");
    // Bits above the blue byte are not part of the colour.
    EXPECT_EQ(ColourToHex(0xFF000000U | rgb(1, 2, 3)), "010203");
}

TEST(PlayerId, IsAbFollowedByMinuteAndSecondWithLeadingZeros)
{
    EXPECT_EQ(PlayerId([] { return TimeOfDay { 14, 5, 9 }; }), "ab0509");
    EXPECT_EQ(PlayerId([] { return TimeOfDay { 23, 59, 59 }; }), "ab5959");
    EXPECT_EQ(PlayerId([] { return TimeOfDay { 0, 0, 0 }; }), "ab0000");
    const std::string now = PlayerId(systemClock());
    ASSERT_EQ(now.size(), 6U);
    EXPECT_EQ(now.substr(0, 2), "ab");
}
