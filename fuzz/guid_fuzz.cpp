// The GUID parser on arbitrary text: what parses formats back to the same text (in upper case).

#include "vlscom/guid.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto guid = vlscom::parseGuid(text);
    if (!guid)
        return 0;
    const std::string formatted = vlscom::formatGuid(*guid);
    if (formatted.size() != text.size())
        std::abort();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (formatted[i] != std::toupper(static_cast<unsigned char>(text[i])))
            std::abort();
    }
    if (vlscom::parseGuid(formatted) != guid)
        std::abort();
    return 0;
}
