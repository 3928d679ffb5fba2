#pragma once

// Byte streams for persistence: in memory, and on files.

#include "unknown.h"

#include <cstdint>
#include <string>

// Seek origins.
inline constexpr DWORD STREAM_SEEK_SET = 0;
inline constexpr DWORD STREAM_SEEK_CUR = 1;
inline constexpr DWORD STREAM_SEEK_END = 2;

inline constexpr DWORD STGTY_STREAM = 2;
inline constexpr DWORD STATFLAG_NONAME = 1;
inline constexpr DWORD STGC_DEFAULT = 0;

// Stream facts; only the type and the size are provided, pwcsName is always null.
struct STATSTG {
    LPOLESTR pwcsName;
    DWORD type;
    std::uint64_t cbSize;
};

struct ISequentialStream : IUnknown {
    static constexpr IID iid = vlscom::makeGuid("{0C733A30-2A1C-11CE-ADE5-00AA0044773D}");
    using Base = IUnknown;

    // Reads up to size bytes; *read (may be null) tells how many. Fewer than asked: end of stream.
    virtual HRESULT Read(void* buffer, ULONG size, ULONG* read) = 0;
    virtual HRESULT Write(const void* buffer, ULONG size, ULONG* written) = 0;
};

struct IStream : ISequentialStream {
    static constexpr IID iid = vlscom::makeGuid("{0000000C-0000-0000-C000-000000000046}");
    using Base = ISequentialStream;

    virtual HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* newPosition) = 0;
    virtual HRESULT SetSize(std::uint64_t size) = 0;
    virtual HRESULT CopyTo(IStream* target, std::uint64_t size, std::uint64_t* read, std::uint64_t* written)
        = 0;
    // File streams: makes what was written the file's content (see createFileStream).
    virtual HRESULT Commit(DWORD flags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT LockRegion(std::uint64_t offset, std::uint64_t size, DWORD type) = 0;
    virtual HRESULT UnlockRegion(std::uint64_t offset, std::uint64_t size, DWORD type) = 0;
    virtual HRESULT Stat(STATSTG* stat, DWORD flags) = 0;
    virtual HRESULT Clone(IStream** copy) = 0;
};

namespace vlscom {

// A growable stream in memory, empty, at position 0.
HRESULT createMemoryStream(IStream** stream);

enum class FileStreamMode {
    Read, // an existing file, read-only
    Create, // a new file: written to a temporary file created exclusively beside path and renamed
            // over path by Commit; released without Commit, it leaves path untouched and removes
            // the temporary file
};

// A stream on a file. Read mode fails with the system error when the file cannot be opened.
HRESULT createFileStream(const std::string& path, FileStreamMode mode, IStream** stream);

} // namespace vlscom
