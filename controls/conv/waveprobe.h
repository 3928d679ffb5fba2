#pragma once

// The format tag of a RIFF/WAVE file as decoder selection reads it: among the top-level chunks the
// first "RIFF" chunk of form "WAVE" (other chunks are stepped over), within it the first "fmt "
// sub-chunk, and at least max(chunk size, 18) bytes present in the file from the start of that
// chunk's data. Odd-sized chunks are followed by one pad byte.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace vlsconv {

// The little-endian 16-bit value at the start of the "fmt " data; nullopt when the bytes hold no
// such chunk.
std::optional<std::uint16_t> probeWaveFormatTag(std::span<const std::uint8_t> bytes);

// The same for a file (UTF-8 path). nullopt also when the file cannot be opened or read, or is not
// a regular file (a FIFO is refused without blocking).
std::optional<std::uint16_t> probeWaveFileFormatTag(const std::string& path);

} // namespace vlsconv
