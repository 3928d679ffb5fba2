#include "waveprobe.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

using vlsconv::probeWaveFileFormatTag;
using vlsconv::probeWaveFormatTag;

namespace {

using Bytes = std::vector<std::uint8_t>;

void append32(Bytes& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A chunk: its identifier, the size field (the data's size unless given) and the data, padded to
// an even length.
Bytes chunk(const std::string& id, const Bytes& data, std::int64_t sizeField = -1)
{
    Bytes bytes(id.begin(), id.end());
    append32(bytes,
        static_cast<std::uint32_t>(sizeField < 0 ? static_cast<std::int64_t>(data.size()) : sizeField));
    bytes.insert(bytes.end(), data.begin(), data.end());
    if (data.size() % 2)
        bytes.push_back(0);
    return bytes;
}

Bytes formatData(std::uint16_t tag, std::size_t size = 16)
{
    Bytes data(size, 0);
    data[0] = static_cast<std::uint8_t>(tag);
    data[1] = static_cast<std::uint8_t>(tag >> 8);
    data[2] = 2;
    return data;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A RIFF chunk of the form with these sub-chunks; riffSize overrides its size field.
Bytes riff(const std::string& form, std::initializer_list<Bytes> chunks, std::int64_t riffSize = -1)
{
    Bytes data(form.begin(), form.end());
    const Bytes inner = join(chunks);
    data.insert(data.end(), inner.begin(), inner.end());
    return chunk("RIFF", data, riffSize);
}

const Bytes someData = chunk("data", Bytes(8, 1));

} // namespace

// The format tag of the first "fmt " chunk of a RIFF/WAVE file, whatever it is.
TEST(WaveProbe, ReadsTheFormatTagOfTheFirstFormatChunk)
{
    EXPECT_EQ(probeWaveFormatTag(riff("WAVE", { chunk("fmt ", formatData(1)), someData })), 1);
    EXPECT_EQ(probeWaveFormatTag(riff("WAVE", { chunk("fmt ", formatData(85, 30)), someData })), 85);
    EXPECT_EQ(probeWaveFormatTag(riff("WAVE", { chunk("fmt ", formatData(3, 18)), someData })), 3);
    EXPECT_EQ(probeWaveFormatTag(riff(
                  "WAVE", { chunk("fmt ", formatData(0xFFFE, 40)), chunk("fmt ", formatData(1)), someData })),
        0xFFFE);
}

// Other chunks before "fmt " are stepped over, odd-sized ones with their pad byte; top-level chunks
// before the RIFF/WAVE chunk, RIFF chunks of other forms included, are stepped over too.
TEST(WaveProbe, StepsOverOtherChunks)
{
    EXPECT_EQ(probeWaveFormatTag(riff("WAVE",
                  { chunk("LIST", Bytes(5, 'x')), chunk("JUNK", Bytes(2, 0)), chunk("fmt ", formatData(1)),
                      someData })),
        1);
    EXPECT_EQ(
        probeWaveFormatTag(join({ chunk("JUNK", Bytes(3, 0)), riff("AVI ", { chunk("fmt ", formatData(85)) }),
            riff("WAVE", { chunk("fmt ", formatData(1)), someData }) })),
        1);
}

// Without a RIFF/WAVE chunk, without a "fmt " chunk inside it, or with a "fmt " chunk past its end,
// there is no tag.
TEST(WaveProbe, FindsNothingOutsideARiffWaveChunk)
{
    EXPECT_EQ(probeWaveFormatTag(Bytes {}), std::nullopt);
    EXPECT_EQ(probeWaveFormatTag(Bytes { 'R', 'I', 'F', 'F' }), std::nullopt);
    EXPECT_EQ(probeWaveFormatTag(riff("AVI ", { chunk("fmt ", formatData(1)), someData })), std::nullopt);
    EXPECT_EQ(probeWaveFormatTag(riff("WAVE", { someData })), std::nullopt);
    EXPECT_EQ(
        probeWaveFormatTag(riff("WAVE", { someData, chunk("fmt ", formatData(1)) }, 4 + someData.size())),
        std::nullopt);
    EXPECT_EQ(probeWaveFormatTag(chunk("fmt ", formatData(1))), std::nullopt);
}

// max(chunk size, 18) bytes must be present from the start of the "fmt " data, past the chunk's
// end if need be; a huge size field is refused without reading it.
TEST(WaveProbe, NeedsTheWholeFormatRecordInTheFile)
{
    const Bytes sixteen = riff("WAVE", { chunk("fmt ", formatData(1)) });
    EXPECT_EQ(probeWaveFormatTag(sixteen), std::nullopt);
    Bytes withTwoMore = sixteen;
    withTwoMore.insert(withTwoMore.end(), { 'd', 'a' });
    EXPECT_EQ(probeWaveFormatTag(withTwoMore), 1);

    Bytes truncated = riff("WAVE", { chunk("fmt ", formatData(1, 40)) });
    truncated.resize(truncated.size() - 10);
    EXPECT_EQ(probeWaveFormatTag(truncated), std::nullopt);
    EXPECT_EQ(probeWaveFormatTag(riff("WAVE", { chunk("fmt ", formatData(1), 0xFFFFFFFF), someData })),
        std::nullopt);
    Bytes cutInHeader = riff("WAVE", { chunk("fmt ", formatData(1)) });
    cutInHeader.resize(12 + 6);
    EXPECT_EQ(probeWaveFormatTag(cutInHeader), std::nullopt);
}

// Files: a regular file is probed; a missing file, a folder and a FIFO give nothing (the FIFO
// without blocking).
TEST(WaveProbe, ProbesOnlyRegularFiles)
{
    const char* base = std::getenv("TMPDIR");
    std::string folder = std::string(base && *base ? base : "/tmp") + "/waveprobe-test-XXXXXX";
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    const Bytes wave = riff("WAVE", { chunk("fmt ", formatData(85)), someData });
    {
        std::ofstream out(folder + "/a.wav", std::ios::binary);
        out.write(reinterpret_cast<const char*>(wave.data()), static_cast<std::streamsize>(wave.size()));
    }
    EXPECT_EQ(probeWaveFileFormatTag(folder + "/a.wav"), 85);
    EXPECT_EQ(probeWaveFileFormatTag(folder + "/missing.wav"), std::nullopt);
    std::filesystem::create_directory(folder + "/folder.wav");
    EXPECT_EQ(probeWaveFileFormatTag(folder + "/folder.wav"), std::nullopt);
    ASSERT_EQ(::mkfifo((folder + "/fifo.wav").c_str(), 0600), 0);
    EXPECT_EQ(probeWaveFileFormatTag(folder + "/fifo.wav"), std::nullopt);
    std::filesystem::remove_all(folder);
}
