// The decoder selection's WAV probe on arbitrary bytes: whatever tag it reports must be the first
// two bytes of a "fmt " chunk that lies inside the input with at least 18 bytes after its header.

#include "waveprobe.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto tag = vlsconv::probeWaveFormatTag(std::span(data, size));
    if (!tag)
        return 0;
    // Some "fmt " header must be followed by the reported tag and 16 more bytes.
    for (std::size_t at = 12; at + 8 + 18 <= size; ++at) {
        if (std::memcmp(data + at, "fmt ", 4) == 0 && (data[at + 8] | data[at + 9] << 8) == *tag)
            return 0;
    }
    std::abort();
}
