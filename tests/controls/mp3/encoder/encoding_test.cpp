#include "lamebinding.h"
#include "mp3encoder.h"
#include "mp3testsupport.h"

#include <array>
#include <gtest/gtest.h>

using namespace vlsmp3;
using mp3test::readBytes;
using mp3test::TempFolder;

namespace {
struct Job {
    OutputMode mode;
    int rate;
    int channels;
    int bits;
    std::int32_t bitrate; // CBR, ABR
    float quality; // VBR
    std::int32_t forcedRate = 0;
};

std::string describe(const Job& job)
{
    static constexpr const char* modes[] = { "CBR", "ABR", "VBR" };
    return std::string(modes[static_cast<int>(job.mode)]) + " " + std::to_string(job.rate) + " Hz "
        + std::to_string(job.channels) + " ch " + std::to_string(job.bits) + " bit "
        + (job.mode == OutputMode::VBR ? std::to_string(job.quality) : std::to_string(job.bitrate))
        + (job.forcedRate ? " forced " + std::to_string(job.forcedRate) : "");
}

// Encodes one second of a 1 kHz tone and checks the file through the oracles.
void encodeAndCheck(const Job& job, const std::string& path)
{
    SCOPED_TRACE(describe(job));
    Mp3Encoder encoder(LameBinding::bound());
    encoder.setInputFormat(job.channels, job.rate, job.bits);
    switch (job.mode) {
    case OutputMode::CBR:
        encoder.setOutputFormatCbr(job.bitrate);
        break;
    case OutputMode::ABR:
        encoder.setOutputFormatAbr(job.bitrate);
        break;
    case OutputMode::VBR:
        encoder.setOutputFormatVbr(job.quality);
        break;
    }
    encoder.forceEncodedSamplerate(job.forcedRate);
    encoder.setAddExtension(false);
    encoder.open(path, {});
    const std::size_t frames = static_cast<std::size_t>(job.rate);
    const auto pcm = mp3test::tone(1000.0, job.rate, job.channels, job.bits, frames);
    for (std::size_t at = 0; at < pcm.size(); at += 5000)
        encoder.write(pcm.data() + at, std::min<std::size_t>(5000, pcm.size() - at));
    encoder.close();

    const auto bytes = readBytes(path);
    const auto walk = mp3test::walkFrames(bytes, 0);
    ASSERT_EQ(walk.end, bytes.size()) << "bytes after the last frame";
    const auto decoded = mp3test::decodeWithMpg123(path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.channels, job.channels);
    if (job.forcedRate) {
        EXPECT_EQ(decoded.sampleRate, job.forcedRate);
    }
    EXPECT_EQ(decoded.sampleRate, walk.sampleRate);
    const double expected = static_cast<double>(frames) * decoded.sampleRate / job.rate;
    const double length = static_cast<double>(decoded.frames());
    if (walk.headerKind.empty()) {
        // Without the header (the engine writes none where its frame would be too small for it) the
        // decoder also plays the engine's start delay (1105 samples) and the last frame's padding.
        EXPECT_GE(length, expected);
        EXPECT_LE(length, expected + 1105 + walk.samplesPerFrame);
    } else {
        EXPECT_NEAR(length, expected, walk.samplesPerFrame);
        // The header counts the frames that follow it.
        EXPECT_EQ(walk.headerFrames + 1, static_cast<long>(walk.frames));
    }
    for (int c = 0; c < job.channels; ++c)
        EXPECT_GT(mp3test::toneShare(decoded, c, 1000.0), 0.8) << "channel " << c;
}
} // namespace

// Every accepted input rate in every output mode, with mono/stereo and 8/16-bit input in turn,
// decodes to the expected rate, channels and length, and the tone survives.
TEST(Encoding, EveryRateAndModeDecodes)
{
    TempFolder folder;
    constexpr std::array rates { 8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000 };
    constexpr std::array shapes { std::array { 1, 16 }, std::array { 2, 16 }, std::array { 1, 8 },
        std::array { 2, 8 } };
    int index = 0;
    for (std::size_t r = 0; r < rates.size(); ++r) {
        for (const OutputMode mode : { OutputMode::CBR, OutputMode::ABR, OutputMode::VBR }) {
            const auto& shape = shapes[(r + static_cast<std::size_t>(mode)) % shapes.size()];
            const int rate = rates[r];
            Job job { mode, rate, shape[0], shape[1], 0, 0.5F };
            if (mode == OutputMode::CBR)
                job.bitrate = rate >= 32000 ? 128000 : 64000;
            else if (mode == OutputMode::ABR)
                job.bitrate = rate >= 32000 ? 192000 : 96000;
            else
                job.quality = static_cast<float>(r % 5) * 0.25F;
            encodeAndCheck(job, folder.file("job" + std::to_string(index++) + ".mp3"));
        }
    }
}

// A forced output rate is the rate of the file.
TEST(Encoding, ForcedSampleRateIsUsed)
{
    TempFolder folder;
    encodeAndCheck({ OutputMode::CBR, 44100, 2, 16, 128000, 0.5F, 22050 }, folder.file("forced1.mp3"));
    encodeAndCheck({ OutputMode::VBR, 48000, 1, 16, 0, 0.75F, 32000 }, folder.file("forced2.mp3"));
}

// The lowest and highest bit rates at extreme rates still give playable files.
TEST(Encoding, ExtremeBitratesDecode)
{
    TempFolder folder;
    encodeAndCheck({ OutputMode::CBR, 48000, 2, 16, 8000, 0.5F }, folder.file("low.mp3"));
    encodeAndCheck({ OutputMode::CBR, 8000, 1, 16, 320000, 0.5F }, folder.file("high.mp3"));
    encodeAndCheck({ OutputMode::CBR, 44100, 2, 16, 320000, 0.5F }, folder.file("top.mp3"));
}
