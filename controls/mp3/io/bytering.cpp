#include "bytering.h"

#include <algorithm>
#include <cstring>

namespace vlsmp3 {

std::size_t ByteRing::write(const void* data, std::size_t size)
{
    const std::size_t count = std::min(size, room());
    const auto* from = static_cast<const std::uint8_t*>(data);
    std::size_t end = (m_start + m_held) % m_bytes.size();
    std::size_t done = 0;
    while (done < count) {
        const std::size_t piece = std::min(count - done, m_bytes.size() - end);
        std::memcpy(m_bytes.data() + end, from + done, piece);
        done += piece;
        end = (end + piece) % m_bytes.size();
    }
    m_held += count;
    return count;
}

std::size_t ByteRing::read(void* data, std::size_t size)
{
    const std::size_t count = std::min(size, m_held);
    auto* to = static_cast<std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < count) {
        const std::size_t piece = std::min(count - done, m_bytes.size() - m_start);
        std::memcpy(to + done, m_bytes.data() + m_start, piece);
        done += piece;
        m_start = (m_start + piece) % m_bytes.size();
    }
    m_held -= count;
    if (m_held == 0)
        m_start = 0;
    return count;
}

} // namespace vlsmp3
