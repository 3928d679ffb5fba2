#include "fileio.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vlsmp3 {

namespace {
long sendOrWrite(int fd, const std::uint8_t* data, std::size_t size, bool& socket)
{
    if (socket) {
        const long sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent >= 0 || errno != ENOTSOCK)
            return sent;
        socket = false;
    }
    // Not a socket: a pipe whose reader has gone would raise SIGPIPE. Hold it back on this
    // thread and take it off again if this write raised it.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    const long written = ::write(fd, data, size);
    const int error = errno;
    if (written < 0 && error == EPIPE && !alreadyPending) {
        const timespec none {};
        while (sigtimedwait(&pipeSignal, nullptr, &none) < 0 && errno == EINTR) { }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return written;
}
} // namespace

int writeAll(int fd, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    bool socket = true;
    while (size > 0) {
        const long written = sendOrWrite(fd, bytes, size, socket);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

long readSome(int fd, void* data, std::size_t size)
{
    for (;;) {
        const long count = ::read(fd, data, size);
        if (count >= 0 || errno != EINTR)
            return count;
    }
}

void closeQuietly(int fd)
{
    if (fd < 0)
        return;
    const int error = errno;
    ::close(fd);
    errno = error;
}

} // namespace vlsmp3
