#include "encodererror.h"
#include "lamebinding.h"
#include "mp3encoder.h"
#include "mp3testsupport.h"
#include "waveencoding.h"

#include <gtest/gtest.h>

using namespace vlsmp3;
using mp3test::TempFolder;

namespace {

// Records the asynchronous form's events as text.
struct Recorder final : WaveEncodeEvents {
    std::vector<std::string> events;
    void error(const std::string& message) override { events.push_back("error " + message); }
    void start() override { events.push_back("start"); }
    void progress(int percent) override { events.push_back(std::to_string(percent)); }
    void finish() override { events.push_back("finish"); }
};

std::string makeWave(const TempFolder& folder, const std::string& name, const std::string& format,
    const std::string& effect = "synth 1 sine 1000")
{
    const std::string path = folder.file(name);
    const auto result = mp3test::run("sox -n " + format + " " + path + " " + effect + " 2>&1");
    EXPECT_EQ(result.status, 0) << result.output;
    return path;
}

struct Encoded {
    mp3test::Decoded decoded;
    double seconds = 0;
};

Encoded decode(const std::string& path)
{
    Encoded e;
    e.decoded = mp3test::decodeWithMpg123(path);
    if (e.decoded.sampleRate)
        e.seconds = static_cast<double>(e.decoded.frames()) / e.decoded.sampleRate;
    return e;
}

} // namespace

// Low rates are raised fourfold or twofold before the encoder sees them; other rates pass as they
// are. The decoded MP3 keeps the tone, the channels and the duration.
TEST(WaveEncoding, RaisesLowRatesAndEncodesTheTone)
{
    TempFolder folder;
    struct Case {
        const char* format;
        std::uint32_t inputRate;
        int channels;
    };
    for (const Case c : { Case { "-r 8000 -c 1 -b 16", 32000, 1 }, Case { "-r 22050 -c 2 -b 16", 44100, 2 },
             Case { "-r 11025 -c 1 -b 8", 44100, 1 }, Case { "-r 44100 -c 2 -b 16", 44100, 2 } }) {
        SCOPED_TRACE(c.format);
        const std::string wave = makeWave(folder, "in.wav", c.format);
        Mp3Encoder encoder(LameBinding::bound());
        encoder.setOverwritePrompt(false);
        encoder.setAddExtension(false);
        encoder.setOutputFormatCbr(128000);
        encoder.open(folder.file("out.mp3"), {});
        encodeWave(encoder, wave);
        EXPECT_EQ(encoder.inputFormat().nSamplesPerSec, c.inputRate);
        EXPECT_EQ(encoder.inputFormat().nChannels, c.channels);
        encoder.close();
        const Encoded e = decode(folder.file("out.mp3"));
        ASSERT_TRUE(e.decoded.ok);
        EXPECT_EQ(e.decoded.channels, c.channels);
        EXPECT_NEAR(e.seconds, 1.0, 0.08);
        EXPECT_GT(mp3test::toneShare(e.decoded, 0, 1000.0), 0.8);
    }
}

// Progress over 40960 data bytes at 44100 Hz: 10 to 100 in steps of 10, between start and finish.
TEST(WaveEncoding, ReportsProgressInOrder)
{
    TempFolder folder;
    // 10240 frames of 16-bit stereo.
    const auto pcm = mp3test::tone(500.0, 44100, 2, 16, 10240);
    std::vector<std::uint8_t> file { 'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
        16, 0, 0, 0, 1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0, 'd', 'a', 't', 'a', 0, 0xA0,
        0, 0 };
    file.insert(file.end(), pcm.begin(), pcm.end());
    const std::uint32_t riffSize = static_cast<std::uint32_t>(file.size() - 8);
    for (int i = 0; i < 4; ++i)
        file[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(riffSize >> (8 * i));
    const std::string wave = folder.file("in.wav");
    mp3test::writeBytes(wave, file);
    Mp3Encoder encoder(LameBinding::bound());
    encoder.setOverwritePrompt(false);
    encoder.open(folder.file("out.mp3"), {});
    Recorder recorder;
    const std::atomic<bool> stop { false };
    encodeWave(encoder, wave, recorder, stop);
    encoder.close();
    EXPECT_EQ(recorder.events,
        (std::vector<std::string> {
            "start", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100", "finish" }));
}

// Up-sampled progress rises strictly and ends at 100: the resampler's tail is drained, so the raised
// stream has exactly the factor times the input's frames.
TEST(WaveEncoding, UpsampledProgressEndsAtHundred)
{
    TempFolder folder;
    const std::string wave = makeWave(folder, "in.wav", "-r 8000 -c 1 -b 16", "synth 3 sine 500");
    Mp3Encoder encoder(LameBinding::bound());
    encoder.setOverwritePrompt(false);
    encoder.open(folder.file("out.mp3"), {});
    Recorder recorder;
    const std::atomic<bool> stop { false };
    encodeWave(encoder, wave, recorder, stop);
    encoder.close();
    ASSERT_GE(recorder.events.size(), 4U);
    EXPECT_EQ(recorder.events.front(), "start");
    EXPECT_EQ(recorder.events.back(), "finish");
    EXPECT_EQ(recorder.events[recorder.events.size() - 2], "100");
    const auto decoded = mp3test::decodeWithMpg123(folder.file("out.mp3"));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.sampleRate, 32000);
    EXPECT_EQ(decoded.frames(), 3U * 32000);
    int last = -1;
    for (std::size_t i = 1; i + 1 < recorder.events.size(); ++i) {
        const int percent = std::stoi(recorder.events[i]);
        EXPECT_GT(percent, last);
        last = percent;
    }
}

// Failures: an unreadable or non-PCM file and a refused format end the asynchronous form with one
// error and no other event; the synchronous form throws the same texts.
TEST(WaveEncoding, FailuresReportTheirTexts)
{
    TempFolder folder;
    const std::string adpcm = makeWave(folder, "adpcm.wav", "-r 8000 -c 1 -e ima-adpcm");
    const std::string fast = makeWave(folder, "fast.wav", "-r 96000 -c 2 -b 16");
    const std::string wide = makeWave(folder, "wide.wav", "-r 44100 -c 2 -b 24");
    Mp3Encoder encoder(LameBinding::bound());
    encoder.setOverwritePrompt(false);
    encoder.open(folder.file("out.mp3"), {});
    std::string rateMessage;
    try {
        encoder.setInputFormat(2, 96000, 16);
    } catch (const EncoderError& error) {
        rateMessage = error.message();
    }
    ASSERT_FALSE(rateMessage.empty());
    const std::atomic<bool> stop { false };
    for (const auto& [path, message] :
        std::vector<std::pair<std::string, std::string>> { { adpcm, waveOpenFailedMessage },
            { folder.file("missing.wav"), waveOpenFailedMessage }, { fast, rateMessage } }) {
        SCOPED_TRACE(path);
        Recorder recorder;
        encodeWave(encoder, path, recorder, stop);
        EXPECT_EQ(recorder.events, std::vector<std::string> { "error " + message });
    }
    EXPECT_THROW(encodeWave(encoder, adpcm), WaveEncodeError);
    EXPECT_THROW(encodeWave(encoder, fast), EncoderError);
    // sox writes 24-bit stereo as the extensible format, which is not tag 1.
    EXPECT_THROW(encodeWave(encoder, wide), WaveEncodeError);
    encoder.close();
}

// A write failure aborts with its text, then finish; the synchronous form throws the encoding
// thread's own failure, not the broken pipe it left behind.
TEST(WaveEncoding, WriteFailureAbortsThenFinishes)
{
    TempFolder folder;
    const std::string wave = makeWave(folder, "in.wav", "-r 44100 -c 2 -b 16", "synth 20 sine 500");
    Mp3Encoder encoder(LameBinding::bound());
    encoder.setOverwritePrompt(false);
    encoder.setAddExtension(false);
    encoder.open("/dev/full", {});
    Recorder recorder;
    const std::atomic<bool> stop { false };
    encodeWave(encoder, wave, recorder, stop);
    ASSERT_GE(recorder.events.size(), 3U);
    EXPECT_EQ(recorder.events.front(), "start");
    EXPECT_EQ(recorder.events[recorder.events.size() - 2], std::string("error ") + waveAbortedMessage);
    EXPECT_EQ(recorder.events.back(), "finish");
    EXPECT_THROW(encoder.close(), EncoderError);

    encoder.open("/dev/full", {});
    try {
        encodeWave(encoder, wave);
        ADD_FAILURE() << "no failure";
    } catch (const EncoderError& error) {
        EXPECT_EQ(error.message(),
            "Internal error #20. Cannot write. System error message: No space left on device");
    }
    EXPECT_THROW(encoder.close(), EncoderError);
}

TEST(WaveEncoding, UpsamplingFactors)
{
    EXPECT_EQ(waveUpsamplingFactor(8000), 4);
    EXPECT_EQ(waveUpsamplingFactor(11025), 4);
    EXPECT_EQ(waveUpsamplingFactor(12000), 4);
    EXPECT_EQ(waveUpsamplingFactor(16000), 2);
    EXPECT_EQ(waveUpsamplingFactor(22050), 2);
    EXPECT_EQ(waveUpsamplingFactor(24000), 2);
    EXPECT_EQ(waveUpsamplingFactor(32000), 1);
    EXPECT_EQ(waveUpsamplingFactor(44100), 1);
    EXPECT_EQ(waveUpsamplingFactor(9000), 1);
}
