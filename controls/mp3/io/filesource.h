#pragma once

#include "bytesource.h"

#include <string>

namespace vlsmp3 {

// A file opened for reading (existing only), read with pread; its size is taken at opening.
class FileSource final : public ByteSource {
public:
    // Throws IoError when the file cannot be opened or is not a regular file.
    explicit FileSource(const std::string& path);
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    ~FileSource() override;

    std::uint64_t size() const override { return m_size; }
    std::size_t readAt(std::uint64_t offset, void* data, std::size_t size) override;

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

} // namespace vlsmp3
