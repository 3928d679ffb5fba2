// Streams that lower the sample rate: resampled ahead of the engine, encoded on the adapter's own
// worker thread. They must sound like the engine's own resampling, keep every byte and stop cleanly.

#include "encoderconfig.h"
#include "engineadapter.h"
#include "lamebinding.h"
#include "mp3testsupport.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

using namespace vlsmp3;
using mp3test::Decoded;
using mp3test::decodeWithMpg123;
using mp3test::TempFolder;
using mp3test::toneShare;
using mp3test::writeBytes;

namespace {

BE_CONFIG resampling(std::uint32_t bitrate, std::uint32_t channels, std::uint32_t rate, std::uint32_t forced)
{
    EncoderSettings settings;
    settings.mode = OutputMode::CBR;
    settings.bitrate = bitrate;
    settings.channels = channels;
    settings.sampleRate = rate;
    settings.forcedSampleRate = forced;
    return buildEncoderConfig(settings).record;
}

// Left a 440 Hz tone, right a 1000 Hz one (mono: the 440 Hz one alone).
std::vector<std::int16_t> twoTones(int rate, unsigned channels, std::size_t frames)
{
    std::vector<std::int16_t> pcm;
    for (std::size_t i = 0; i < frames; ++i) {
        for (unsigned c = 0; c < channels; ++c) {
            const double frequency = c == 0 ? 440.0 : 1000.0;
            pcm.push_back(static_cast<std::int16_t>(
                std::lround(16000.0 * std::sin(2.0 * M_PI * frequency * double(i) / rate))));
        }
    }
    return pcm;
}

struct Encoded {
    std::vector<std::uint8_t> mp3;
    std::uint32_t bufferSize = 0;
    bool chunksFit = true; // no chunk's output above bufferSize
};

// Through the adapter, in full chunks; closeAfter chunks stops the stream without finishing it.
Encoded encodeWithAdapter(EngineAdapter& engine, const BE_CONFIG& record,
    const std::vector<std::int16_t>& pcm, std::size_t closeAfter = SIZE_MAX)
{
    Encoded encoded;
    std::uint32_t samples = 0;
    EXPECT_EQ(engine.beInitStream(record, samples, encoded.bufferSize), BE_ERR_SUCCESSFUL);
    std::vector<std::uint8_t> buffer(encoded.bufferSize);
    std::size_t chunks = 0;
    for (std::size_t at = 0; at < pcm.size(); at += samples) {
        if (chunks++ == closeAfter) {
            EXPECT_EQ(engine.beCloseStream(), BE_ERR_SUCCESSFUL);
            return encoded;
        }
        const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(samples, pcm.size() - at));
        std::uint32_t produced = 0;
        EXPECT_EQ(engine.beEncodeChunk(count, pcm.data() + at, buffer.data(), produced), BE_ERR_SUCCESSFUL);
        encoded.chunksFit = encoded.chunksFit && produced <= encoded.bufferSize;
        encoded.mp3.insert(encoded.mp3.end(), buffer.begin(), buffer.begin() + produced);
    }
    std::uint32_t produced = 0;
    EXPECT_EQ(engine.beDeinitStream(buffer.data(), produced), BE_ERR_SUCCESSFUL);
    encoded.mp3.insert(encoded.mp3.end(), buffer.begin(), buffer.begin() + produced);
    EXPECT_EQ(engine.beCloseStream(), BE_ERR_SUCCESSFUL);
    return encoded;
}

// The engine resampling by itself, in one thread, with the same rates and bit rate.
std::vector<std::uint8_t> encodeWithEngineResampling(
    const std::vector<std::int16_t>& pcm, int channels, int rate, int forced, int kbps)
{
    const LameBinding& lame = LameBinding::bound();
    lame_global_struct* stream = lame.init();
    lame.setInSamplerate(stream, rate);
    lame.setOutSamplerate(stream, forced);
    lame.setNumChannels(stream, channels);
    lame.setMode(stream, channels == 1 ? MONO : JOINT_STEREO);
    lame.setBrate(stream, kbps);
    lame.setWriteVbrTag(stream, 0);
    EXPECT_GE(lame.initParams(stream), 0);
    std::vector<std::uint8_t> mp3(pcm.size() * 2 + 7200);
    const int frames = static_cast<int>(pcm.size()) / channels;
    std::vector<std::int16_t> copy(pcm);
    int size = channels == 1
        ? lame.encodeBuffer(
            stream, copy.data(), copy.data(), frames, mp3.data(), static_cast<int>(mp3.size()))
        : lame.encodeBufferInterleaved(stream, copy.data(), frames, mp3.data(), static_cast<int>(mp3.size()));
    EXPECT_GE(size, 0);
    size += lame.encodeFlush(stream, mp3.data() + size, static_cast<int>(mp3.size()) - size);
    lame.close(stream);
    mp3.resize(static_cast<std::size_t>(size));
    return mp3;
}

Decoded decoded(const TempFolder& folder, const std::string& name, const std::vector<std::uint8_t>& mp3)
{
    writeBytes(folder.file(name), mp3);
    return decodeWithMpg123(folder.file(name));
}

// Signal-to-difference ratio in dB between a gapless decode and a raw one of the same signal (which
// starts after the engine's delay of 1105 samples), over the first `frames` sample frames.
double agreement(const Decoded& gapless, const Decoded& raw, std::size_t frames)
{
    const auto channels = static_cast<std::size_t>(gapless.channels);
    const std::size_t delay = 1105 * channels;
    const std::size_t count = std::min({ gapless.samples.size(),
        raw.samples.size() - std::min(raw.samples.size(), delay), frames * channels });
    double signal = 0;
    double difference = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double a = gapless.samples[i];
        const double b = raw.samples[i + delay];
        signal += a * a;
        difference += (a - b) * (a - b);
    }
    return 10.0 * std::log10(signal / std::max(difference, 1.0));
}

} // namespace

// Stereo and mono, halved, quartered and by 3:2: the same tones in the same channels and, but for
// rounding, the same samples as when the engine resamples by itself (the resampler is the engine's
// filter); the header's length is the input's, to the sample.
TEST(ResampledEncoding, SoundsLikeTheEnginesOwnResampling)
{
    TempFolder folder;
    struct Case {
        std::uint32_t channels;
        std::uint32_t rate;
        std::uint32_t forced;
        std::uint32_t bitrate;
    };
    for (const Case& c : { Case { 2, 44100, 22050, 64000 }, Case { 1, 44100, 22050, 56000 },
             Case { 1, 44100, 11025, 32000 }, Case { 2, 48000, 32000, 64000 } }) {
        SCOPED_TRACE(std::to_string(c.channels) + " channels " + std::to_string(c.rate) + " to "
            + std::to_string(c.forced));
        const std::size_t frames = c.rate * 3 + 77;
        const std::size_t resampled = (frames * c.forced + c.rate - 1) / c.rate;
        const auto pcm = twoTones(int(c.rate), c.channels, frames);
        EngineAdapter engine(LameBinding::bound());
        const BE_CONFIG record = resampling(c.bitrate, c.channels, c.rate, c.forced);
        ASSERT_EQ(record.bWriteVBRHeader, 1);
        const Encoded ours = encodeWithAdapter(engine, record, pcm);
        EXPECT_TRUE(ours.chunksFit);
        writeBytes(folder.file("ours.mp3"), ours.mp3);
        ASSERT_EQ(engine.beWriteVBRHeader(folder.file("ours.mp3")), BE_ERR_SUCCESSFUL);
        const Decoded mine = decodeWithMpg123(folder.file("ours.mp3"));
        const Decoded theirs = decoded(folder, "engine.mp3",
            encodeWithEngineResampling(
                pcm, int(c.channels), int(c.rate), int(c.forced), int(record.dwBitrate)));
        ASSERT_TRUE(mine.ok && theirs.ok);
        EXPECT_EQ(mine.sampleRate, int(c.forced));
        EXPECT_EQ(mine.channels, int(c.channels));
        EXPECT_EQ(mine.frames(), resampled);
        EXPECT_GT(toneShare(mine, 0, 440.0), 0.9);
        if (c.channels == 2) {
            EXPECT_GT(toneShare(mine, 1, 1000.0), 0.9);
        }
        // The last granules differ: the engine's stream rings on past the end of the input.
        EXPECT_GT(agreement(mine, theirs, resampled - 2 * 576), 60.0);
    }
}

// Loud noise at a high bit rate gives the most bytes per chunk: all of them arrive, in order, each
// chunk's within the buffer the stream asked for.
TEST(ResampledEncoding, KeepsEveryByteOfALoudStream)
{
    TempFolder folder;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    std::vector<std::int16_t> pcm(48000 * 2 * 4);
    for (auto& value : pcm)
        value = static_cast<std::int16_t>(sample(random));
    EngineAdapter engine(LameBinding::bound());
    BE_CONFIG record = resampling(320000, 2, 48000, 32000);
    record.bWriteVBRHeader = 0;
    const Encoded ours = encodeWithAdapter(engine, record, pcm);
    EXPECT_TRUE(ours.chunksFit);
    const auto walk = mp3test::walkFrames(ours.mp3, 0);
    EXPECT_EQ(walk.end, ours.mp3.size());
    EXPECT_EQ(walk.sampleRate, 32000);
    // Four seconds at 32000 Hz, plus the engine's delay and padding: under two frames more.
    EXPECT_GE(walk.frames * 1152, 4U * 32000);
    EXPECT_LE(walk.frames * 1152, 4U * 32000 + 3 * 1152);
}

// A stream closed in the middle stops its worker; the adapter then encodes the next stream whole,
// byte for byte as a fresh adapter does.
TEST(ResampledEncoding, ClosingMidStreamStopsTheWorker)
{
    const auto pcm = twoTones(44100, 2, 44100 * 2);
    BE_CONFIG record = resampling(64000, 2, 44100, 22050);
    record.bWriteVBRHeader = 0;
    EngineAdapter engine(LameBinding::bound());
    encodeWithAdapter(engine, record, pcm, 40);
    EXPECT_FALSE(engine.streamOpen());
    const Encoded again = encodeWithAdapter(engine, record, pcm);
    EngineAdapter fresh(LameBinding::bound());
    EXPECT_EQ(again.mp3, encodeWithAdapter(fresh, record, pcm).mp3);
    // Destroyed with a stream still open: the worker is stopped, not left running.
    {
        EngineAdapter abandoned(LameBinding::bound());
        std::uint32_t samples = 0;
        std::uint32_t bufferSize = 0;
        ASSERT_EQ(abandoned.beInitStream(record, samples, bufferSize), BE_ERR_SUCCESSFUL);
        std::vector<std::uint8_t> buffer(bufferSize);
        std::uint32_t produced = 0;
        for (std::size_t at = 0; at + samples <= pcm.size(); at += samples)
            ASSERT_EQ(abandoned.beEncodeChunk(samples, pcm.data() + at, buffer.data(), produced),
                BE_ERR_SUCCESSFUL);
    }
}
