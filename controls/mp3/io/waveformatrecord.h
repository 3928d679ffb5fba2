#pragma once

#include <cstdint>

namespace vlsmp3 {

// The wave format record (WAVEFORMATEX).
struct WaveFormat {
    std::uint16_t wFormatTag;
    std::uint16_t nChannels;
    std::uint32_t nSamplesPerSec;
    std::uint32_t nAvgBytesPerSec;
    std::uint16_t nBlockAlign;
    std::uint16_t wBitsPerSample;
    std::uint16_t cbSize;
};

inline constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

} // namespace vlsmp3
