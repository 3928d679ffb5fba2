#include "platform/wavefile.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tmbr::gui {

namespace {

void put16(char* at, std::uint32_t value)
{
    at[0] = static_cast<char>(value & 0xFF);
    at[1] = static_cast<char>((value >> 8) & 0xFF);
}

void put32(char* at, std::uint32_t value)
{
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool fail(std::string* error, int code)
{
    if (error)
        *error = std::strerror(code);
    return false;
}

} // namespace

bool writeWaveFile(
    const std::string& path, const PcmFormat& format, const char* data, std::size_t size, std::string* error)
{
    if (size > kMaxWaveDataBytes)
        return fail(error, EFBIG);
    std::array<char, 44> header {};
    std::memcpy(header.data(), "RIFF", 4);
    put32(header.data() + 4, static_cast<std::uint32_t>(36 + size));
    std::memcpy(header.data() + 8, "WAVEfmt ", 8);
    put32(header.data() + 16, 16);
    put16(header.data() + 20, 1);
    put16(header.data() + 22, format.channels);
    put32(header.data() + 24, format.samplesPerSec);
    put32(header.data() + 28, format.bytesPerSec());
    put16(header.data() + 32, format.blockAlign());
    put16(header.data() + 34, format.bitsPerSample);
    std::memcpy(header.data() + 36, "data", 4);
    put32(header.data() + 40, static_cast<std::uint32_t>(size));

    static std::atomic<unsigned> counter { 0 };
    const std::string temporary
        = path + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(error, errno);
    const bool written = writeAll(fd, header.data(), header.size()) && writeAll(fd, data, size);
    int code = written ? 0 : errno;
    if (written && ::fsync(fd) != 0)
        code = errno;
    if (::close(fd) != 0 && code == 0)
        code = errno;
    if (code == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        code = errno;
    if (code != 0) {
        ::unlink(temporary.c_str());
        return fail(error, code);
    }
    return true;
}

} // namespace tmbr::gui
