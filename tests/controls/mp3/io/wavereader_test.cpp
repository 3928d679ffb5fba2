#include "memorysource.h"
#include "mp3testsupport.h"
#include "riffchunks.h"
#include "wavereader.h"

#include <gtest/gtest.h>

using vlsmp3::MemorySource;
using vlsmp3::WaveContents;
using vlsmp3::WaveReader;

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(Bytes& b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A chunk with the stated size (default: the contents' size), padded when odd.
Bytes chunk(const char* id, const Bytes& contents, std::int64_t statedSize = -1)
{
    Bytes b(id, id + 4);
    put32(b,
        statedSize < 0 ? static_cast<std::uint32_t>(contents.size())
                       : static_cast<std::uint32_t>(statedSize));
    b.insert(b.end(), contents.begin(), contents.end());
    if (contents.size() & 1)
        b.push_back(0);
    return b;
}

Bytes fmt(
    std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, std::size_t size = 16)
{
    Bytes b;
    put16(b, tag);
    put16(b, channels);
    put32(b, rate);
    put32(b, rate * channels * bits / 8);
    put16(b, static_cast<std::uint16_t>(channels * bits / 8));
    put16(b, bits);
    while (b.size() < size)
        b.push_back(0x77);
    b.resize(size);
    return b;
}

Bytes riff(const std::vector<Bytes>& chunks, std::int64_t statedSize = -1)
{
    Bytes body { 'W', 'A', 'V', 'E' };
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    Bytes b { 'R', 'I', 'F', 'F' };
    put32(
        b, statedSize < 0 ? static_cast<std::uint32_t>(body.size()) : static_cast<std::uint32_t>(statedSize));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes counting(std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return b;
}

std::unique_ptr<WaveReader> openBytes(const Bytes& bytes)
{
    return WaveReader::open(std::make_unique<MemorySource>(bytes));
}

Bytes readAll(WaveReader& reader, std::size_t piece = 4096)
{
    Bytes all;
    Bytes buffer(piece);
    while (const std::size_t n = reader.read(buffer))
        all.insert(all.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
    return all;
}

} // namespace

// The format record and the data chunk's bytes come out as stored; reads stop at the chunk's end.
TEST(WaveReader, YieldsFormatAndDataBytes)
{
    const Bytes data = counting(10000);
    const auto reader = openBytes(
        riff({ chunk("fmt ", fmt(1, 2, 22050, 16)), chunk("data", data), chunk("LIST", counting(33)) }));
    ASSERT_TRUE(reader);
    const auto& f = reader->format();
    EXPECT_EQ(f.wFormatTag, 1);
    EXPECT_EQ(f.nChannels, 2);
    EXPECT_EQ(f.nSamplesPerSec, 22050U);
    EXPECT_EQ(f.nAvgBytesPerSec, 88200U);
    EXPECT_EQ(f.nBlockAlign, 4);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(f.cbSize, 0);
    EXPECT_EQ(reader->dataSize(), 10000U);
    EXPECT_EQ(reader->dataOffset(), 12U + 24U + 8U);
    EXPECT_EQ(readAll(*reader, 333), data);
    Bytes more(16);
    EXPECT_EQ(reader->read(more), 0U);
}

// Odd-sized chunks are followed by a pad byte; a format record with extra bytes has its extra size
// forced to 0; only the first "fmt " and "data" chunks count, in whatever order.
TEST(WaveReader, WalksPaddedChunksInAnyOrder)
{
    const Bytes data = counting(101);
    const auto reader = openBytes(
        riff({ chunk("junk", counting(5)), chunk("data", data), chunk("fmt ", fmt(1, 1, 8000, 8, 21)),
            chunk("fmt ", fmt(1, 2, 44100, 16)), chunk("data", counting(50)) }));
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->format().nChannels, 1);
    EXPECT_EQ(reader->format().nSamplesPerSec, 8000U);
    EXPECT_EQ(reader->format().cbSize, 0);
    EXPECT_EQ(reader->dataSize(), 101U);
    EXPECT_EQ(reader->dataOffset(), 12U + 14U + 8U);
    EXPECT_EQ(readAll(*reader), data);
}

// A data chunk that states more than the file holds yields what is there.
TEST(WaveReader, TruncatedDataYieldsWhatIsThere)
{
    Bytes file = riff({ chunk("fmt ", fmt(1, 1, 44100, 16)), chunk("data", counting(4000)) });
    file.resize(file.size() - 1000);
    const auto reader = openBytes(file);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->dataSize(), 4000U);
    EXPECT_EQ(readAll(*reader).size(), 3000U);
}

// Files that are not readable PCM waves fail the open.
TEST(WaveReader, RefusesUnreadableFiles)
{
    const Bytes format = chunk("fmt ", fmt(1, 2, 44100, 16));
    const Bytes data = chunk("data", counting(64));
    EXPECT_FALSE(openBytes({})) << "empty";
    EXPECT_FALSE(openBytes(Bytes { 'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' ' })) << "not WAVE";
    EXPECT_FALSE(openBytes(riff({ data }))) << "no fmt";
    EXPECT_FALSE(openBytes(riff({ format }))) << "no data";
    EXPECT_FALSE(openBytes(riff({ format, chunk("data", {}) }))) << "empty data";
    EXPECT_FALSE(openBytes(riff({ chunk("fmt ", fmt(2, 2, 44100, 4, 50)), data }))) << "ADPCM";
    EXPECT_FALSE(openBytes(riff({ chunk("fmt ", fmt(1, 2, 44100, 16, 14)), data }))) << "short fmt";
    EXPECT_FALSE(openBytes(riff({ format, chunk("data", counting(64), 1000) }))) << "data past RIFF end";
    EXPECT_FALSE(openBytes(riff({ format, data, chunk("LIST", counting(8), 100) })))
        << "late chunk past RIFF end";
    Bytes cut = riff({ chunk("fmt ", fmt(1, 2, 44100, 16, 40)), data });
    cut.resize(12 + 8 + 20);
    EXPECT_FALSE(openBytes(cut)) << "fmt cut by the file's end";
    // The RIFF chunk states less than it holds: the data chunk lies past its end.
    EXPECT_FALSE(openBytes(riff({ format, data }, 4 + 24 + 20))) << "RIFF size too small";
    EXPECT_FALSE(openBytes(riff({ chunk("fmt ", fmt(1, 2, 44100, 16), 0xFFFFFFF0), data }, 0xFFFFFFFF)))
        << "huge fmt";
}

// Opened for any contents, a compressed wave yields its format tag and its data chunk; the chunk
// structure is checked as for PCM.
TEST(WaveReader, AnyFormatReachesCompressedData)
{
    const Bytes data = counting(64);
    const auto reader
        = WaveReader::open(std::make_unique<MemorySource>(
                               riff({ chunk("fmt ", fmt(85, 2, 44100, 0, 30)), chunk("data", data) })),
            WaveContents::AnyFormat);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->format().wFormatTag, 85);
    EXPECT_EQ(reader->dataSize(), 64U);
    EXPECT_EQ(readAll(*reader), data);
    EXPECT_FALSE(WaveReader::open(
        std::make_unique<MemorySource>(riff({ chunk("fmt ", fmt(85, 2, 44100, 0, 30)), chunk("data", {}) })),
        WaveContents::AnyFormat))
        << "empty data";
}

// The first LIST chunk of type INFO is kept (its contents after the type); other lists are not.
TEST(WaveReader, KeepsTheInfoList)
{
    Bytes info { 'I', 'N', 'F', 'O' };
    const Bytes subs = chunk("INAM", { 'S', 'o', 'n', 'g', 0 });
    info.insert(info.end(), subs.begin(), subs.end());
    const Bytes other { 'a', 'd', 't', 'l', 1, 2 };
    const auto reader = openBytes(riff({ chunk("fmt ", fmt(1, 2, 44100, 16)), chunk("LIST", other),
        chunk("data", counting(64)), chunk("LIST", info), chunk("LIST", { 'I', 'N', 'F', 'O', 9 }) }));
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->infoList(), subs);
    const auto plain = openBytes(riff({ chunk("fmt ", fmt(1, 2, 44100, 16)), chunk("data", counting(64)) }));
    ASSERT_TRUE(plain);
    EXPECT_TRUE(plain->infoList().empty());
    // An INFO list with nothing after its type (a fuzzer's find: nothing to read into).
    const auto bare = openBytes(riff({ chunk("fmt ", fmt(1, 2, 44100, 16)),
        chunk("LIST", { 'I', 'N', 'F', 'O' }), chunk("data", counting(64)) }));
    ASSERT_TRUE(bare);
    EXPECT_TRUE(bare->infoList().empty());
}

// A RIFF chunk that states more than the file holds ends the walk at the file's end.
TEST(WaveReader, RiffLongerThanFileEndsAtFileEnd)
{
    const auto reader
        = openBytes(riff({ chunk("fmt ", fmt(1, 2, 44100, 16)), chunk("data", counting(64)) }, 100000));
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->dataSize(), 64U);
}

// Files on disk: a sox-made wave reads as the tool wrote it; a missing file fails.
TEST(WaveReader, ReadsFilesOnDisk)
{
    mp3test::TempFolder folder;
    const std::string path = folder.file("tone.wav");
    const std::string command = "sox -n -r 11025 -c 1 -b 16 " + path + " synth 1 sine 440 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto reader = WaveReader::openFile(path);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->format().nSamplesPerSec, 11025U);
    EXPECT_EQ(reader->format().nChannels, 1);
    EXPECT_EQ(reader->dataSize(), 22050U);
    EXPECT_EQ(readAll(*reader).size(), 22050U);
    EXPECT_FALSE(WaveReader::openFile(folder.file("missing.wav")));
    EXPECT_FALSE(WaveReader::openFile(folder.path()));
}

// The chunk walker alone: padded offsets, a walk bounded by its end and by the source, a chunk
// whose contents reach past the end returned for the caller to judge; the RIFF form found past
// other top-level chunks, with the end its header states.
TEST(RiffChunkWalker, WalksWithinItsBounds)
{
    using vlsmp3::RiffChunkWalker;
    Bytes bytes = chunk("odd ", counting(3));
    const Bytes second = chunk("next", counting(4), 100);
    bytes.insert(bytes.end(), second.begin(), second.end());
    MemorySource source(bytes);
    RiffChunkWalker walker(source, 0, bytes.size());
    const auto first = walker.next();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->is("odd "));
    EXPECT_EQ(first->size, 3U);
    EXPECT_EQ(first->contents, 8U);
    const auto late = walker.next();
    ASSERT_TRUE(late);
    EXPECT_TRUE(late->is("next"));
    EXPECT_EQ(late->contents, 20U) << "after the pad byte";
    EXPECT_EQ(late->end(), 120U) << "as stated, past the source";
    EXPECT_FALSE(walker.next());
    RiffChunkWalker shortWalk(source, 0, 12 + 7);
    EXPECT_TRUE(shortWalk.next());
    EXPECT_FALSE(shortWalk.next()) << "the second header crosses the end";
    RiffChunkWalker pastSource(source, 0, 1U << 20);
    EXPECT_TRUE(pastSource.next());
    EXPECT_TRUE(pastSource.next());
    EXPECT_FALSE(pastSource.next());

    Bytes file = chunk("JUNK", counting(5));
    for (const Bytes& part :
        { chunk("RIFF", { 'A', 'V', 'I', ' ' }), riff({ chunk("fmt ", fmt(1, 2, 44100, 16)) }, 5000) })
        file.insert(file.end(), part.begin(), part.end());
    MemorySource riffSource(file);
    const auto form = vlsmp3::findRiffForm(riffSource, "WAVE");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->firstChunk, 14U + 12U + 12U);
    EXPECT_EQ(form->endOfForm, 14U + 12U + 8U + 5000U);
    EXPECT_EQ(vlsmp3::findRiffForm(riffSource, "AVI ")->endOfForm, 14U + 12U);
    EXPECT_FALSE(vlsmp3::findRiffForm(source, "WAVE")) << "no RIFF chunk";
}
