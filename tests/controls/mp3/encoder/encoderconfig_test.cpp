#include "encoderconfig.h"
#include "encodererror.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace vlsmp3;

namespace {
EncoderSettings settings(OutputMode mode, std::uint32_t bitrate, std::uint32_t channels, std::uint32_t rate)
{
    EncoderSettings s;
    s.mode = mode;
    s.bitrate = bitrate;
    s.channels = channels;
    s.sampleRate = rate;
    return s;
}

EncoderSettings vbr(float quality, std::uint32_t channels = 2)
{
    EncoderSettings s;
    s.mode = OutputMode::VBR;
    s.quality = quality;
    s.channels = channels;
    return s;
}

// The record every case starts from: zeros except the fixed fields.
BE_CONFIG baseRecord(std::uint32_t rate)
{
    BE_CONFIG record;
    std::memset(&record, 0, sizeof record);
    record.dwConfig = 256;
    record.dwStructVersion = 1;
    record.dwStructSize = 331;
    record.dwSampleRate = rate;
    record.dwMpegVersion = 1;
    record.bOriginal = 1;
    return record;
}

void expectRecord(const BE_CONFIG& actual, const BE_CONFIG& expected)
{
    EXPECT_EQ(std::memcmp(&actual, &expected, sizeof actual), 0)
        << "nMode " << actual.nMode << " dwBitrate " << actual.dwBitrate << " nPreset " << actual.nPreset
        << " bWriteVBRHeader " << actual.bWriteVBRHeader << " dwVbrAbr_bps " << actual.dwVbrAbr_bps;
}
} // namespace

// The fixed fields sit at their published offsets in a 331-byte record.
TEST(EncoderConfig, RecordBytesAtTheirOffsets)
{
    EncoderSettings s = settings(OutputMode::CBR, 128000, 2, 44100);
    s.forcedSampleRate = 22050;
    const BE_CONFIG record = buildEncoderConfig(s).record;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    auto at = [&](std::size_t offset) {
        return static_cast<std::uint32_t>(
            bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 | bytes[offset + 3] << 24);
    };
    EXPECT_EQ(at(0), 256U);
    EXPECT_EQ(at(4), 1U);
    EXPECT_EQ(at(8), 331U);
    EXPECT_EQ(at(12), 44100U);
    EXPECT_EQ(at(16), 22050U);
    EXPECT_EQ(at(24), 128U);
    EXPECT_EQ(at(32), 12U);
    EXPECT_EQ(at(36), 1U);
    EXPECT_EQ(at(60), 1U);
    for (std::size_t i = 80; i < 331; ++i)
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
}

// Stereo 44100 Hz CBR 128000: preset path, preset 12, no VBR header.
TEST(EncoderConfig, StereoCbrTakesThePresetPath)
{
    const EncoderConfig config = buildEncoderConfig(settings(OutputMode::CBR, 128000, 2, 44100));
    EXPECT_EQ(config.path, ConfigPath::Preset);
    BE_CONFIG expected = baseRecord(44100);
    expected.nPreset = 12;
    expected.dwBitrate = 128;
    expectRecord(config.record, expected);
}

// Mono 44100 Hz CBR 128000: direct path, mono, VBR header.
TEST(EncoderConfig, MonoCbrTakesTheDirectPath)
{
    const EncoderConfig config = buildEncoderConfig(settings(OutputMode::CBR, 128000, 1, 44100));
    EXPECT_EQ(config.path, ConfigPath::Direct);
    BE_CONFIG expected = baseRecord(44100);
    expected.nMode = 3;
    expected.dwBitrate = 128;
    expected.nPreset = 0;
    expected.bWriteVBRHeader = 1;
    expectRecord(config.record, expected);
}

// Below 32000 Hz the direct path halves the bit rate; above 160000 it is plain stereo.
TEST(EncoderConfig, LowRatesHalveTheBitrate)
{
    BE_CONFIG expected = baseRecord(22050);
    expected.nMode = 1;
    expected.dwBitrate = 32;
    expected.nPreset = 0;
    expected.bWriteVBRHeader = 1;
    expectRecord(buildEncoderConfig(settings(OutputMode::CBR, 64000, 2, 22050)).record, expected);

    expected.nMode = 0;
    expected.dwBitrate = 96;
    expected.nPreset = 2;
    expected.dwVbrAbr_bps = 0;
    expectRecord(buildEncoderConfig(settings(OutputMode::CBR, 192000, 2, 22050)).record, expected);

    expected.dwVbrAbr_bps = 96000;
    expectRecord(buildEncoderConfig(settings(OutputMode::ABR, 192000, 2, 22050)).record, expected);
}

// Mono ABR takes the direct path; the average rate is kept above 128 kbit/s only.
TEST(EncoderConfig, MonoAbrKeepsTheAverageAbove128)
{
    BE_CONFIG expected = baseRecord(44100);
    expected.nMode = 3;
    expected.dwBitrate = 96;
    expected.nPreset = 0;
    expected.bWriteVBRHeader = 1;
    expectRecord(buildEncoderConfig(settings(OutputMode::ABR, 96000, 1, 44100)).record, expected);

    expected.dwBitrate = 192;
    expected.nPreset = 2;
    expected.dwVbrAbr_bps = 192000;
    expectRecord(buildEncoderConfig(settings(OutputMode::ABR, 192000, 1, 44100)).record, expected);
}

// Stereo ABR at 32000 Hz and above: preset 11 with the rate in bit/s and a VBR header.
TEST(EncoderConfig, StereoAbrTakesPreset11)
{
    BE_CONFIG expected = baseRecord(32000);
    expected.nPreset = 11;
    expected.dwVbrAbr_bps = 80000;
    expected.bWriteVBRHeader = 1;
    const EncoderConfig config = buildEncoderConfig(settings(OutputMode::ABR, 80000, 2, 32000));
    EXPECT_EQ(config.path, ConfigPath::Preset);
    expectRecord(config.record, expected);
    // Stereo CBR below 80000 bit/s stays on the direct path.
    EXPECT_EQ(buildEncoderConfig(settings(OutputMode::CBR, 64000, 2, 44100)).path, ConfigPath::Direct);
}

// VBR picks the nearest table quality; ties go to the lower row.
TEST(EncoderConfig, VbrQualitySelectsThePreset)
{
    EXPECT_EQ(buildEncoderConfig(vbr(0.0F)).record.nPreset, 13);
    EXPECT_EQ(buildEncoderConfig(vbr(0.375F)).record.nPreset, 13);
    EXPECT_EQ(buildEncoderConfig(vbr(0.5F)).record.nPreset, 6);
    EXPECT_EQ(buildEncoderConfig(vbr(0.625F)).record.nPreset, 6);
    EXPECT_EQ(buildEncoderConfig(vbr(0.8F)).record.nPreset, 8);
    EXPECT_EQ(buildEncoderConfig(vbr(1.0F)).record.nPreset, 10);
    BE_CONFIG expected = baseRecord(44100);
    expected.nPreset = 6;
    expected.bWriteVBRHeader = 1;
    const EncoderConfig config = buildEncoderConfig(vbr(0.5F));
    EXPECT_EQ(config.path, ConfigPath::Preset);
    expectRecord(config.record, expected);
    // Mono VBR input tells the engine it is mono.
    expected.nMode = 3;
    expectRecord(buildEncoderConfig(vbr(0.5F, 1)).record, expected);
    EXPECT_THROW(buildEncoderConfig(vbr(5.0F)), EncoderError);
}

// Handle outputs never ask for a VBR header, on either path.
TEST(EncoderConfig, HandleModeHasNoVbrHeader)
{
    for (const EncoderSettings& base : { settings(OutputMode::CBR, 128000, 1, 44100),
             settings(OutputMode::ABR, 192000, 2, 44100), vbr(0.5F) }) {
        EncoderSettings s = base;
        s.output = OutputKind::Handle;
        EXPECT_EQ(buildEncoderConfig(s).record.bWriteVBRHeader, 0);
        s.output = OutputKind::File;
        EXPECT_EQ(buildEncoderConfig(s).record.bWriteVBRHeader, 1);
    }
}
