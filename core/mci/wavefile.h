#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tmbr::gui {

// Integer PCM: samples per second, channels, bits per sample.
struct PcmFormat {
    std::uint32_t samplesPerSec = 11025;
    std::uint16_t channels = 1;
    std::uint16_t bitsPerSample = 16;

    std::uint16_t blockAlign() const { return static_cast<std::uint16_t>(channels * (bitsPerSample / 8)); }
    std::uint32_t bytesPerSec() const { return samplesPerSec * blockAlign(); }
    bool operator==(const PcmFormat&) const = default;
};

// The most sample bytes a RIFF/WAVE file holds (its sizes are 32-bit).
inline constexpr std::size_t kMaxWaveDataBytes = 0xFFFFFFFFu - 36u;

// Writes a canonical 44-byte-header RIFF/WAVE file of `format` holding
// `size` bytes of interleaved little-endian samples. The file is written
// under a temporary name beside `path` and renamed over `path` only when
// complete (vlscom::ReplacementFile: a link is followed, a device or a pipe is
// written as it is), so a failure leaves no partial file and an older file at
// `path` untouched. On failure returns false with the system's reason in
// `error`.
bool writeWaveFile(const std::string& path, const PcmFormat& format, const char* data, std::size_t size,
    std::string* error = nullptr);

} // namespace tmbr::gui
