#include "encoderconfig.h"
#include "encodererror.h"
#include "engineadapter.h"
#include "id3v2tag.h"
#include "lamebinding.h"
#include "mp3testsupport.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace vlsmp3;
using mp3test::readBytes;
using mp3test::TempFolder;
using mp3test::writeBytes;

namespace {
std::string bindFailure(const char* library)
{
    try {
        LameBinding::load(library);
    } catch (const EncoderError& error) {
        return error.message();
    }
    return {};
}

BE_CONFIG config(
    OutputMode mode, std::uint32_t bitrate, std::uint32_t channels, std::uint32_t rate, float quality = 0.5F)
{
    EncoderSettings settings;
    settings.mode = mode;
    settings.bitrate = bitrate;
    settings.channels = channels;
    settings.sampleRate = rate;
    settings.quality = quality;
    return buildEncoderConfig(settings).record;
}

// One stream of an adapter, fed in whole chunks; the MP3 bytes collected.
class Stream {
public:
    Stream(EngineAdapter& engine, const BE_CONFIG& record)
        : m_engine(engine)
    {
        EXPECT_EQ(engine.beInitStream(record, m_samples, m_bufferSize), BE_ERR_SUCCESSFUL);
        m_buffer.resize(m_bufferSize);
    }

    void encode(const std::vector<std::int16_t>& pcm, std::size_t& at, std::size_t count)
    {
        std::uint32_t produced = 0;
        ASSERT_EQ(m_engine.beEncodeChunk(
                      static_cast<std::uint32_t>(count), pcm.data() + at, m_buffer.data(), produced),
            BE_ERR_SUCCESSFUL);
        m_mp3.insert(m_mp3.end(), m_buffer.begin(), m_buffer.begin() + produced);
        at += count;
    }

    void finish()
    {
        std::uint32_t produced = 0;
        ASSERT_EQ(m_engine.beDeinitStream(m_buffer.data(), produced), BE_ERR_SUCCESSFUL);
        m_mp3.insert(m_mp3.end(), m_buffer.begin(), m_buffer.begin() + produced);
        EXPECT_EQ(m_engine.beCloseStream(), BE_ERR_SUCCESSFUL);
    }

    std::uint32_t samples() const { return m_samples; }
    std::vector<std::uint8_t>& mp3() { return m_mp3; }

private:
    EngineAdapter& m_engine;
    std::uint32_t m_samples = 0;
    std::uint32_t m_bufferSize = 0;
    std::vector<std::uint8_t> m_buffer;
    std::vector<std::uint8_t> m_mp3;
};

std::vector<std::int16_t> samplesOf(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// Encodes the whole signal in full chunks and writes the file with its VBR header.
std::vector<std::uint8_t> encodeAlone(
    const BE_CONFIG& record, const std::vector<std::int16_t>& pcm, const std::string& path)
{
    EngineAdapter engine(LameBinding::bound());
    Stream stream(engine, record);
    for (std::size_t at = 0; at < pcm.size();)
        stream.encode(pcm, at, std::min<std::size_t>(stream.samples(), pcm.size() - at));
    stream.finish();
    writeBytes(path, stream.mp3());
    engine.beWriteVBRHeader(path);
    return readBytes(path);
}
} // namespace

// A missing library gives #1, a library without the entry points #2.
TEST(LameBinding, MissingLibraryOrSymbolsKeepTheirMessages)
{
    EXPECT_EQ(
        bindFailure("/nonexistent/libmp3lame.so.0"), "Internal error #1. Lame_enc.dll could not be loaded.");
    EXPECT_EQ(bindFailure("libm.so.6"), "Internal error #2. Cannot initialize encoding engine.");
    EXPECT_EQ(bindFailure(LameBinding::libraryName), "");
    EngineAdapter engine(LameBinding::bound());
    EXPECT_EQ(engine.beVersion().byMajorVersion, 3);
}

// Samples per chunk follow the output's MPEG version: 1152 per channel for MPEG-1, 576 below.
TEST(EngineAdapter, SamplesPerChunkFollowTheOutputVersion)
{
    EngineAdapter engine(LameBinding::bound());
    std::uint32_t samples = 0;
    std::uint32_t bufferSize = 0;
    ASSERT_EQ(engine.beInitStream(config(OutputMode::CBR, 128000, 2, 44100), samples, bufferSize),
        BE_ERR_SUCCESSFUL);
    EXPECT_EQ(samples, 2304U);
    EXPECT_EQ(bufferSize, 1152U * 5 / 4 + 7200);
    ASSERT_EQ(engine.beInitStream(config(OutputMode::CBR, 64000, 1, 22050), samples, bufferSize),
        BE_ERR_SUCCESSFUL);
    EXPECT_EQ(samples, 576U);
    // 32 kbit/s stereo at 44100 Hz: the engine resamples to 16000 Hz, an MPEG-2 rate.
    ASSERT_EQ(engine.beInitStream(config(OutputMode::CBR, 32000, 2, 44100), samples, bufferSize),
        BE_ERR_SUCCESSFUL);
    EXPECT_EQ(samples, 1152U);
    EXPECT_EQ(engine.beCloseStream(), BE_ERR_SUCCESSFUL);
    EXPECT_EQ(engine.beCloseStream(), BE_ERR_INVALID_HANDLE);
}

// A record that is not the LAME form, or that the engine refuses, starts no stream.
TEST(EngineAdapter, RefusesBadRecords)
{
    EngineAdapter engine(LameBinding::bound());
    std::uint32_t samples = 0;
    std::uint32_t bufferSize = 0;
    BE_CONFIG record = config(OutputMode::CBR, 128000, 2, 44100);
    record.dwStructSize = 332;
    EXPECT_EQ(engine.beInitStream(record, samples, bufferSize), BE_ERR_INVALID_FORMAT);
    record = config(OutputMode::CBR, 128000, 2, 44100);
    record.nPreset = 7;
    EXPECT_EQ(engine.beInitStream(record, samples, bufferSize), BE_ERR_INVALID_FORMAT_PARAMETERS);
    record = config(OutputMode::CBR, 64000, 2, 44100);
    record.nMode = 5;
    EXPECT_EQ(engine.beInitStream(record, samples, bufferSize), BE_ERR_INVALID_FORMAT_PARAMETERS);
    EXPECT_FALSE(engine.streamOpen());
}

// A chunk larger than the stream takes, or a split stereo frame, is refused.
TEST(EngineAdapter, RefusesOversizedOrSplitChunks)
{
    EngineAdapter engine(LameBinding::bound());
    std::uint32_t samples = 0;
    std::uint32_t bufferSize = 0;
    ASSERT_EQ(engine.beInitStream(config(OutputMode::CBR, 128000, 2, 44100), samples, bufferSize),
        BE_ERR_SUCCESSFUL);
    std::vector<std::int16_t> pcm(samples + 2, 0);
    std::vector<std::uint8_t> output(bufferSize);
    std::uint32_t produced = 0;
    EXPECT_EQ(engine.beEncodeChunk(samples + 2, pcm.data(), output.data(), produced),
        BE_ERR_INVALID_FORMAT_PARAMETERS);
    EXPECT_EQ(engine.beEncodeChunk(3, pcm.data(), output.data(), produced), BE_ERR_INVALID_FORMAT_PARAMETERS);
    EXPECT_EQ(engine.beEncodeChunk(samples, pcm.data(), output.data(), produced), BE_ERR_SUCCESSFUL);
}

// The VBR header replaces the placeholder first frame, after an ID3v2 tag at the start.
TEST(EngineAdapter, VbrHeaderGoesOverTheFirstFrame)
{
    TempFolder folder;
    const auto pcm = samplesOf(mp3test::tone(440.0, 44100, 2, 16, 44100));
    const std::string plain = folder.file("plain.mp3");
    const auto withHeader = encodeAlone(config(OutputMode::VBR, 0, 2, 44100), pcm, plain);
    // The placeholder frame holds zeros after its header; the written one carries "Xing".
    ASSERT_GT(withHeader.size(), 200U);
    EXPECT_EQ(std::string(withHeader.begin() + 36, withHeader.begin() + 40), "Xing");

    // The same stream written behind a tag gets its header behind the tag.
    EngineAdapter engine(LameBinding::bound());
    Stream stream(engine, config(OutputMode::VBR, 0, 2, 44100));
    for (std::size_t at = 0; at < pcm.size();)
        stream.encode(pcm, at, std::min<std::size_t>(stream.samples(), pcm.size() - at));
    stream.finish();
    TagFields tags;
    tags.title = u"Song";
    auto tagged = buildId3v2Tag(tags);
    const std::size_t tagSize = tagged.size();
    tagged.insert(tagged.end(), stream.mp3().begin(), stream.mp3().end());
    const std::string taggedPath = folder.file("tagged.mp3");
    writeBytes(taggedPath, tagged);
    EXPECT_EQ(engine.beWriteVBRHeader(taggedPath), BE_ERR_SUCCESSFUL);
    const auto written = readBytes(taggedPath);
    EXPECT_TRUE(std::equal(
        withHeader.begin(), withHeader.end(), written.begin() + static_cast<std::ptrdiff_t>(tagSize)));
    // The header is used once.
    EXPECT_EQ(engine.beWriteVBRHeader(taggedPath), BE_ERR_SUCCESSFUL);
    EXPECT_EQ(readBytes(taggedPath), written);
}

// Two adapters encoding at the same time, their calls interleaved, give each the bytes it gives
// alone: no stream state is shared.
TEST(EngineAdapter, StreamsDoNotShareState)
{
    TempFolder folder;
    const auto pcmA = samplesOf(mp3test::tone(440.0, 44100, 2, 16, 44100));
    const auto pcmB = samplesOf(mp3test::tone(1000.0, 22050, 1, 16, 30000));
    const BE_CONFIG recordA = config(OutputMode::VBR, 0, 2, 44100, 0.25F);
    const BE_CONFIG recordB = config(OutputMode::ABR, 192000, 1, 22050);
    const auto aloneA = encodeAlone(recordA, pcmA, folder.file("a.mp3"));
    const auto aloneB = encodeAlone(recordB, pcmB, folder.file("b.mp3"));

    EngineAdapter engineA(LameBinding::bound());
    EngineAdapter engineB(LameBinding::bound());
    Stream a(engineA, recordA);
    Stream b(engineB, recordB);
    std::size_t atA = 0;
    std::size_t atB = 0;
    while (atA < pcmA.size() || atB < pcmB.size()) {
        if (atA < pcmA.size())
            a.encode(pcmA, atA, std::min<std::size_t>(a.samples(), pcmA.size() - atA));
        if (atB < pcmB.size())
            b.encode(pcmB, atB, std::min<std::size_t>(b.samples(), pcmB.size() - atB));
    }
    a.finish();
    b.finish();
    writeBytes(folder.file("a2.mp3"), a.mp3());
    writeBytes(folder.file("b2.mp3"), b.mp3());
    engineB.beWriteVBRHeader(folder.file("b2.mp3"));
    engineA.beWriteVBRHeader(folder.file("a2.mp3"));
    EXPECT_EQ(readBytes(folder.file("a2.mp3")), aloneA);
    EXPECT_EQ(readBytes(folder.file("b2.mp3")), aloneB);
}
