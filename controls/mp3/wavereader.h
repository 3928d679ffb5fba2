#pragma once

// A RIFF/WAVE file opened for its PCM samples: the format record of the first "fmt " chunk, the size
// and offset of the first "data" chunk, and reads limited to that chunk. Sizes in the file are
// never trusted: nothing is allocated or read beyond what the source holds.

#include "bytesource.h"
#include "mp3encoder.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace vlsmp3 {

class WaveReader {
public:
    // Size in bytes the format record is read into at least.
    static constexpr std::uint32_t minimumFormatSize = 18;

    // Opens a wave file (UTF-8 path); returns null when it is not a readable PCM wave file.
    static std::unique_ptr<WaveReader> openFile(const std::string& path);
    // Opens the wave in source; returns null when it is not a readable PCM wave.
    static std::unique_ptr<WaveReader> open(std::unique_ptr<ByteSource> source);

    // The "fmt " chunk's record with its extra size set to 0; format tag 1 (PCM).
    const WaveFormat& format() const { return m_format; }
    // The "data" chunk's size as the file states it (above 0), and the offset of its contents.
    std::uint32_t dataSize() const { return m_dataSize; }
    std::uint64_t dataOffset() const { return m_dataOffset; }

    // Reads the next data bytes into out; returns the count, 0 when the data chunk is consumed or
    // the source ends. Throws what the source throws on a failed read.
    std::size_t read(std::span<std::uint8_t> out);

private:
    explicit WaveReader(std::unique_ptr<ByteSource> source);
    bool parse();

    std::unique_ptr<ByteSource> m_source;
    WaveFormat m_format {};
    std::uint32_t m_dataSize = 0;
    std::uint64_t m_dataOffset = 0;
    std::uint64_t m_consumed = 0;
};

} // namespace vlsmp3
