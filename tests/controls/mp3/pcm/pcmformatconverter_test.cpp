#include "decodertestsupport.h"
#include "pcmformatconverter.h"

#include <gtest/gtest.h>

using namespace vlsmp3;

namespace {

std::vector<std::uint8_t> convertAll(PcmFormatConverter& converter, const std::vector<std::uint8_t>& input)
{
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> buffer(65536);
    std::size_t at = 0;
    const auto drain = [&] {
        for (std::size_t n; (n = converter.take(buffer)) > 0;)
            out.insert(out.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
    };
    while (at < input.size()) {
        const std::size_t piece = std::min<std::size_t>(16384, input.size() - at);
        at += converter.push(std::span(input.data() + at, piece));
        drain();
    }
    while (!converter.flush())
        drain();
    drain();
    return out;
}

std::vector<std::uint8_t> samples16(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> bytes;
    for (const int v : values) {
        bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    return bytes;
}

} // namespace

// Channel and sample-size mappings at equal rates.
TEST(PcmFormatConverter, ChannelAndSampleSizeMappings)
{
    PcmFormatConverter toMono({ 2, 44100, 16 }, { 1, 44100, 16 });
    EXPECT_EQ(
        convertAll(toMono, samples16({ 1000, -1000, 301, 100, -301, -100 })), samples16({ 0, 200, -200 }));
    PcmFormatConverter toStereo({ 1, 44100, 16 }, { 2, 44100, 16 });
    EXPECT_EQ(convertAll(toStereo, samples16({ 5, -7 })), samples16({ 5, 5, -7, -7 }));
    PcmFormatConverter from8({ 1, 8000, 8 }, { 1, 8000, 16 });
    EXPECT_EQ(convertAll(from8, { 128, 0, 255 }), samples16({ 0, -32768, 32512 }));
    PcmFormatConverter to8({ 1, 8000, 16 }, { 1, 8000, 8 });
    EXPECT_EQ(convertAll(to8, samples16({ 0, -32768, 32767, -1, -256 })),
        (std::vector<std::uint8_t> { 128, 0, 255, 128, 127 }));
}

// At ratio 1 a long stream passes through unchanged, in any piece sizes.
TEST(PcmFormatConverter, RatioOneCopies)
{
    const auto input = mp3test::tone(1000, 44100, 2, 16, 100000);
    PcmFormatConverter converter({ 2, 44100, 16 }, { 2, 44100, 16 });
    EXPECT_EQ(convertAll(converter, input), input);
}

// Resampled tones keep their frequency and have the expected length.
TEST(PcmFormatConverter, ResampledTonesKeepFrequencyAndLength)
{
    struct Case {
        int from;
        int to;
        int channels;
    } cases[] = { { 44100, 22050, 2 }, { 22050, 44100, 1 }, { 8000, 48000, 1 }, { 48000, 44100, 2 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
        const std::size_t frames = static_cast<std::size_t>(c.from) * 2;
        const auto input = mp3test::tone(1000, c.from, c.channels, 16, frames);
        PcmFormatConverter converter({ c.channels, c.from, 16 }, { c.channels, c.to, 16 });
        const auto out = mp3test::toSamples(convertAll(converter, input));
        // The flush drains the filter: every target instant inside the input comes out, and no
        // more.
        const std::size_t expectedFrames
            = (frames * std::size_t(c.to) + std::size_t(c.from) - 1) / std::size_t(c.from);
        EXPECT_EQ(out.size() / std::size_t(c.channels), expectedFrames);
        // The tone goes on to the end: the last frames are not the filter's silence.
        const auto last = std::max_element(out.end() - c.channels * (c.to / 1000), out.end());
        EXPECT_GT(*last, 8000);
        for (int channel = 0; channel < c.channels; ++channel)
            EXPECT_NEAR(mp3test::crossingFrequency(out, c.channels, channel, c.to), 1000.0, 2.0);
        // Amplitude kept (the tone is at half scale).
        const auto peak = *std::max_element(out.begin() + out.size() / 4, out.end() - out.size() / 4);
        EXPECT_NEAR(peak, 16384, 600);
    }
}

// The filter table: length 32 for whole-number ratios, 31 otherwise; at most 320 phases; rows sum to 1.
TEST(SincResampler, FilterTable)
{
    SincResampler half(44100, 22050);
    EXPECT_EQ(half.filterLength(), 32);
    EXPECT_EQ(half.phases(), 1);
    SincResampler up(22050, 44100);
    EXPECT_EQ(up.filterLength(), 31);
    SincResampler odd(44100, 48000);
    EXPECT_EQ(odd.phases(), 160);
    SincResampler capped(44100, 44099);
    EXPECT_EQ(capped.phases(), 320);
    for (int r = 0; r <= 2 * odd.phases(); r += 37) {
        double sum = 0;
        for (const double c : odd.row(r))
            sum += c;
        EXPECT_NEAR(sum, 1.0, 1e-12);
    }
}

// The rings never grow: with nothing taken, pushing stops being accepted instead of losing data.
TEST(PcmFormatConverter, MemoryStaysBounded)
{
    PcmFormatConverter converter({ 1, 8000, 16 }, { 2, 48000, 16 });
    const auto input = mp3test::tone(440, 8000, 1, 16, 8000);
    std::size_t accepted = 0;
    for (int round = 0; round < 200; ++round)
        accepted += converter.push(input);
    EXPECT_LE(converter.held(), PcmFormatConverter::ringSize);
    EXPECT_LT(accepted, 200 * input.size());
    // What was accepted comes out whole: 12 output bytes per input sample frame of 2 bytes.
    std::vector<std::uint8_t> buffer(1 << 20);
    std::size_t out = 0;
    for (;;) {
        const std::size_t n = converter.take(buffer);
        out += n;
        const bool done = converter.flush();
        if (n == 0 && done && converter.held() == 0)
            break;
    }
    EXPECT_NEAR(double(out), double(accepted) * 12, 12 * 64);
}
