#include "vorbiscomments.h"

#include <gtest/gtest.h>
#include <string_view>
#include <vector>

using vlsdec::tagsFromComments;

namespace {

vlsmp3::TagFields tags(const std::vector<std::string_view>& comments)
{
    return tagsFromComments(comments);
}

} // namespace

// Each field takes the first comment of its key, whatever the key's case; DATE is the year and
// TRACKNUMBER the track.
TEST(VorbisComments, FieldsFromTheirKeys)
{
    const auto t = tags({ "title=First", "TITLE=Second", "Artist=Singer", "ALBUM=Record", "date=1999",
        "GeNrE=Jazz", "TRACKNUMBER=4/12", "COMMENT=Words" });
    EXPECT_EQ(t.title, u"First");
    EXPECT_EQ(t.artist, u"Singer");
    EXPECT_EQ(t.album, u"Record");
    EXPECT_EQ(t.year, u"1999");
    EXPECT_EQ(t.genre, u"Jazz");
    EXPECT_EQ(t.trackNo, u"4/12");
    EXPECT_EQ(t.comment, u"Words");
}

// COMMENT wins over DESCRIPTION in either order; DESCRIPTION serves when there is no COMMENT.
TEST(VorbisComments, CommentOrDescription)
{
    EXPECT_EQ(tags({ "DESCRIPTION=Told", "COMMENT=Said" }).comment, u"Said");
    EXPECT_EQ(tags({ "COMMENT=Said", "DESCRIPTION=Told" }).comment, u"Said");
    EXPECT_EQ(tags({ "description=Told" }).comment, u"Told");
    EXPECT_EQ(tags({ "COMMENT=", "DESCRIPTION=Told" }).comment, u"") << "an empty COMMENT still counts";
}

// Values are UTF-8 and may hold "="; comments without "=", unknown keys and keys that only begin
// like a known one are ignored; bad UTF-8 does not stop the reading.
TEST(VorbisComments, OddComments)
{
    const auto t = tags({ "TITLE", "TITLEX=No", "=Nothing", "ARTIST=a=b", "ALBUM=Caf\xC3\xA9 \xE2\x98\x82",
        "GENRE=\xFF\xFE", "TITLE=Yes" });
    EXPECT_EQ(t.title, u"Yes");
    EXPECT_EQ(t.artist, u"a=b");
    EXPECT_EQ(t.album, u"Café ☂");
    EXPECT_FALSE(t.genre.empty());
    EXPECT_TRUE(tags({}).empty());
}
