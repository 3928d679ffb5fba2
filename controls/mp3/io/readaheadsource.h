#pragma once

#include "bytesource.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vlsmp3 {

// Reads another source a window at a time and serves small reads that fall inside the window from
// memory: a reader that walks a file in small steps costs one system read per window instead of one
// per step. Reads as large as the window go straight through. For one thread, like its source.
class ReadAheadSource final : public ByteSource {
public:
    explicit ReadAheadSource(ByteSource& source, std::size_t window = 65536)
        : m_source(source)
        , m_window(window)
    {
    }

    std::uint64_t size() const override { return m_source.size(); }

    std::size_t readAt(std::uint64_t offset, void* data, std::size_t size) override
    {
        if (size >= m_window.size())
            return m_source.readAt(offset, data, size);
        if (offset < m_start || offset + size > m_start + m_held) {
            m_held = 0;
            m_start = offset;
            m_held = m_source.readAt(offset, m_window.data(), m_window.size());
        }
        const std::size_t count = std::min<std::uint64_t>(size, m_start + m_held - offset);
        std::memcpy(data, m_window.data() + (offset - m_start), count);
        return count;
    }

private:
    ByteSource& m_source;
    std::vector<std::uint8_t> m_window;
    // The window holds m_held bytes of the source from m_start.
    std::uint64_t m_start = 0;
    std::size_t m_held = 0;
};

} // namespace vlsmp3
