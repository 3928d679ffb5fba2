#include "waveinfo.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using vlsdec::tagsFromInfoList;

namespace {

using Bytes = std::vector<std::uint8_t>;

// An INFO sub-chunk: identifier, size, text (as given, terminator included by the caller) and the
// pad byte of an odd size.
Bytes sub(const char* id, const std::string& text, std::uint32_t statedSize = 0xFFFFFFFF)
{
    Bytes b(id, id + 4);
    const std::uint32_t size = statedSize == 0xFFFFFFFF ? std::uint32_t(text.size()) : statedSize;
    for (int i = 0; i < 4; ++i)
        b.push_back(std::uint8_t(size >> (8 * i)));
    b.insert(b.end(), text.begin(), text.end());
    if (text.size() & 1)
        b.push_back(0);
    return b;
}

Bytes list(const std::vector<Bytes>& subs)
{
    Bytes b;
    for (const Bytes& s : subs)
        b.insert(b.end(), s.begin(), s.end());
    return b;
}

} // namespace

// Each identifier fills its field up to the first zero byte; odd sizes are padded; unknown
// identifiers are stepped over; the first of an identifier counts.
TEST(WaveInfo, FieldsFromTheirIdentifiers)
{
    const auto t = tagsFromInfoList(
        list({ sub("ISFT", std::string("Tool\0", 5)), sub("INAM", std::string("Song\0", 5)),
            sub("INAM", "Later"), sub("IART", std::string("Singer\0junk", 11)), sub("IPRD", "Record"),
            sub("ICRD", "1999"), sub("IGNR", "Jazz"), sub("ICMT", "Words") }));
    EXPECT_EQ(t.title, u"Song");
    EXPECT_EQ(t.artist, u"Singer");
    EXPECT_EQ(t.album, u"Record");
    EXPECT_EQ(t.year, u"1999");
    EXPECT_EQ(t.genre, u"Jazz");
    EXPECT_EQ(t.comment, u"Words");
}

// The track comes from ITRK or IPRT, the first with text.
TEST(WaveInfo, TrackFromItrkOrIprt)
{
    EXPECT_EQ(tagsFromInfoList(list({ sub("IPRT", "7"), sub("ITRK", "8") })).trackNo, u"7");
    EXPECT_EQ(tagsFromInfoList(list({ sub("ITRK", "8"), sub("IPRT", "7") })).trackNo, u"8");
    EXPECT_EQ(tagsFromInfoList(list({ sub("ITRK", ""), sub("IPRT", "7") })).trackNo, u"7");
}

// UTF-8 text is decoded as UTF-8; other bytes are ISO-8859-1.
TEST(WaveInfo, Utf8OrLatin1)
{
    EXPECT_EQ(tagsFromInfoList(list({ sub("INAM", "Caf\xC3\xA9") })).title, u"Café");
    EXPECT_EQ(tagsFromInfoList(list({ sub("INAM", "Caf\xE9") })).title, u"Café");
}

// A sub-chunk that states more than the list holds ends the walk; what came before stays.
TEST(WaveInfo, StopsAtASubChunkThatDoesNotFit)
{
    const auto t
        = tagsFromInfoList(list({ sub("INAM", "Song"), sub("IART", "Singer", 1000), sub("IPRD", "Record") }));
    EXPECT_EQ(t.title, u"Song");
    EXPECT_EQ(t.artist, u"");
    EXPECT_EQ(t.album, u"");
    EXPECT_TRUE(tagsFromInfoList(Bytes { 'I', 'N', 'A', 'M', 1 }).empty());
    EXPECT_TRUE(tagsFromInfoList({}).empty());
}
