#include "comobject.h"
#include "pointers.h"
#include "stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace vlscom {

namespace {

class MemoryStream final : public ComObject<IStream> {
public:
    HRESULT Read(void* buffer, ULONG size, ULONG* read) override
    {
        if (read)
            *read = 0;
        if (!buffer && size)
            return STG_E_INVALIDPOINTER;
        const std::uint64_t available = m_position < m_data.size() ? m_data.size() - m_position : 0;
        const auto count = static_cast<ULONG>(std::min<std::uint64_t>(size, available));
        if (count)
            std::memcpy(buffer, m_data.data() + m_position, count);
        m_position += count;
        if (read)
            *read = count;
        return S_OK;
    }

    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override
    {
        if (written)
            *written = 0;
        if (!buffer && size)
            return STG_E_INVALIDPOINTER;
        if (size == 0)
            return S_OK;
        const std::uint64_t end = m_position + size;
        if (end > std::numeric_limits<std::size_t>::max() / 2)
            return E_OUTOFMEMORY;
        try {
            if (end > m_data.size())
                m_data.resize(static_cast<std::size_t>(end));
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        std::memcpy(m_data.data() + m_position, buffer, size);
        m_position = end;
        if (written)
            *written = size;
        return S_OK;
    }

    HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* newPosition) override
    {
        std::int64_t base = 0;
        if (origin == STREAM_SEEK_CUR)
            base = static_cast<std::int64_t>(m_position);
        else if (origin == STREAM_SEEK_END)
            base = static_cast<std::int64_t>(m_data.size());
        else if (origin != STREAM_SEEK_SET)
            return STG_E_INVALIDFUNCTION;
        if ((move < 0 && -move > base)
            || (move > 0 && base > std::numeric_limits<std::int64_t>::max() - move))
            return STG_E_INVALIDFUNCTION;
        m_position = static_cast<std::uint64_t>(base + move);
        if (newPosition)
            *newPosition = m_position;
        return S_OK;
    }

    HRESULT SetSize(std::uint64_t size) override
    {
        if (size > std::numeric_limits<std::size_t>::max() / 2)
            return E_OUTOFMEMORY;
        try {
            m_data.resize(static_cast<std::size_t>(size));
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

    HRESULT CopyTo(IStream*, std::uint64_t, std::uint64_t*, std::uint64_t*) override { return E_NOTIMPL; }
    HRESULT Commit(DWORD) override { return S_OK; }
    HRESULT Revert() override { return E_NOTIMPL; }
    HRESULT LockRegion(std::uint64_t, std::uint64_t, DWORD) override { return STG_E_INVALIDFUNCTION; }
    HRESULT UnlockRegion(std::uint64_t, std::uint64_t, DWORD) override { return STG_E_INVALIDFUNCTION; }

    HRESULT Stat(STATSTG* stat, DWORD) override
    {
        if (!stat)
            return STG_E_INVALIDPOINTER;
        *stat = STATSTG { nullptr, STGTY_STREAM, m_data.size() };
        return S_OK;
    }

    HRESULT Clone(IStream** copy) override
    {
        if (copy)
            *copy = nullptr;
        return E_NOTIMPL;
    }

private:
    std::vector<std::uint8_t> m_data;
    std::uint64_t m_position = 0;
};

} // namespace

HRESULT createMemoryStream(IStream** stream)
{
    if (const HRESULT hr = vlscom::checkPointers(stream); FAILED(hr))
        return hr;
    auto object = makeObject<MemoryStream>();
    *stream = object.detach();
    return *stream ? S_OK : E_OUTOFMEMORY;
}

} // namespace vlscom
