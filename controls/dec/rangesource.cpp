#include "rangesource.h"

#include <algorithm>

namespace vlsdec {

RangeSource::RangeSource(std::shared_ptr<vlsmp3::ByteSource> whole, std::uint64_t start, std::uint64_t length)
    : m_whole(std::move(whole))
    , m_start(std::min(start, m_whole->size()))
    , m_size(std::min(length, m_whole->size() - m_start))
{
}

std::size_t RangeSource::readAt(std::uint64_t offset, void* data, std::size_t size)
{
    if (offset >= m_size)
        return 0;
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, m_size - offset));
    return m_whole->readAt(m_start + offset, data, wanted);
}

} // namespace vlsdec
