#include "id3v1trailer.h"
#include "id3v2tag.h"
#include "lamebinding.h"
#include "mp3encoder.h"
#include "mp3testsupport.h"

#include <gtest/gtest.h>

using namespace vlsmp3;
using mp3test::readBytes;
using mp3test::TempFolder;

namespace {
// Prints the ID3v2 frames as "id|encoding|text" and the ID3v1 fields as "v1 id|text".
constexpr const char* readTags = R"py(
import sys
from mutagen.id3 import ID3, ParseID3v1
sys.stdout.reconfigure(encoding="utf-8")
path = sys.argv[1]
try:
    tag = ID3(path, translate=False, load_v1=False)
    print("version", tag.version[0], tag.version[1], "size", tag.size)
    for frame in tag.values():
        print(frame.FrameID + "|" + str(int(frame.encoding)) + "|" + str(frame.text[0]))
except Exception as error:
    print("no id3v2:", type(error).__name__)
with open(path, "rb") as f:
    f.seek(-128, 2)
    v1 = ParseID3v1(f.read(128))
if v1 is None:
    print("no id3v1")
else:
    for key in sorted(v1):
        value = v1[key].genres[0] if key == "TCON" else v1[key].text[0]
        print("v1 " + key + "|" + str(value))
)py";

std::vector<std::uint8_t> encodeWithTags(const TagFields& tags, const std::string& path)
{
    Mp3Encoder encoder(LameBinding::bound());
    encoder.tags() = tags;
    encoder.setAddExtension(false);
    encoder.open(path, {});
    const auto pcm = mp3test::tone(440.0, 44100, 2, 16, 22050);
    encoder.write(pcm.data(), pcm.size());
    encoder.close();
    return readBytes(path);
}
} // namespace

// A file with every field: the tag bytes in front and behind are exactly the built ones, and the
// reference reader finds every field in both versions.
TEST(TagFile, EveryFieldReadsBack)
{
    TempFolder folder;
    const TagFields tags { u"A title longer than thirty characters", u"Artist", u"Album", u"2024", u"Rock",
        u"7/12", u"Comment" };
    const std::string path = folder.file("all.mp3");
    const auto bytes = encodeWithTags(tags, path);
    const auto v2 = buildId3v2Tag(tags);
    const auto v1 = *buildId3v1Trailer(tags);
    ASSERT_GT(bytes.size(), v2.size() + v1.size());
    EXPECT_TRUE(std::equal(v2.begin(), v2.end(), bytes.begin()));
    EXPECT_TRUE(std::equal(v1.begin(), v1.end(), bytes.end() - 128));

    const auto result = mp3test::runPython(readTags, path);
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output,
        "version 2 3 size 1024\n"
        "TCON|0|Rock\n"
        "TRCK|0|7/12\n"
        "COMM|0|Comment\n"
        "TYER|0|2024\n"
        "TIT2|0|A title longer than thirty characters\n"
        "TPE1|0|Artist\n"
        "TALB|0|Album\n"
        "v1 COMM|Comment\n"
        "v1 TALB|Album\n"
        "v1 TCON|Rock\n"
        "v1 TDRC|2024\n"
        "v1 TIT2|A title longer than thirty cha\n"
        "v1 TPE1|Artist\n"
        "v1 TRCK|7\n");
}

// Text outside ISO-8859-1 survives in ID3v2 as UTF-16 and becomes '?' in ID3v1; Latin-1 accents
// stay single bytes in both.
TEST(TagFile, NonLatin1TextSurvivesInId3v2)
{
    TempFolder folder;
    TagFields tags;
    tags.title = u"\u041f\u0435\u0441\u043d\u044f \U0001F3B5";
    tags.artist = u"Caf\u00e9";
    tags.comment = u"\u00a9 2024 \u2122";
    tags.genre = u"147";
    const std::string path = folder.file("intl.mp3");
    encodeWithTags(tags, path);
    const auto result = mp3test::runPython(readTags, path);
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output,
        "version 2 3 size 1024\n"
        "TCON|0|147\n"
        "COMM|1|\u00a9 2024 \u2122\n"
        "TIT2|1|\u041f\u0435\u0441\u043d\u044f \U0001F3B5\n"
        "TPE1|0|Caf\u00e9\n"
        "v1 COMM|\u00a9 2024 ?\n"
        "v1 TCON|Synthpop\n"
        "v1 TIT2|????? ?\n"
        "v1 TPE1|Caf\u00e9\n");
}

// Without any field the file carries no tag of either version.
TEST(TagFile, NoFieldsNoTags)
{
    TempFolder folder;
    const std::string path = folder.file("none.mp3");
    const auto bytes = encodeWithTags({}, path);
    EXPECT_EQ(mp3test::walkFrames(bytes, 0).end, bytes.size());
    const auto result = mp3test::runPython(readTags, path);
    EXPECT_EQ(result.output, "no id3v2: ID3NoHeaderError\nno id3v1\n");
}
