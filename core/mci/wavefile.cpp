#include "mci/wavefile.h"

#include "vlscom/replacementfile.h"

#include <array>
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

    vlscom::ReplacementFile file;
    if (const int code = file.create(path))
        return fail(error, code);
    // A device or a pipe is written as it is; it has no file to be replaced.
    const int fd = file.direct() ? ::open(path.c_str(), O_WRONLY | O_CLOEXEC) : file.descriptor();
    if (fd < 0)
        return fail(error, errno);
    int code = writeAll(fd, header.data(), header.size()) && writeAll(fd, data, size) ? 0 : errno;
    if (file.direct() && ::close(fd) != 0 && code == 0)
        code = errno;
    if (code == 0)
        code = file.commit();
    if (code != 0)
        return fail(error, code);
    return true;
}

} // namespace tmbr::gui
