#include "decodererror.h"
#include "decodertestsupport.h"
#include "filesource.h"
#include "frameheader.h"
#include "memorysource.h"
#include "mp3streamreader.h"

#include <gtest/gtest.h>
#include <random>

using namespace vlsmp3;
using namespace mp3test;

namespace {

StreamInfo readBytesAsStream(const std::vector<std::uint8_t>& bytes)
{
    MemorySource source(bytes);
    return readStream(source);
}

StreamInfo readFile(const std::string& path)
{
    FileSource source(path);
    return readStream(source);
}

std::optional<DecoderMessage> failureOf(const std::vector<std::uint8_t>& bytes)
{
    try {
        readBytesAsStream(bytes);
    } catch (const DecoderError& error) {
        return error.id();
    }
    return std::nullopt;
}

// A Layer III header followed by zeros, as one frame.
std::vector<std::uint8_t> frame(std::uint32_t header, std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(header >> (24 - 8 * i));
    return bytes;
}

void putBigEndian(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

constexpr std::uint32_t mpeg1Stereo128 = 0xFFFB9000; // MPEG-1 Layer III, 128 kbit/s, 44100 Hz, stereo

} // namespace

// Header fields and the constant-rate frame length formula.
TEST(FrameHeader, DecodesFieldsAndFrameLength)
{
    const FrameHeader h(mpeg1Stereo128);
    EXPECT_EQ(h.version(), MpegVersion::Mpeg1);
    EXPECT_EQ(h.layer(), 3);
    EXPECT_EQ(h.sampleRate(), 44100);
    EXPECT_EQ(h.channels(), 2);
    EXPECT_EQ(h.bitrateKbps(), 128);
    EXPECT_EQ(h.frameLength(), 417);
    EXPECT_EQ(FrameHeader(mpeg1Stereo128 | 0x200).frameLength(), 418);
    // MPEG-2 22050 Hz mono 64 kbit/s: 576 samples, half the frame length.
    const FrameHeader lsf(0xFFF380C0);
    EXPECT_EQ(lsf.version(), MpegVersion::Mpeg2);
    EXPECT_EQ(lsf.sampleRate(), 22050);
    EXPECT_EQ(lsf.channels(), 1);
    EXPECT_EQ(lsf.samplesPerFrame(), 576);
    EXPECT_EQ(lsf.frameLength(), 64 * 144000 / (22050 * 2));
    // MPEG-2.5 8000 Hz.
    EXPECT_EQ(FrameHeader(0xFFE38800).sampleRate(), 8000);
    // Free format has no frame length to divide by.
    EXPECT_EQ(FrameHeader(0xFFFB0000).frameLength(), 0);
}

// The scan's test refuses reserved fields; the strict test also wants Layer III, channels, rate.
TEST(FrameHeader, PlausibleAndStrictTests)
{
    EXPECT_TRUE(FrameHeader(mpeg1Stereo128).plausible());
    EXPECT_FALSE(FrameHeader(0xFFF99000).plausible()); // layer 00
    EXPECT_FALSE(FrameHeader(0xFFFBF000).plausible()); // bit-rate index 15
    EXPECT_FALSE(FrameHeader(0xFFFB9C00).plausible()); // sample-rate index 3
    EXPECT_FALSE(FrameHeader(0xFFDB9000).plausible()); // sync incomplete
    EXPECT_TRUE(FrameHeader(mpeg1Stereo128).matches(2, 44100));
    EXPECT_FALSE(FrameHeader(mpeg1Stereo128).matches(1, 44100));
    EXPECT_FALSE(FrameHeader(mpeg1Stereo128).matches(2, 48000));
    EXPECT_FALSE(FrameHeader(0xFFFD9000).matches(2, 44100)); // Layer II
}

// Files made by lame: rate, channels and the formulas for bit rate and duration.
TEST(StreamReader, PropertiesOfEncodedFiles)
{
    TempFolder folder;
    struct Case {
        const char* name;
        const char* sox;
        const char* lame;
        int rate;
        int channels;
        bool vbr;
    } cases[] = {
        { "cbr", "-r 44100 -c 2", "-b 128 -t", 44100, 2, false },
        { "cbrinfo", "-r 44100 -c 2", "-b 128", 44100, 2, true },
        { "vbr", "-r 44100 -c 2", "-V 2", 44100, 2, true },
        { "abr", "-r 44100 -c 2", "--abr 96 --resample 44.1", 44100, 2, true },
        { "mpeg2", "-r 22050 -c 1", "-b 64 -t -m m", 22050, 1, false },
        { "mpeg25", "-r 8000 -c 1", "-b 16 -t -m m", 8000, 1, false },
        { "mpeg2vbr", "-r 24000 -c 2", "-V 4", 24000, 2, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = makeMp3(folder, c.name, c.sox, 3, c.lame);
        ASSERT_FALSE(path.empty());
        const auto bytes = readBytes(path);
        const StreamInfo info = readFile(path);
        EXPECT_EQ(info.sampleRate, c.rate);
        EXPECT_EQ(info.channels, c.channels);
        EXPECT_EQ(info.vbr, c.vbr);
        EXPECT_EQ(info.firstFrameOffset, 0u);
        const FrameHeader header(info.firstHeader);
        if (c.vbr) {
            ASSERT_TRUE(info.xing && info.xing->frames && info.xing->bytes);
            const double duration = double(*info.xing->frames) * header.samplesPerFrame() / c.rate;
            EXPECT_DOUBLE_EQ(info.duration, duration);
            EXPECT_EQ(info.audioDataSize, *info.xing->bytes);
            EXPECT_EQ(info.bitrate, static_cast<std::int32_t>(double(*info.xing->bytes) * 8 / duration));
        } else {
            EXPECT_EQ(info.audioDataSize, bytes.size());
            EXPECT_EQ(info.bitrate, header.bitrateKbps() * 1000);
            const std::uint64_t frames = bytes.size() / static_cast<std::uint64_t>(header.frameLength());
            EXPECT_DOUBLE_EQ(info.duration, double(frames) * header.samplesPerFrame() / c.rate);
            EXPECT_NEAR(info.duration, 3.0, 0.25);
        }
    }
}

// Tags of both versions from lame, and an ID3v2 tag of 1024 bytes ahead of the first frame.
TEST(StreamReader, TagsFromEncodedFiles)
{
    TempFolder folder;
    const std::string v1 = makeMp3(folder, "v1", "-r 44100 -c 2", 1,
        "-b 128 --id3v1-only --tt Title --ta Artist --tl Album --ty 1999 --tc Comment --tn 5 --tg Rock");
    ASSERT_FALSE(v1.empty());
    StreamInfo info = readFile(v1);
    EXPECT_TRUE(info.hasId3v1);
    EXPECT_EQ(info.tags.title, u"Title");
    EXPECT_EQ(info.tags.artist, u"Artist");
    EXPECT_EQ(info.tags.album, u"Album");
    EXPECT_EQ(info.tags.year, u"1999");
    EXPECT_EQ(info.tags.comment, u"Comment");
    EXPECT_EQ(info.tags.trackNo, u"5");
    EXPECT_EQ(info.tags.genre, u"Rock");

    const std::string v2 = makeMp3(folder, "v2", "-r 44100 -c 2", 1,
        "-b 128 --id3v2-only --pad-id3v2-size 900 --tt Zweiter --ta Artist2 --tc Remark");
    ASSERT_FALSE(v2.empty());
    info = readFile(v2);
    EXPECT_FALSE(info.hasId3v1);
    EXPECT_GT(info.firstFrameOffset, 900u);
    EXPECT_EQ(info.tags.title, u"Zweiter");
    EXPECT_EQ(info.tags.artist, u"Artist2");
    EXPECT_EQ(info.tags.comment, u"Remark");

    // Our encoder's layout: a 1024-byte ID3v2.3 tag (one TIT2 frame, then padding) in front.
    auto bytes = readBytes(makeMp3(folder, "plain", "-r 44100 -c 2", 1, "-b 128 -t"));
    std::vector<std::uint8_t> tagged(1024);
    const char header[] = { 'I', 'D', '3', 3, 0, 0, 0, 0, 7, 0x76 };
    std::copy(header, header + 10, tagged.begin());
    const char frameHead[] = { 'T', 'I', 'T', '2', 0, 0, 0, 6, 0, 0, 0, 'H', 'e', 'l', 'l', 'o' };
    std::copy(frameHead, frameHead + 16, tagged.begin() + 10);
    tagged.insert(tagged.end(), bytes.begin(), bytes.end());
    info = readBytesAsStream(tagged);
    EXPECT_EQ(info.firstFrameOffset, 1024u);
    EXPECT_EQ(info.tags.title, u"Hello");
    EXPECT_EQ(info.audioDataSize, bytes.size());
}

// A Xing header of 1000 frames at 44100 Hz: 26.12 seconds.
TEST(StreamReader, XingDurationAndGuards)
{
    auto bytes = frame(mpeg1Stereo128, 417);
    std::copy_n("Xing", 4, bytes.begin() + 36);
    putBigEndian(bytes, 40, 3);
    putBigEndian(bytes, 44, 1000);
    putBigEndian(bytes, 48, 400000);
    StreamInfo info = readBytesAsStream(bytes);
    EXPECT_TRUE(info.vbr);
    EXPECT_NEAR(info.duration, 26.1224, 0.0001);
    EXPECT_EQ(info.audioDataSize, 400000u);
    EXPECT_EQ(info.bitrate, static_cast<std::int32_t>(400000 * 8 / (1000 * 1152 / 44100.0)));

    // Without frame count: the constant-rate formulas, no division by a zero duration.
    putBigEndian(bytes, 40, 2);
    putBigEndian(bytes, 44, 400000);
    info = readBytesAsStream(bytes);
    EXPECT_FALSE(info.vbr);
    EXPECT_EQ(info.bitrate, 128000);
    EXPECT_EQ(info.audioDataSize, 417u);
    // Without byte count: the file's own audio size stays.
    putBigEndian(bytes, 40, 1);
    putBigEndian(bytes, 44, 1000);
    info = readBytesAsStream(bytes);
    EXPECT_TRUE(info.vbr);
    EXPECT_EQ(info.audioDataSize, 417u);
    // "Info" spelled letter by letter, also mixed ("Xnfo").
    std::copy_n("Xnfo", 4, bytes.begin() + 36);
    EXPECT_TRUE(readBytesAsStream(bytes).vbr);
}

// Free format (bit-rate index 0) gives zero duration and bit rate, not a division by zero.
TEST(StreamReader, FreeFormatHasNoConstantRate)
{
    const StreamInfo info = readBytesAsStream(frame(0xFFFB0000, 1000));
    EXPECT_EQ(info.frameLength, 0);
    EXPECT_EQ(info.duration, 0.0);
    EXPECT_EQ(info.bitrate, 0);
}

// The scan's two messages, and headers with reserved fields skipped.
TEST(StreamReader, ScanMessages)
{
    EXPECT_EQ(failureOf({}), DecoderMessage::UnexpectedEndOfFile);
    EXPECT_EQ(failureOf(std::vector<std::uint8_t>(1000, 0)), DecoderMessage::UnexpectedEndOfFile);
    EXPECT_EQ(failureOf(std::vector<std::uint8_t>(70000, 0)), DecoderMessage::StreamNotFound);
    // Reserved layer, bit-rate 15 and sample-rate 3 are passed over; the real header follows.
    std::vector<std::uint8_t> bytes = frame(0xFFF99000, 4);
    auto more = frame(0xFFFBF000, 4);
    bytes.insert(bytes.end(), more.begin(), more.end());
    more = frame(0xFFFB9C00, 4);
    bytes.insert(bytes.end(), more.begin(), more.end());
    more = frame(mpeg1Stereo128, 417);
    bytes.insert(bytes.end(), more.begin(), more.end());
    EXPECT_EQ(readBytesAsStream(bytes).firstFrameOffset, 12u);
}

// An ID3v2 size beyond the file: no allocation beyond the file, the scan ends with a message.
TEST(StreamReader, HugeId3v2Size)
{
    std::vector<std::uint8_t> bytes = { 'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F };
    auto more = frame(mpeg1Stereo128, 417);
    bytes.insert(bytes.end(), more.begin(), more.end());
    EXPECT_EQ(failureOf(bytes), DecoderMessage::UnexpectedEndOfFile);
    // Version 4 tags are skipped too; version 5 is not a tag, so the scan starts at 0.
    bytes[3] = 5;
    EXPECT_EQ(readBytesAsStream(bytes).firstFrameOffset, 10u);
}

// Every truncation of a small tagged file and random bytes end in a result or a message.
TEST(StreamReader, TruncatedAndRandomInput)
{
    TempFolder folder;
    const auto bytes = readBytes(makeMp3(
        folder, "small", "-r 22050 -c 1", 0.2, "-V 5 --add-id3v2 --tt Title --ta Artist --tc Comment"));
    ASSERT_GT(bytes.size(), 1000u);
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        const std::vector<std::uint8_t> cut(
            bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        try {
            const StreamInfo info = readBytesAsStream(cut);
            EXPECT_LE(info.firstFrameOffset + 4, cut.size());
        } catch (const DecoderError& error) {
            EXPECT_TRUE(error.id().has_value());
        }
    }
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<std::uint8_t> noise(static_cast<std::size_t>(random() % 5000));
        for (auto& byte : noise)
            byte = static_cast<std::uint8_t>(random());
        try {
            readBytesAsStream(noise);
        } catch (const DecoderError&) {
        }
    }
}

// Seek offsets: through the Xing table, linear without one, 0 for a zero duration.
TEST(StreamReader, SeekOffsets)
{
    StreamInfo info;
    info.audioDataSize = 100000;
    info.duration = 60;
    EXPECT_EQ(seekOffset(info, 30000), 50000u);
    EXPECT_EQ(seekOffset(info, 600000), 100000u);
    info.vbr = true;
    info.xing = XingHeader {};
    std::array<std::uint8_t, 100> table {};
    for (int i = 0; i < 100; ++i)
        table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 2);
    info.xing->seekTable = table;
    // 50 % → entry 50 = 100 of 256.
    EXPECT_EQ(seekOffset(info, 30000), static_cast<std::uint64_t>(100.0 * 100000 / 256));
    // 99.5 % interpolates toward 256.
    EXPECT_EQ(seekOffset(info, 59700), static_cast<std::uint64_t>((198 + 0.5 * 58) * 100000 / 256));
    info.duration = 0;
    EXPECT_EQ(seekOffset(info, 30000), 0u);
}
