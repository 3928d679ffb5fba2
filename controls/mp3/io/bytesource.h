#pragma once

// Random-access bytes that the stream reader and the decoding thread read from: a file, or memory
// in tests and fuzz targets.

#include <cstddef>
#include <cstdint>

namespace vlsmp3 {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Total size in bytes.
    virtual std::uint64_t size() const = 0;
    // Reads up to size bytes at offset; returns the count (less at the end, 0 past it). Throws
    // IoError on a failed read. Safe to call from one thread at a time.
    virtual std::size_t readAt(std::uint64_t offset, void* data, std::size_t size) = 0;
};

} // namespace vlsmp3
