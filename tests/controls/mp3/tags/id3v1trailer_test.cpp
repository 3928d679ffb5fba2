#include "id3v1trailer.h"

#include <gtest/gtest.h>
#include <string>

using namespace vlsmp3;

namespace {
std::string field(const Id3v1Trailer& trailer, std::size_t offset, std::size_t width)
{
    return std::string(reinterpret_cast<const char*>(trailer.data()) + offset, width);
}
} // namespace

// No field set: no trailer at all.
TEST(Id3v1Trailer, NothingWithoutTags)
{
    EXPECT_FALSE(buildId3v1Trailer(TagFields {}).has_value());
}

// Every field at its offset, zero-padded, genre byte from the table.
TEST(Id3v1Trailer, LaysOutEveryField)
{
    TagFields tags { u"Title", u"Artist", u"Album", u"2024", u"Synthpop", u"", u"Comment" };
    const auto trailer = buildId3v1Trailer(tags);
    ASSERT_TRUE(trailer.has_value());
    EXPECT_EQ(field(*trailer, 0, 3), "TAG");
    EXPECT_EQ(field(*trailer, 3, 30), std::string("Title") + std::string(25, '\0'));
    EXPECT_EQ(field(*trailer, 33, 30), std::string("Artist") + std::string(24, '\0'));
    EXPECT_EQ(field(*trailer, 63, 30), std::string("Album") + std::string(25, '\0'));
    EXPECT_EQ(field(*trailer, 93, 4), "2024");
    EXPECT_EQ(field(*trailer, 97, 30), std::string("Comment") + std::string(23, '\0'));
    EXPECT_EQ((*trailer)[127], 147);
}

// Only a title: genre byte 255, everything else zero.
TEST(Id3v1Trailer, OnlyTitleGivesGenre255)
{
    TagFields tags;
    tags.title = u"Song";
    const auto trailer = buildId3v1Trailer(tags);
    ASSERT_TRUE(trailer.has_value());
    Id3v1Trailer expected {};
    std::string head = std::string("TAG") + "Song";
    std::copy(head.begin(), head.end(), expected.begin());
    expected[127] = 255;
    EXPECT_EQ(*trailer, expected);
}

// Long text is cut at the field width with no terminator; the year keeps four bytes.
TEST(Id3v1Trailer, CutsAtFieldWidth)
{
    TagFields tags;
    tags.title = u"0123456789012345678901234567890123456789";
    tags.year = u"20245";
    tags.comment = u"abcdefghijklmnopqrstuvwxyz0123456789";
    const auto trailer = buildId3v1Trailer(tags);
    ASSERT_TRUE(trailer.has_value());
    EXPECT_EQ(field(*trailer, 3, 30), "012345678901234567890123456789");
    EXPECT_EQ(field(*trailer, 93, 4), "2024");
    EXPECT_EQ(field(*trailer, 97, 30), "abcdefghijklmnopqrstuvwxyz0123");
}

// A track number shortens the comment to 28 bytes and takes bytes 125 and 126.
TEST(Id3v1Trailer, TrackNumberTakesTheLastCommentBytes)
{
    TagFields tags;
    tags.comment = u"abcdefghijklmnopqrstuvwxyz0123456789";
    tags.trackNo = u"7";
    auto trailer = buildId3v1Trailer(tags);
    ASSERT_TRUE(trailer.has_value());
    EXPECT_EQ(field(*trailer, 97, 28), "abcdefghijklmnopqrstuvwxyz01");
    EXPECT_EQ((*trailer)[125], 0);
    EXPECT_EQ((*trailer)[126], 7);

    tags.trackNo = u"7/12";
    EXPECT_EQ((*buildId3v1Trailer(tags))[126], 7);
    tags.trackNo = u"300";
    EXPECT_EQ((*buildId3v1Trailer(tags))[126], 300 & 0xFF);
    tags.trackNo = u"side A";
    trailer = buildId3v1Trailer(tags);
    EXPECT_EQ((*trailer)[125], 0);
    EXPECT_EQ((*trailer)[126], 0);
}

// Latin-1 text gives its bytes; other characters become one '?' each, a surrogate pair too.
TEST(Id3v1Trailer, TextIsLatin1WithQuestionMarks)
{
    TagFields tags;
    tags.title = u"Caf\u00e9 \u00fcber";
    tags.artist = u"\u041f\u0451\u0442\u0440";
    tags.album = u"A\U0001F3B5B";
    const auto trailer = buildId3v1Trailer(tags);
    ASSERT_TRUE(trailer.has_value());
    EXPECT_EQ(field(*trailer, 3, 10),
        std::string("Caf\xe9 \xfc"
                    "ber\0",
            10));
    EXPECT_EQ(field(*trailer, 33, 5), std::string("????\0", 5));
    EXPECT_EQ(field(*trailer, 63, 4), std::string("A?B\0", 4));

    // Thirty characters outside Latin-1 that take two units each still fill exactly 30 bytes.
    std::u16string notes;
    for (int i = 0; i < 31; ++i)
        notes += u"\U0001F3B5";
    tags.title = notes;
    EXPECT_EQ(field(*buildId3v1Trailer(tags), 3, 30), std::string(30, '?'));
}
