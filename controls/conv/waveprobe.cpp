#include "waveprobe.h"

#include "vlscom/endian.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vlsconv {

namespace {

// Random-access bytes: memory or an open file.
class ProbeSource {
public:
    virtual ~ProbeSource() = default;
    virtual std::uint64_t size() const = 0;
    // True when all of size bytes at offset were read.
    virtual bool readExactly(std::uint64_t offset, void* data, std::size_t size) = 0;
};

class MemorySource final : public ProbeSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes)
        : m_bytes(bytes)
    {
    }
    std::uint64_t size() const override { return m_bytes.size(); }
    bool readExactly(std::uint64_t offset, void* data, std::size_t size) override
    {
        if (offset > m_bytes.size() || m_bytes.size() - offset < size)
            return false;
        std::memcpy(data, m_bytes.data() + offset, size);
        return true;
    }

private:
    std::span<const std::uint8_t> m_bytes;
};

class FileSource final : public ProbeSource {
public:
    FileSource(int fd, std::uint64_t size)
        : m_fd(fd)
        , m_size(size)
    {
    }
    std::uint64_t size() const override { return m_size; }
    bool readExactly(std::uint64_t offset, void* data, std::size_t size) override
    {
        auto* out = static_cast<char*>(data);
        while (size > 0) {
            const ssize_t count = ::pread(m_fd, out, size, static_cast<off_t>(offset));
            if (count <= 0)
                return false;
            out += count;
            offset += static_cast<std::uint64_t>(count);
            size -= static_cast<std::size_t>(count);
        }
        return true;
    }

private:
    int m_fd;
    std::uint64_t m_size;
};

struct ChunkHeader {
    std::array<char, 4> id;
    std::uint32_t size;
};

// The header at offset when its 8 bytes lie before end.
std::optional<ChunkHeader> readHeader(ProbeSource& source, std::uint64_t offset, std::uint64_t end)
{
    std::array<std::uint8_t, 8> bytes {};
    if (offset > end || end - offset < bytes.size()
        || !source.readExactly(offset, bytes.data(), bytes.size()))
        return std::nullopt;
    ChunkHeader header {};
    std::memcpy(header.id.data(), bytes.data(), 4);
    header.size = vlscom::readLe32(bytes.data() + 4);
    return header;
}

bool hasId(const ChunkHeader& header, const char (&id)[5])
{
    return std::memcmp(header.id.data(), id, 4) == 0;
}

std::uint64_t nextChunk(std::uint64_t offset, const ChunkHeader& header)
{
    return offset + 8 + header.size + (header.size & 1U);
}

std::optional<std::uint16_t> probe(ProbeSource& source)
{
    const std::uint64_t fileSize = source.size();
    std::uint64_t offset = 0;
    std::uint64_t formEnd = 0;
    for (;;) {
        const auto header = readHeader(source, offset, fileSize);
        if (!header)
            return std::nullopt;
        std::array<char, 4> form {};
        if (hasId(*header, "RIFF") && header->size >= 4 && source.readExactly(offset + 8, form.data(), 4)
            && std::memcmp(form.data(), "WAVE", 4) == 0) {
            formEnd = std::min(offset + 8 + header->size, fileSize);
            offset += 12;
            break;
        }
        offset = nextChunk(offset, *header);
    }
    for (;;) {
        const auto header = readHeader(source, offset, formEnd);
        if (!header)
            return std::nullopt;
        if (hasId(*header, "fmt ")) {
            const std::uint64_t data = offset + 8;
            const std::uint64_t wanted = std::max<std::uint64_t>(header->size, 18);
            if (data > fileSize || fileSize - data < wanted)
                return std::nullopt;
            std::array<std::uint8_t, 2> tag {};
            if (!source.readExactly(data, tag.data(), tag.size()))
                return std::nullopt;
            return vlscom::readLe16(tag.data());
        }
        offset = nextChunk(offset, *header);
    }
}

} // namespace

std::optional<std::uint16_t> probeWaveFormatTag(std::span<const std::uint8_t> bytes)
{
    MemorySource source(bytes);
    return probe(source);
}

std::optional<std::uint16_t> probeWaveFileFormatTag(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat status { };
    std::optional<std::uint16_t> tag;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        FileSource source(fd, static_cast<std::uint64_t>(status.st_size));
        tag = probe(source);
    }
    ::close(fd);
    return tag;
}

} // namespace vlsconv
