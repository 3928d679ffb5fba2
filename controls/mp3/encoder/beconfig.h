#pragma once

// The encoding engine's configuration record in its "LAME" form: 331 bytes, packed, little-endian,
// as the engine interface publishes it. Fields keep their published names.

#include <bit>
#include <cstddef>
#include <cstdint>

namespace vlsmp3 {

inline constexpr std::uint32_t BE_CONFIG_LAME = 256;
inline constexpr std::uint32_t BE_CONFIG_SIZE = 331;

// nMode
inline constexpr std::int32_t BE_MP3_MODE_STEREO = 0;
inline constexpr std::int32_t BE_MP3_MODE_JSTEREO = 1;
inline constexpr std::int32_t BE_MP3_MODE_MONO = 3;

// nPreset
inline constexpr std::int32_t LQP_NORMAL_QUALITY = 0;
inline constexpr std::int32_t LQP_HIGH_QUALITY = 2;
inline constexpr std::int32_t LQP_STANDARD = 6;
inline constexpr std::int32_t LQP_EXTREME = 8;
inline constexpr std::int32_t LQP_INSANE = 10;
inline constexpr std::int32_t LQP_ABR = 11;
inline constexpr std::int32_t LQP_CBR = 12;
inline constexpr std::int32_t LQP_MEDIUM = 13;

inline constexpr std::uint32_t MPEG1 = 1;

#pragma pack(push, 1)
struct BE_CONFIG {
    std::uint32_t dwConfig;
    std::uint32_t dwStructVersion;
    std::uint32_t dwStructSize;
    std::uint32_t dwSampleRate; // input, Hz
    std::uint32_t dwReSampleRate; // output, Hz; 0 = the engine chooses
    std::int32_t nMode;
    std::uint32_t dwBitrate; // kbit/s
    std::uint32_t dwMaxBitrate; // kbit/s
    std::int32_t nPreset;
    std::uint32_t dwMpegVersion;
    std::uint32_t dwPsyModel;
    std::uint32_t dwEmphasis;
    std::int32_t bPrivate;
    std::int32_t bCRC;
    std::int32_t bCopyright;
    std::int32_t bOriginal;
    std::int32_t bWriteVBRHeader;
    std::int32_t bEnableVBR;
    std::int32_t nVBRQuality;
    std::uint32_t dwVbrAbr_bps; // bit/s
    std::int32_t nVbrMethod;
    std::int32_t bNoRes;
    std::int32_t bStrictIso;
    std::uint16_t nQuality;
    std::uint8_t btReserved[237];
};
#pragma pack(pop)

static_assert(std::endian::native == std::endian::little, "the record is little-endian");
static_assert(sizeof(BE_CONFIG) == BE_CONFIG_SIZE);
static_assert(offsetof(BE_CONFIG, dwConfig) == 0);
static_assert(offsetof(BE_CONFIG, dwStructVersion) == 4);
static_assert(offsetof(BE_CONFIG, dwStructSize) == 8);
static_assert(offsetof(BE_CONFIG, dwSampleRate) == 12);
static_assert(offsetof(BE_CONFIG, dwReSampleRate) == 16);
static_assert(offsetof(BE_CONFIG, nMode) == 20);
static_assert(offsetof(BE_CONFIG, dwBitrate) == 24);
static_assert(offsetof(BE_CONFIG, dwMaxBitrate) == 28);
static_assert(offsetof(BE_CONFIG, nPreset) == 32);
static_assert(offsetof(BE_CONFIG, dwMpegVersion) == 36);
static_assert(offsetof(BE_CONFIG, dwPsyModel) == 40);
static_assert(offsetof(BE_CONFIG, dwEmphasis) == 44);
static_assert(offsetof(BE_CONFIG, bPrivate) == 48);
static_assert(offsetof(BE_CONFIG, bCRC) == 52);
static_assert(offsetof(BE_CONFIG, bCopyright) == 56);
static_assert(offsetof(BE_CONFIG, bOriginal) == 60);
static_assert(offsetof(BE_CONFIG, bWriteVBRHeader) == 64);
static_assert(offsetof(BE_CONFIG, bEnableVBR) == 68);
static_assert(offsetof(BE_CONFIG, nVBRQuality) == 72);
static_assert(offsetof(BE_CONFIG, dwVbrAbr_bps) == 76);
static_assert(offsetof(BE_CONFIG, nVbrMethod) == 80);
static_assert(offsetof(BE_CONFIG, bNoRes) == 84);
static_assert(offsetof(BE_CONFIG, bStrictIso) == 88);
static_assert(offsetof(BE_CONFIG, nQuality) == 92);
static_assert(offsetof(BE_CONFIG, btReserved) == 94);

} // namespace vlsmp3
