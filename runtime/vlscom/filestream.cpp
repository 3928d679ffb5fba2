#include "comobject.h"
#include "pointers.h"
#include "replacementfile.h"
#include "stream.h"
#include "systemerror.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace vlscom {

namespace {

// The stream of a new file reads and writes its own copy of the replacement's descriptor, which
// stays open on the file after Commit; released without Commit, the replacement is discarded.
class FileStream final : public ComObject<IStream> {
public:
    FileStream(int fd, FileStreamMode mode, std::unique_ptr<ReplacementFile> replacement)
        : m_fd(fd)
        , m_mode(mode)
        , m_replacement(std::move(replacement))
    {
    }

    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;
    ~FileStream() override { ::close(m_fd); }

    HRESULT Read(void* buffer, ULONG size, ULONG* read) override
    {
        if (read)
            *read = 0;
        if (!buffer && size)
            return STG_E_INVALIDPOINTER;
        ULONG done = 0;
        while (done < size) {
            const ssize_t got = ::read(m_fd, static_cast<char*>(buffer) + done, size - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return hresultFromErrno(errno);
            if (got == 0)
                break;
            done += static_cast<ULONG>(got);
        }
        if (read)
            *read = done;
        return S_OK;
    }

    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override
    {
        if (written)
            *written = 0;
        if (!buffer && size)
            return STG_E_INVALIDPOINTER;
        if (m_mode == FileStreamMode::Read)
            return STG_E_INVALIDFUNCTION;
        if (const int error = writeAll(m_fd, buffer, size))
            return hresultFromErrno(error);
        if (written)
            *written = size;
        return S_OK;
    }

    HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* newPosition) override
    {
        const int whence = origin == STREAM_SEEK_SET ? SEEK_SET
            : origin == STREAM_SEEK_CUR              ? SEEK_CUR
            : origin == STREAM_SEEK_END              ? SEEK_END
                                                     : -1;
        if (whence < 0)
            return STG_E_INVALIDFUNCTION;
        const off_t position = ::lseek(m_fd, static_cast<off_t>(move), whence);
        if (position < 0)
            return STG_E_INVALIDFUNCTION;
        if (newPosition)
            *newPosition = static_cast<std::uint64_t>(position);
        return S_OK;
    }

    HRESULT SetSize(std::uint64_t size) override
    {
        if (m_mode == FileStreamMode::Read)
            return STG_E_INVALIDFUNCTION;
        return ::ftruncate(m_fd, static_cast<off_t>(size)) == 0 ? S_OK : hresultFromErrno(errno);
    }

    HRESULT CopyTo(IStream*, std::uint64_t, std::uint64_t*, std::uint64_t*) override { return E_NOTIMPL; }

    HRESULT Commit(DWORD) override
    {
        if (m_mode == FileStreamMode::Read || m_committed)
            return S_OK;
        if (::fsync(m_fd) != 0)
            return hresultFromErrno(errno);
        if (const int error = m_replacement->commit())
            return hresultFromErrno(error);
        m_committed = true;
        return S_OK;
    }

    HRESULT Revert() override { return E_NOTIMPL; }
    HRESULT LockRegion(std::uint64_t, std::uint64_t, DWORD) override { return STG_E_INVALIDFUNCTION; }
    HRESULT UnlockRegion(std::uint64_t, std::uint64_t, DWORD) override { return STG_E_INVALIDFUNCTION; }

    HRESULT Stat(STATSTG* stat, DWORD) override
    {
        if (!stat)
            return STG_E_INVALIDPOINTER;
        struct stat info { };
        if (::fstat(m_fd, &info) != 0)
            return hresultFromErrno(errno);
        *stat = STATSTG { nullptr, STGTY_STREAM, static_cast<std::uint64_t>(info.st_size) };
        return S_OK;
    }

    HRESULT Clone(IStream** copy) override
    {
        if (copy)
            *copy = nullptr;
        return E_NOTIMPL;
    }

private:
    int m_fd;
    FileStreamMode m_mode;
    std::unique_ptr<ReplacementFile> m_replacement;
    bool m_committed = false;
};

} // namespace

HRESULT createFileStream(const std::string& path, FileStreamMode mode, IStream** stream)
{
    if (const HRESULT hr = checkPointers(stream); FAILED(hr))
        return hr;
    *stream = nullptr;
    std::unique_ptr<ReplacementFile> replacement;
    int fd = -1;
    if (mode == FileStreamMode::Create) {
        // The new file takes the place of whatever the name holds, as a file of 0644 less the umask.
        ReplacementFile::Options options;
        options.followLinks = false;
        options.inPlaceWhenSpecial = false;
        options.keepMode = false;
        options.newMode = 0644;
        options.readable = true;
        options.syncFolder = true;
        replacement = std::make_unique<ReplacementFile>();
        if (const int error = replacement->create(path, {}, options))
            return hresultFromErrno(error);
        fd = ::fcntl(replacement->descriptor(), F_DUPFD_CLOEXEC, 0);
    } else {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0)
        return hresultFromErrno(errno);
    auto object = makeObject<FileStream>(fd, mode, std::move(replacement));
    if (!object) {
        ::close(fd);
        return E_OUTOFMEMORY;
    }
    *stream = object.detach();
    return S_OK;
}

} // namespace vlscom
