// The wave reader on arbitrary bytes: whatever it accepts must be PCM with a non-empty data chunk
// whose contents start inside the bytes, and reads must stop within the data chunk. Opened for any
// contents it accepts at least what it accepts as PCM, and reads after a seek stop there too.

#include "memorysource.h"
#include "wavereader.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void readAfterSeek(vlsmp3::WaveReader& reader, std::size_t size)
{
    const std::uint64_t from = reader.dataSize() / 3;
    reader.seek(from);
    std::vector<std::uint8_t> piece(1000);
    std::uint64_t total = from;
    while (const std::size_t n = reader.read(piece)) {
        total += n;
        if (total > reader.dataSize() || reader.dataOffset() + total > size)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto any = vlsmp3::WaveReader::open(
        std::make_unique<vlsmp3::MemorySource>(std::span(data, size)), vlsmp3::WaveContents::AnyFormat);
    if (any)
        readAfterSeek(*any, size);
    auto reader = vlsmp3::WaveReader::open(std::make_unique<vlsmp3::MemorySource>(std::span(data, size)));
    if (!reader)
        return 0;
    if (!any)
        std::abort();
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
