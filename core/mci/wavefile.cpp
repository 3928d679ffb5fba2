#include "mci/wavefile.h"

#include "vlscom/endian.h"
#include "vlscom/replacementfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace tmbr::gui {

namespace {

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
    std::vector<std::uint8_t> header;
    const auto id
        = [&header](std::string_view text) { header.insert(header.end(), text.begin(), text.end()); };
    id("RIFF");
    vlscom::appendLe<4>(header, static_cast<std::uint32_t>(36 + size));
    id("WAVEfmt ");
    vlscom::appendLe<4>(header, 16);
    vlscom::appendLe<2>(header, 1);
    vlscom::appendLe<2>(header, format.channels);
    vlscom::appendLe<4>(header, format.samplesPerSec);
    vlscom::appendLe<4>(header, format.bytesPerSec());
    vlscom::appendLe<2>(header, format.blockAlign());
    vlscom::appendLe<2>(header, format.bitsPerSample);
    id("data");
    vlscom::appendLe<4>(header, static_cast<std::uint32_t>(size));

    vlscom::ReplacementFile file;
    if (const int code = file.create(path))
        return fail(error, code);
    // A device or a pipe is written as it is; it has no file to be replaced.
    const int fd = file.direct() ? ::open(path.c_str(), O_WRONLY | O_CLOEXEC) : file.descriptor();
    if (fd < 0)
        return fail(error, errno);
    int code = vlscom::writeAll(fd, header.data(), header.size());
    if (code == 0)
        code = vlscom::writeAll(fd, data, size);
    if (file.direct() && ::close(fd) != 0 && code == 0)
        code = errno;
    if (code == 0)
        code = file.commit();
    if (code != 0)
        return fail(error, code);
    return true;
}

} // namespace tmbr::gui
