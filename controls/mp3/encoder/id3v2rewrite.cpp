#include "id3v2rewrite.h"

#include "encodererror.h"
#include "fileio.h"
#include "vlscom/replacementfile.h"

#include <array>
#include <cerrno>
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

} // namespace

void putId3v2TagInFront(const std::string& path, const std::vector<std::uint8_t>& tag)
{
    vlscom::ReplacementFile temporary;
    if (const int error = temporary.create(path))
        throw EncoderError(EncoderMessage::TagCreateFailed, error);
    // A device or a pipe can neither be read back nor replaced.
    if (temporary.direct())
        throw EncoderError(EncoderMessage::TagOutputNotRegular);
    if (const int error = writeAll(temporary.descriptor(), tag.data(), tag.size()))
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
        if (const int error = writeAll(temporary.descriptor(), piece.data(), static_cast<std::size_t>(count)))
            throw EncoderError(EncoderMessage::TagCopyFailed, error);
    }
    source.close();
    if (const int error = temporary.commit())
        throw EncoderError(EncoderMessage::TagReplaceFailed, error);
}

} // namespace vlsmp3
