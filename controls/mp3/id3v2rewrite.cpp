#include "id3v2rewrite.h"

#include "encodererror.h"
#include "fileio.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace vlsmp3 {

namespace {
class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { closeQuietly(m_fd); }

    int fd() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // The result of close, which reports a delayed write failure.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

// Removes the temporary file unless released.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path)
        : m_path(std::move(path))
    {
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    void release() { m_path.clear(); }

private:
    std::string m_path;
};
} // namespace

std::string temporaryTagPath(const std::string& path)
{
    std::string temporary = path;
    if (temporary.empty())
        return "~";
    // The last character may take several UTF-8 bytes.
    std::size_t start = temporary.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(temporary[start]) & 0xC0) == 0x80)
        --start;
    temporary.resize(start);
    temporary.push_back('~');
    return temporary;
}

void putId3v2TagInFront(const std::string& path, const std::vector<std::uint8_t>& tag)
{
    const std::string temporaryPath = temporaryTagPath(path);
    Descriptor temporary(::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!temporary.valid())
        throw EncoderError(EncoderMessage::TagCreateFailed, errno);
    TemporaryFile cleanup(temporaryPath);
    if (const int error = writeAll(temporary.fd(), tag.data(), tag.size()))
        throw EncoderError(EncoderMessage::TagWriteFailed, error);

    Descriptor source(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!source.valid())
        throw EncoderError(EncoderMessage::TagOpenFailed, errno);
    ::posix_fadvise(source.fd(), 0, 0, POSIX_FADV_SEQUENTIAL);
    std::array<std::uint8_t, 16384> piece;
    for (;;) {
        const long count = readSome(source.fd(), piece.data(), piece.size());
        if (count < 0)
            throw EncoderError(EncoderMessage::TagReadFailed, errno);
        if (count == 0)
            break;
        if (const int error = writeAll(temporary.fd(), piece.data(), static_cast<std::size_t>(count)))
            throw EncoderError(EncoderMessage::TagCopyFailed, error);
    }
    source.close();
    if (temporary.close() != 0)
        throw EncoderError(EncoderMessage::TagCopyFailed, errno);
    if (std::rename(temporaryPath.c_str(), path.c_str()) != 0)
        throw EncoderError(EncoderMessage::TagCopyFailed, errno);
    cleanup.release();
}

} // namespace vlsmp3
