#pragma once

// A byte ring buffer of fixed capacity.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vlsmp3 {

class ByteRing {
public:
    explicit ByteRing(std::size_t capacity)
        : m_bytes(capacity)
    {
    }

    std::size_t capacity() const { return m_bytes.size(); }
    std::size_t held() const { return m_held; }
    std::size_t room() const { return m_bytes.size() - m_held; }

    // Appends min(size, room()) bytes; returns how many.
    std::size_t write(const void* data, std::size_t size);
    // Removes up to size bytes into data; returns how many.
    std::size_t read(void* data, std::size_t size);

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_start = 0;
    std::size_t m_held = 0;
};

} // namespace vlsmp3
