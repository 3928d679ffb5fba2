#include "encoderconfig.h"

#include "encodererror.h"

#include <cmath>
#include <cstring>

namespace vlsmp3 {

namespace {
void configureDirect(const EncoderSettings& settings, BE_CONFIG& record)
{
    if (settings.channels == 1)
        record.nMode = BE_MP3_MODE_MONO;
    else
        record.nMode = settings.bitrate <= 160000 ? BE_MP3_MODE_JSTEREO : BE_MP3_MODE_STEREO;
    const std::uint32_t kbps = settings.bitrate / 1000;
    record.dwBitrate = kbps;
    record.bWriteVBRHeader = 1;
    std::uint32_t average = 0;
    if (kbps > 128) {
        record.nPreset = LQP_HIGH_QUALITY;
        average = kbps;
    } else {
        record.nPreset = LQP_NORMAL_QUALITY;
    }
    if (settings.sampleRate < 32000) {
        record.dwBitrate >>= 1;
        average >>= 1;
    }
    record.dwVbrAbr_bps = settings.mode == OutputMode::CBR ? 0 : average * 1000;
}

std::int32_t vbrPreset(float quality)
{
    struct Row {
        float quality;
        std::int32_t preset;
    };
    static constexpr Row rows[]
        = { { 0.25F, LQP_MEDIUM }, { 0.5F, LQP_STANDARD }, { 0.75F, LQP_EXTREME }, { 0.9F, LQP_INSANE } };
    float best = 1.0F;
    std::int32_t chosen = -1;
    for (const Row& row : rows) {
        const float distance = std::fabs(row.quality - quality);
        // Strictly less: a tie keeps the earlier row.
        if (distance < best) {
            best = distance;
            chosen = row.preset;
        }
    }
    if (chosen < 0)
        throw EncoderError(EncoderMessage::VbrPresetNotSelected);
    return chosen;
}

void configurePreset(const EncoderSettings& settings, BE_CONFIG& record)
{
    // Mono input reaches this path only in VBR mode; the engine needs to know it is mono.
    if (settings.channels == 1)
        record.nMode = BE_MP3_MODE_MONO;
    switch (settings.mode) {
    case OutputMode::CBR:
        record.nPreset = LQP_CBR;
        record.dwBitrate = settings.bitrate / 1000;
        break;
    case OutputMode::ABR:
        record.nPreset = LQP_ABR;
        record.dwVbrAbr_bps = settings.bitrate;
        record.bWriteVBRHeader = 1;
        break;
    case OutputMode::VBR:
        record.nPreset = vbrPreset(settings.quality);
        record.bWriteVBRHeader = 1;
        break;
    }
}
} // namespace

EncoderConfig buildEncoderConfig(const EncoderSettings& settings)
{
    EncoderConfig config {};
    BE_CONFIG& record = config.record;
    std::memset(&record, 0, sizeof record);
    record.dwConfig = BE_CONFIG_LAME;
    record.dwStructVersion = 1;
    record.dwStructSize = BE_CONFIG_SIZE;
    record.dwSampleRate = settings.sampleRate;
    record.dwReSampleRate = settings.forcedSampleRate;
    record.dwMpegVersion = MPEG1;
    record.bOriginal = 1;

    const bool preset = settings.mode == OutputMode::VBR
        || (settings.bitrate >= 80000 && settings.channels != 1 && settings.sampleRate >= 32000);
    config.path = preset ? ConfigPath::Preset : ConfigPath::Direct;
    if (preset)
        configurePreset(settings, record);
    else
        configureDirect(settings, record);
    if (settings.output == OutputKind::Handle)
        record.bWriteVBRHeader = 0;
    return config;
}

} // namespace vlsmp3
