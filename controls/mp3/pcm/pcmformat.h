#pragma once

// A PCM sample format: channels (1 or 2), rate (Hz) and sample size (8 or 16 bits).

#include <cstddef>
#include <cstdint>

namespace vlsmp3 {

struct PcmFormat {
    int channels = 2;
    std::int64_t sampleRate = 44100;
    int bitsPerSample = 16;

    // Bytes per sample frame (all channels).
    std::size_t blockAlign() const { return static_cast<std::size_t>(channels * bitsPerSample / 8); }
    bool operator==(const PcmFormat&) const = default;
};

} // namespace vlsmp3
