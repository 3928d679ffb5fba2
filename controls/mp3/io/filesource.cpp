#include "filesource.h"

#include "ioerror.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vlsmp3 {

FileSource::FileSource(const std::string& path)
{
    // Non-blocking, so that a FIFO given as the file cannot hang the open; it is refused below.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (m_fd < 0)
        throw IoError(errno);
    struct stat status { };
    const bool statFailed = ::fstat(m_fd, &status) != 0;
    if (statFailed || !S_ISREG(status.st_mode)) {
        const int error = statFailed ? errno : (S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
        ::close(m_fd);
        throw IoError(error);
    }
    m_size = static_cast<std::uint64_t>(status.st_size);
    ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

FileSource::~FileSource()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::size_t FileSource::readAt(std::uint64_t offset, void* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n
            = ::pread(m_fd, static_cast<char*>(data) + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw IoError(errno);
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

} // namespace vlsmp3
