#pragma once

// The wave format record: the PCM format an encoder takes and a decoder gives (18 bytes, packed,
// little-endian, as the platform publishes it).

#include <cstdint>

#pragma pack(push, 1)
struct WAVEFORMATEX {
    std::uint16_t wFormatTag; // 1 = PCM
    std::uint16_t nChannels;
    std::uint32_t nSamplesPerSec; // Hz
    std::uint32_t nAvgBytesPerSec;
    std::uint16_t nBlockAlign; // bytes per sample frame
    std::uint16_t wBitsPerSample;
    std::uint16_t cbSize; // bytes of extra format data after the record
};
#pragma pack(pop)

static_assert(sizeof(WAVEFORMATEX) == 18);

inline constexpr std::uint16_t WAVE_FORMAT_PCM = 1;
