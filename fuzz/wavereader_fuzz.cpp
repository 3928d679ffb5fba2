// The wave reader on arbitrary bytes: whatever it accepts must be PCM with a non-empty data chunk
// whose contents start inside the bytes, and reads must stop within the data chunk.

#include "memorysource.h"
#include "wavereader.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto reader = vlsmp3::WaveReader::open(std::make_unique<vlsmp3::MemorySource>(std::span(data, size)));
    if (!reader)
        return 0;
    if (reader->format().wFormatTag != vlsmp3::WAVE_FORMAT_PCM || reader->format().cbSize != 0
        || reader->dataSize() == 0 || reader->dataOffset() > size)
        std::abort();
    std::vector<std::uint8_t> piece(4096);
    std::uint64_t total = 0;
    while (const std::size_t n = reader->read(piece)) {
        total += n;
        if (n > piece.size() || total > reader->dataSize() || reader->dataOffset() + total > size)
            std::abort();
    }
    return 0;
}
