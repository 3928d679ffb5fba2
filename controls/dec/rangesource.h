#pragma once

#include "bytesource.h"

#include <memory>

namespace vlsdec {

// A window of another byte source: offset 0 here is offset `start` there, and the window ends
// `length` bytes later or at the other source's end, whichever comes first.
class RangeSource final : public vlsmp3::ByteSource {
public:
    RangeSource(std::shared_ptr<vlsmp3::ByteSource> whole, std::uint64_t start, std::uint64_t length);

    std::uint64_t size() const override { return m_size; }
    std::size_t readAt(std::uint64_t offset, void* data, std::size_t size) override;

private:
    std::shared_ptr<vlsmp3::ByteSource> m_whole;
    std::uint64_t m_start;
    std::uint64_t m_size;
};

} // namespace vlsdec
