#pragma once

// The byte layout of a control's persisted properties (little-endian):
//
//   "VLSP"  uint16 version (1)  uint16 count
//   per property: int32 DISPID, uint16 VARTYPE, value
//     VT_BOOL int16 · VT_I4 int32 · VT_R4 IEEE single · VT_BSTR uint32 character count + UTF-16
//
// A VT_BOOL keeps its 16 bits as the property gave them (a control may store 1 for true).
//
// Reading takes untrusted bytes: the properties must be exactly the expected DISPIDs in the
// expected order, and strings are bounded.

#include "vlscom/stream.h"
#include "vlscom/variant.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace vlsshell {

inline constexpr std::uint32_t maxPersistedStringLength = 1U << 20;

struct PersistedProperty {
    DISPID id;
    vlscom::Variant value;
};

// DISP_E_BADVARTYPE for a value type outside the four above.
HRESULT encodeProperties(const std::vector<PersistedProperty>& properties, std::vector<std::uint8_t>& bytes);

// read(buffer, size) delivers exactly size bytes or fails (STG_E_READFAULT at the end of data).
using ByteReader = std::function<HRESULT(void* buffer, std::size_t size)>;

// STG_E_DOCFILECORRUPT when the bytes do not hold the expected properties.
HRESULT decodeProperties(
    const ByteReader& read, std::span<const DISPID> expected, std::vector<PersistedProperty>& properties);
HRESULT decodeProperties(std::span<const std::uint8_t> bytes, std::span<const DISPID> expected,
    std::vector<PersistedProperty>& properties);

// Writes all bytes to the stream, and reads exactly size bytes from it.
HRESULT writeStream(IStream* stream, std::span<const std::uint8_t> bytes);
ByteReader streamReader(IStream* stream);

} // namespace vlsshell
