// The persisted property reader on arbitrary bytes: what it accepts encodes back to the same bytes.

#include "vlsshell/propertystream.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const DISPID order[] = { 3, 2, 1, 4 };
    std::vector<vlsshell::PersistedProperty> properties;
    const std::span<const std::uint8_t> bytes(data, size);
    if (FAILED(vlsshell::decodeProperties(bytes, order, properties)))
        return 0;
    std::vector<std::uint8_t> encoded;
    if (FAILED(vlsshell::encodeProperties(properties, encoded)))
        std::abort();
    if (encoded.size() > size || !std::equal(encoded.begin(), encoded.end(), data))
        std::abort();
    return 0;
}
