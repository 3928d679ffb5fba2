#include "id3v1reader.h"
#include "id3v2reader.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vlsmp3;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::initializer_list<int> values)
{
    Bytes bytes;
    for (const int v : values)
        bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

void append(Bytes& to, const Bytes& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

Bytes textFrame(const std::string& id, const Bytes& body, int flags2 = 0)
{
    Bytes frame(id.begin(), id.end());
    const auto size = static_cast<std::uint32_t>(body.size());
    append(frame,
        bytesOf({ int(size >> 24), int((size >> 16) & 0xFF), int((size >> 8) & 0xFF), int(size & 0xFF), 0,
            flags2 }));
    append(frame, body);
    return frame;
}

Bytes tag(const Bytes& frames, int version = 3, int flags = 0)
{
    Bytes bytes = bytesOf({ 'I', 'D', '3', version, 0, flags, 0, 0, 0, 0 });
    const auto size = static_cast<std::uint32_t>(frames.size());
    bytes[8] = static_cast<std::uint8_t>(size >> 7);
    bytes[9] = static_cast<std::uint8_t>(size & 0x7F);
    append(bytes, frames);
    return bytes;
}

Bytes latin1(const std::string& text)
{
    Bytes body(text.size() + 1, 0);
    std::copy(text.begin(), text.end(), body.begin() + 1);
    return body;
}

TagFields read(const Bytes& bytes)
{
    TagFields fields;
    readId3v2(bytes, fields);
    return fields;
}

} // namespace

// The six text frames and COMM land in their fields.
TEST(Id3v2Reader, ReadsTextFramesAndComment)
{
    Bytes frames;
    append(frames, textFrame("TIT2", latin1("Title")));
    append(frames, textFrame("TPE1", latin1("Artist")));
    append(frames, textFrame("TALB", latin1("Album")));
    append(frames, textFrame("TRCK", latin1("7/12")));
    append(frames, textFrame("TCON", latin1("Synthpop")));
    append(frames, textFrame("TYER", latin1("2001")));
    const Bytes comm = bytesOf({ 0, 'e', 'n', 'g', 'd', 'e', 's', 'c', 0, 'H', 'i', 0xE9 });
    append(frames, textFrame("COMM", comm));
    append(frames, Bytes(20, 0));
    const TagFields fields = read(tag(frames));
    EXPECT_EQ(fields.title, u"Title");
    EXPECT_EQ(fields.artist, u"Artist");
    EXPECT_EQ(fields.album, u"Album");
    EXPECT_EQ(fields.trackNo, u"7/12");
    EXPECT_EQ(fields.genre, u"Synthpop");
    EXPECT_EQ(fields.year, u"2001");
    EXPECT_EQ(fields.comment, u"Hi\u00E9");
}

// UTF-16 honours its byte-order mark; no mark means little-endian; the COMM description ends on an
// aligned zero pair (a zero byte pair across two characters does not end it).
TEST(Id3v2Reader, Utf16ByteOrderAndAlignedTerminator)
{
    Bytes frames;
    append(frames, textFrame("TIT2", bytesOf({ 1, 0xFF, 0xFE, 'A', 0, 0x3A, 0x04 })));
    append(frames, textFrame("TPE1", bytesOf({ 1, 0xFE, 0xFF, 0, 'B', 0x04, 0x3A })));
    append(frames, textFrame("TALB", bytesOf({ 1, 'C', 0, 'D', 0 })));
    // Description "\u0100\u0001" little-endian: bytes 00 01 01 00, whose middle pair is unaligned.
    append(frames,
        textFrame("COMM",
            bytesOf(
                { 1, 'e', 'n', 'g', 0xFF, 0xFE, 0x00, 0x01, 0x01, 0x00, 0, 0, 0xFF, 0xFE, 'O', 0, 'K', 0 })));
    const TagFields fields = read(tag(frames));
    EXPECT_EQ(fields.title, u"A\u043A");
    EXPECT_EQ(fields.artist, u"B\u043A");
    EXPECT_EQ(fields.album, u"CD");
    EXPECT_EQ(fields.comment, u"OK");
}

// Malformed text: unpaired surrogates and a lone byte become U+FFFD, nothing read past the frame.
TEST(Id3v2Reader, MalformedTextGetsReplacementCharacters)
{
    Bytes frames;
    append(frames, textFrame("TIT2", bytesOf({ 1, 0xFF, 0xFE, 0x00, 0xD8, 'x', 0, 'y' })));
    const TagFields fields = read(tag(frames));
    EXPECT_EQ(fields.title, u"\uFFFDx\uFFFD");
}

// Frames that run past the tag end the walk; flagged frames are skipped; v2.4 and flagged tags are
// not read.
TEST(Id3v2Reader, GuardsAndSkips)
{
    Bytes frames;
    append(frames, textFrame("TIT2", latin1("Kept")));
    append(frames, textFrame("TPE1", latin1("Compressed"), 0x80));
    Bytes overlong = textFrame("TALB", latin1("Cut"));
    overlong[7] = 200;
    append(frames, overlong);
    TagFields fields = read(tag(frames));
    EXPECT_EQ(fields.title, u"Kept");
    EXPECT_EQ(fields.artist, u"");
    EXPECT_EQ(fields.album, u"");

    EXPECT_EQ(read(tag(textFrame("TIT2", latin1("Four")), 4)).title, u"");
    EXPECT_EQ(read(tag(textFrame("TIT2", latin1("Flags")), 3, 0x40)).title, u"");
    // A tag cut short by the end of the file: frames inside are read, the rest is not.
    Bytes cut = tag(textFrame("TIT2", latin1("Short")));
    cut[9] = 0x7F;
    EXPECT_EQ(read(cut).title, u"Short");
    // An empty frame body and a COMM too short for its language.
    frames.clear();
    append(frames, textFrame("TIT2", {}));
    append(frames, textFrame("COMM", bytesOf({ 0, 'e' })));
    append(frames, textFrame("TYER", latin1("1990")));
    fields = read(tag(frames));
    EXPECT_EQ(fields.year, u"1990");
    EXPECT_EQ(fields.comment, u"");
}

namespace {

std::array<std::uint8_t, 128> trailer()
{
    std::array<std::uint8_t, 128> bytes {};
    bytes[0] = 'T';
    bytes[1] = 'A';
    bytes[2] = 'G';
    const auto put = [&](std::size_t at, const std::string& text) {
        std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    };
    put(3, "Title   ");
    put(33, "Artist");
    put(63, "Album");
    put(93, "1984");
    return bytes;
}

} // namespace

// ID3v1.1: a 28-character comment with track byte 5 gives TrackNo 5; blanks are trimmed.
TEST(Id3v1Reader, TrackAndGenreRules)
{
    auto bytes = trailer();
    std::fill(bytes.begin() + 97, bytes.begin() + 125, 'c');
    bytes[125] = 0;
    bytes[126] = 5;
    bytes[127] = 147;
    TagFields fields;
    readId3v1(bytes, fields);
    EXPECT_EQ(fields.title, u"Title");
    EXPECT_EQ(fields.artist, u"Artist");
    EXPECT_EQ(fields.year, u"1984");
    EXPECT_EQ(fields.comment, std::u16string(28, u'c'));
    EXPECT_EQ(fields.trackNo, u"5");
    EXPECT_EQ(fields.genre, u"Synthpop");

    // ID3v1.0 with a 30-character comment: no TrackNo; genre 255 leaves Genre as it was.
    bytes = trailer();
    std::fill(bytes.begin() + 97, bytes.begin() + 127, 'd');
    bytes[127] = 255;
    fields = TagFields {};
    fields.genre = u"Earlier";
    readId3v1(bytes, fields);
    EXPECT_EQ(fields.comment, std::u16string(30, u'd'));
    EXPECT_EQ(fields.trackNo, u"");
    EXPECT_EQ(fields.genre, u"Earlier");
}
