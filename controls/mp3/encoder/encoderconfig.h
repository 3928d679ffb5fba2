#pragma once

// How an encoder's settings become the engine's configuration record.

#include "beconfig.h"

#include <cstdint>

namespace vlsmp3 {

enum class OutputMode { CBR = 0, ABR = 1, VBR = 2 };
enum class OutputKind { File, Handle };
// Which engine preset family a configuration takes: a plain bit rate (direct) or a named preset.
enum class ConfigPath { Direct, Preset };

struct EncoderSettings {
    OutputMode mode = OutputMode::VBR;
    std::uint32_t bitrate = 0; // bit/s, CBR and ABR
    float quality = 0.5F; // 0 to 1, VBR
    std::uint32_t channels = 2;
    std::uint32_t sampleRate = 44100; // input, Hz
    std::uint32_t forcedSampleRate = 0; // output, Hz; 0 = the engine chooses
    OutputKind output = OutputKind::File;
};

struct EncoderConfig {
    BE_CONFIG record;
    ConfigPath path;
};

// The preset path serves VBR, and CBR or ABR at 80000 bit/s and above for stereo input at 32000 Hz
// and above; everything else takes the direct path. Throws EncoderError "VBR preset could not be
// selected." for a quality outside 0 to 1.
EncoderConfig buildEncoderConfig(const EncoderSettings& settings);

} // namespace vlsmp3
