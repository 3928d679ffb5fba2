#pragma once

// A RIFF/WAVE file opened for its PCM samples: the format record of the first "fmt " chunk, the size
// and offset of the first "data" chunk, and reads limited to that chunk. Sizes in the file are
// never trusted: nothing is allocated or read beyond what the source holds.

#include "bytesource.h"
#include "waveformatrecord.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vlsmp3 {

// Which "fmt " records open accepts: PCM only (to read samples), or any format tag (to reach the
// "data" chunk of compressed contents such as MPEG Layer-3).
enum class WaveContents { Pcm, AnyFormat };

class WaveReader {
public:
    // Size in bytes the format record is read into at least.
    static constexpr std::uint32_t minimumFormatSize = 18;

    // Opens a wave file (UTF-8 path); returns null when it is not a readable wave file with the
    // accepted contents.
    static std::unique_ptr<WaveReader> openFile(
        const std::string& path, WaveContents accepted = WaveContents::Pcm);
    // Opens the wave in source; returns null when it is not a readable wave with the accepted
    // contents.
    static std::unique_ptr<WaveReader> open(
        std::unique_ptr<ByteSource> source, WaveContents accepted = WaveContents::Pcm);

    // The "fmt " chunk's record with its extra size set to 0; format tag 1 (PCM) unless open
    // accepted any format.
    const WaveFormat& format() const { return m_format; }
    // The "data" chunk's size as the file states it (above 0), and the offset of its contents.
    std::uint32_t dataSize() const { return m_dataSize; }
    std::uint64_t dataOffset() const { return m_dataOffset; }
    // The contents of the first "LIST" chunk of type "INFO" after its type (its sub-chunks), at
    // most infoLimit bytes; empty when the file has none.
    const std::vector<std::uint8_t>& infoList() const { return m_infoList; }
    static constexpr std::uint32_t infoLimit = 65536;

    // Reads the next data bytes into out; returns the count, 0 when the data chunk is consumed or
    // the source ends. Throws what the source throws on a failed read.
    std::size_t read(std::span<std::uint8_t> out);
    // Continues reading at this many bytes into the data chunk (at most its size).
    void seek(std::uint64_t dataPosition) { m_consumed = std::min<std::uint64_t>(dataPosition, m_dataSize); }

private:
    explicit WaveReader(std::unique_ptr<ByteSource> source);
    bool parse(WaveContents accepted);

    std::unique_ptr<ByteSource> m_source;
    WaveFormat m_format {};
    std::uint32_t m_dataSize = 0;
    std::uint64_t m_dataOffset = 0;
    std::vector<std::uint8_t> m_infoList;
    std::uint64_t m_consumed = 0;
};

} // namespace vlsmp3
