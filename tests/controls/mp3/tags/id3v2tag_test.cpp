#include "id3v2tag.h"

#include <gtest/gtest.h>
#include <string>

using namespace vlsmp3;

namespace {
std::vector<std::uint8_t> bytes(const std::string& text)
{
    return { text.begin(), text.end() };
}

std::vector<std::uint8_t> slice(const std::vector<std::uint8_t>& tag, std::size_t from, std::size_t count)
{
    return { tag.begin() + static_cast<std::ptrdiff_t>(from),
        tag.begin() + static_cast<std::ptrdiff_t>(from + count) };
}
} // namespace

// No field set: no tag.
TEST(Id3v2Tag, NothingWithoutTags)
{
    EXPECT_TRUE(buildId3v2Tag(TagFields {}).empty());
}

// Only a title: one TIT2 frame, padded to exactly 1024 bytes, size field 00 00 07 76.
TEST(Id3v2Tag, OnlyTitleGivesA1024ByteTag)
{
    TagFields tags;
    tags.title = u"Song";
    const auto tag = buildId3v2Tag(tags);
    ASSERT_EQ(tag.size(), 1024U);
    EXPECT_EQ(
        slice(tag, 0, 10), (std::vector<std::uint8_t> { 'I', 'D', '3', 3, 0, 0, 0x00, 0x00, 0x07, 0x76 }));
    EXPECT_EQ(slice(tag, 10, 15), bytes(std::string("TIT2\0\0\0\x05\0\0\0Song", 15)));
    EXPECT_EQ(slice(tag, 25, 1024 - 25), std::vector<std::uint8_t>(1024 - 25, 0));
}

// Frames come in the order TCON TRCK COMM TYER TIT2 TPE1 TALB, COMM with "eng" and an empty
// description; the whole text goes in, longer than the ID3v1 fields.
TEST(Id3v2Tag, WritesFramesInOrder)
{
    TagFields tags { u"0123456789012345678901234567890123456789", u"Artist", u"Album", u"2024", u"Synthpop",
        u"7/12", u"Note" };
    const auto tag = buildId3v2Tag(tags);
    std::string expected;
    expected += std::string("TCON\0\0\0\x09\0\0\0Synthpop", 19);
    expected += std::string("TRCK\0\0\0\x05\0\0\0"
                            "7/12",
        15);
    expected += std::string("COMM\0\0\0\x09\0\0\0eng\0Note", 19);
    expected += std::string("TYER\0\0\0\x05\0\0\0"
                            "2024",
        15);
    expected += std::string("TIT2\0\0\0\x29\0\0\0", 11) + "0123456789012345678901234567890123456789";
    expected += std::string("TPE1\0\0\0\x07\0\0\0"
                            "Artist",
        17);
    expected += std::string("TALB\0\0\0\x06\0\0\0"
                            "Album",
        16);
    ASSERT_EQ(tag.size(), 1024U);
    EXPECT_EQ(slice(tag, 10, expected.size()), bytes(expected));
}

// Text that ISO-8859-1 cannot hold goes in as UTF-16 with a byte-order mark (encoding 1); Latin-1
// text keeps encoding 0 with its single bytes.
TEST(Id3v2Tag, NonLatin1TextUsesUtf16)
{
    TagFields tags;
    tags.title = u"\u00e9t\u00e9";
    tags.artist = u"\u041f\U0001F3B5";
    tags.comment = u"\u00a9\u2122";
    const auto tag = buildId3v2Tag(tags);
    std::string expected;
    expected += std::string("COMM\0\0\0\x0e\0\0\x01"
                            "eng\xff\xfe\0\0\xff\xfe\xa9\0\x22\x21",
        24);
    expected += std::string("TIT2\0\0\0\x04\0\0\0\xe9t\xe9", 14);
    expected += std::string("TPE1\0\0\0\x09\0\0\x01\xff\xfe\x1f\x04\x3c\xd8\xb5\xdf", 19);
    EXPECT_EQ(slice(tag, 10, expected.size()), bytes(expected));
}

// Frames up to 16384 bytes in all are kept; one byte more and no tag is written at all.
TEST(Id3v2Tag, AbandonsATagOver16384Bytes)
{
    TagFields tags;
    // 10 header + 11 frame overhead + text = 16384
    tags.title = std::u16string(16384 - 21, u'x');
    const auto tag = buildId3v2Tag(tags);
    ASSERT_EQ(tag.size(), 16384U);
    EXPECT_EQ(slice(tag, 6, 4), (std::vector<std::uint8_t> { 0x00, 0x00, 0x7F, 0x76 }));
    tags.title.push_back(u'x');
    EXPECT_TRUE(buildId3v2Tag(tags).empty());
    // A tag over 1024 bytes gets no padding.
    tags.title = std::u16string(2000, u'x');
    EXPECT_EQ(buildId3v2Tag(tags).size(), 2021U);
}

// The size of a tag at the start of a file, read back from its header.
TEST(Id3v2Tag, TagSizeReadsTheHeader)
{
    TagFields tags;
    tags.title = u"Song";
    const auto tag = buildId3v2Tag(tags);
    EXPECT_EQ(id3v2TagSize(tag.data(), tag.size()), 1024U);
    const std::uint8_t footer[10] = { 'I', 'D', '3', 4, 0, 0x10, 0, 0, 1, 0 };
    EXPECT_EQ(id3v2TagSize(footer, 10), 10U + 128U + 10U);
    const std::uint8_t frame[10] = { 0xFF, 0xFB, 0x90, 0x64, 0, 0, 0, 0, 0, 0 };
    EXPECT_EQ(id3v2TagSize(frame, 10), 0U);
    EXPECT_EQ(id3v2TagSize(tag.data(), 9), 0U);
}
