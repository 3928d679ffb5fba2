#pragma once

#include "bytesource.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

namespace vlsmp3 {

// Bytes held in memory (a copy of what it was given).
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes)
        : m_bytes(bytes.begin(), bytes.end())
    {
    }

    std::uint64_t size() const override { return m_bytes.size(); }

    std::size_t readAt(std::uint64_t offset, void* data, std::size_t size) override
    {
        if (offset >= m_bytes.size())
            return 0;
        const std::size_t count = std::min<std::uint64_t>(size, m_bytes.size() - offset);
        std::memcpy(data, m_bytes.data() + offset, count);
        return count;
    }

private:
    std::vector<std::uint8_t> m_bytes;
};

} // namespace vlsmp3
