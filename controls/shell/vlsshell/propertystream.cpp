#include "propertystream.h"

#include "vlscom/endian.h"
#include "vlscom/pointers.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vlsshell {

namespace {

constexpr std::uint8_t magic[4] = { 'V', 'L', 'S', 'P' };
constexpr std::uint16_t version = 1;

// A little-endian integer of the value's size.
template <typename Value> HRESULT readLe(const ByteReader& read, Value& value)
{
    std::uint8_t bytes[sizeof(Value)];
    if (const HRESULT hr = read(bytes, sizeof bytes); FAILED(hr))
        return hr;
    value = vlscom::readLe<sizeof(Value)>(bytes);
    return S_OK;
}

HRESULT readValue(const ByteReader& read, VARTYPE type, vlscom::Variant& value)
{
    std::uint16_t half = 0;
    std::uint32_t word = 0;
    switch (type) {
    case VT_BOOL:
        if (const HRESULT hr = readLe(read, half); FAILED(hr))
            return hr;
        value.vt = VT_BOOL;
        value.boolVal = static_cast<VARIANT_BOOL>(half);
        return S_OK;
    case VT_I4:
        if (const HRESULT hr = readLe(read, word); FAILED(hr))
            return hr;
        value = vlscom::Variant::fromInt(static_cast<std::int32_t>(word));
        return S_OK;
    case VT_R4: {
        if (const HRESULT hr = readLe(read, word); FAILED(hr))
            return hr;
        float real = 0;
        std::memcpy(&real, &word, sizeof real);
        value = vlscom::Variant::fromFloat(real);
        return S_OK;
    }
    case VT_BSTR: {
        if (const HRESULT hr = readLe(read, word); FAILED(hr))
            return hr;
        if (word > maxPersistedStringLength)
            return STG_E_DOCFILECORRUPT;
        std::u16string text(word, u'\0');
        for (char16_t& unit : text) {
            if (const HRESULT hr = readLe(read, half); FAILED(hr))
                return hr;
            unit = static_cast<char16_t>(half);
        }
        value = vlscom::Variant::fromString(std::u16string_view(text));
        return value.bstrVal ? S_OK : E_OUTOFMEMORY;
    }
    default:
        return STG_E_DOCFILECORRUPT;
    }
}

} // namespace

HRESULT encodeProperties(const std::vector<PersistedProperty>& properties, std::vector<std::uint8_t>& bytes)
{
    try {
        bytes.assign(std::begin(magic), std::end(magic));
        vlscom::appendLe<2>(bytes, version);
        if (properties.size() > std::numeric_limits<std::uint16_t>::max())
            return E_INVALIDARG;
        vlscom::appendLe<2>(bytes, static_cast<std::uint16_t>(properties.size()));
        for (const PersistedProperty& property : properties) {
            vlscom::appendLe<4>(bytes, static_cast<std::uint32_t>(property.id));
            const VARIANT& value = property.value;
            vlscom::appendLe<2>(bytes, value.vt);
            switch (value.vt) {
            case VT_BOOL:
                vlscom::appendLe<2>(bytes, static_cast<std::uint16_t>(value.boolVal));
                break;
            case VT_I4:
                vlscom::appendLe<4>(bytes, static_cast<std::uint32_t>(value.lVal));
                break;
            case VT_R4: {
                std::uint32_t word = 0;
                std::memcpy(&word, &value.fltVal, sizeof word);
                vlscom::appendLe<4>(bytes, word);
                break;
            }
            case VT_BSTR: {
                const std::u16string_view text = vlscom::bstrView(value.bstrVal);
                if (text.size() > maxPersistedStringLength)
                    return E_INVALIDARG;
                vlscom::appendLe<4>(bytes, static_cast<std::uint32_t>(text.size()));
                for (const char16_t unit : text)
                    vlscom::appendLe<2>(bytes, static_cast<std::uint16_t>(unit));
                break;
            }
            default:
                return DISP_E_BADVARTYPE;
            }
        }
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

namespace {

HRESULT decodeInto(
    const ByteReader& read, std::span<const DISPID> expected, std::vector<PersistedProperty>& properties)
{
    std::uint8_t header[4];
    if (const HRESULT hr = read(header, sizeof header); FAILED(hr))
        return hr;
    if (std::memcmp(header, magic, sizeof magic) != 0)
        return STG_E_DOCFILECORRUPT;
    std::uint16_t fileVersion = 0;
    std::uint16_t count = 0;
    if (const HRESULT hr = readLe(read, fileVersion); FAILED(hr))
        return hr;
    if (const HRESULT hr = readLe(read, count); FAILED(hr))
        return hr;
    if (fileVersion != version || count != expected.size())
        return STG_E_DOCFILECORRUPT;
    for (const DISPID id : expected) {
        std::uint32_t storedId = 0;
        std::uint16_t type = 0;
        if (const HRESULT hr = readLe(read, storedId); FAILED(hr))
            return hr;
        if (const HRESULT hr = readLe(read, type); FAILED(hr))
            return hr;
        if (static_cast<DISPID>(storedId) != id)
            return STG_E_DOCFILECORRUPT;
        PersistedProperty property { id, {} };
        if (const HRESULT hr = readValue(read, type, property.value); FAILED(hr))
            return hr;
        properties.push_back(std::move(property));
    }
    return S_OK;
}

} // namespace

HRESULT decodeProperties(
    const ByteReader& read, std::span<const DISPID> expected, std::vector<PersistedProperty>& properties)
{
    properties.clear();
    HRESULT hr = E_OUTOFMEMORY;
    try {
        hr = decodeInto(read, expected, properties);
    } catch (const std::bad_alloc&) {
    }
    if (FAILED(hr))
        properties.clear();
    return hr;
}

HRESULT decodeProperties(std::span<const std::uint8_t> bytes, std::span<const DISPID> expected,
    std::vector<PersistedProperty>& properties)
{
    std::size_t position = 0;
    const ByteReader read = [&](void* buffer, std::size_t size) {
        if (bytes.size() - position < size)
            return STG_E_READFAULT;
        std::memcpy(buffer, bytes.data() + position, size);
        position += size;
        return S_OK;
    };
    return decodeProperties(read, expected, properties);
}

HRESULT writeStream(IStream* stream, std::span<const std::uint8_t> bytes)
{
    if (const HRESULT hr = vlscom::checkPointers(stream); FAILED(hr))
        return hr;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto chunk = static_cast<ULONG>(std::min<std::size_t>(bytes.size() - done, 1U << 30));
        ULONG written = 0;
        if (const HRESULT hr = stream->Write(bytes.data() + done, chunk, &written); FAILED(hr))
            return hr;
        if (written == 0)
            return STG_E_WRITEFAULT;
        done += written;
    }
    return S_OK;
}

ByteReader streamReader(IStream* stream)
{
    return [stream](void* buffer, std::size_t size) {
        std::size_t done = 0;
        while (done < size) {
            ULONG got = 0;
            const auto chunk = static_cast<ULONG>(std::min<std::size_t>(size - done, 1U << 30));
            if (const HRESULT hr = stream->Read(static_cast<std::uint8_t*>(buffer) + done, chunk, &got);
                FAILED(hr))
                return hr;
            if (got == 0)
                return STG_E_READFAULT;
            done += got;
        }
        return S_OK;
    };
}

} // namespace vlsshell
