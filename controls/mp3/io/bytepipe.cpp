#include "bytepipe.h"

#include "fileio.h"
#include "ioerror.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace vlsmp3 {

BytePipe::BytePipe(std::uint32_t sizeHint, std::uint32_t receiveSizeHint)
{
    int ends[2] = { -1, -1 };
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        throw IoError(errno);
    m_readEnd = ends[0];
    m_writeEnd = ends[1];
    if (sizeHint > 0) {
        // Only a hint: the system rounds it and keeps its own minimum.
        const int size = static_cast<int>(sizeHint);
        ::setsockopt(m_writeEnd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    }
    if (receiveSizeHint > 0) {
        const int size = static_cast<int>(receiveSizeHint);
        ::setsockopt(m_readEnd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
}

BytePipe::~BytePipe()
{
    closeWriteEnd();
    closeReadEnd();
}

int BytePipe::write(const void* data, std::size_t size)
{
    if (m_writeEnd < 0)
        return EPIPE;
    return writeAll(m_writeEnd, data, size);
}

void BytePipe::closeWriteEnd()
{
    closeQuietly(m_writeEnd);
    m_writeEnd = -1;
}

void BytePipe::shutDownWriteEnd()
{
    if (m_writeEnd >= 0)
        ::shutdown(m_writeEnd, SHUT_WR);
    closeWriteEnd();
}

long BytePipe::read(void* data, std::size_t size)
{
    if (m_readEnd < 0)
        return -1;
    return readSome(m_readEnd, data, size);
}

void BytePipe::closeReadEnd()
{
    closeQuietly(m_readEnd);
    m_readEnd = -1;
}

void BytePipe::shutDownReadEnd()
{
    if (m_readEnd >= 0)
        ::shutdown(m_readEnd, SHUT_RDWR);
    closeReadEnd();
}

std::uint32_t BytePipe::bufferSize() const
{
    int size = 0;
    socklen_t length = sizeof size;
    if (m_writeEnd < 0 || ::getsockopt(m_writeEnd, SOL_SOCKET, SO_SNDBUF, &size, &length) != 0)
        return 0;
    return static_cast<std::uint32_t>(size);
}

} // namespace vlsmp3
