#include "genretable.h"

#include <gtest/gtest.h>
#include <set>

using namespace vlsmp3;

// The table holds 148 distinct names with the spellings that files carry.
TEST(GenreTable, HoldsTheNamesAtTheirNumbers)
{
    EXPECT_EQ(genreNames.size(), 148U);
    EXPECT_EQ(std::set<std::string_view>(genreNames.begin(), genreNames.end()).size(), 148U);
    EXPECT_EQ(genreNames[0], "Blues");
    EXPECT_EQ(genreNames[17], "Rock");
    EXPECT_EQ(genreNames[67], "Psychadelic");
    EXPECT_EQ(genreNames[78], "Rock & Roll");
    EXPECT_EQ(genreNames[133], "Negerpunk");
    EXPECT_EQ(genreNames[136], "Christian Gangsta Rap");
    EXPECT_EQ(genreNames[147], "Synthpop");
}

// Numbers read as atoi reads them; names match exactly; everything else gives 255.
TEST(GenreTable, GenreByteFollowsNumbersThenNames)
{
    EXPECT_EQ(genreByte(u""), 255);
    EXPECT_EQ(genreByte(u"12"), 12);
    EXPECT_EQ(genreByte(u"12abc"), 12);
    EXPECT_EQ(genreByte(u"  12"), 12);
    EXPECT_EQ(genreByte(u"\t+12"), 12);
    EXPECT_EQ(genreByte(u"147"), 147);
    EXPECT_EQ(genreByte(u"148"), 255);
    EXPECT_EQ(genreByte(u"200"), 255);
    EXPECT_EQ(genreByte(u"-5"), 255);
    EXPECT_EQ(genreByte(u"99999999999999999999"), 255);
    EXPECT_EQ(genreByte(u"0"), 0);
    EXPECT_EQ(genreByte(u"00"), 255);
    EXPECT_EQ(genreByte(u" 0"), 255);
    EXPECT_EQ(genreByte(u"Rock"), 17);
    EXPECT_EQ(genreByte(u"rock"), 255);
    EXPECT_EQ(genreByte(u"Synthpop"), 147);
    EXPECT_EQ(genreByte(u"Blues"), 0);
    EXPECT_EQ(genreByte(u"abc"), 255);
    EXPECT_EQ(genreByte(u"Rock "), 255);
}
