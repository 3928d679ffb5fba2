#include "pagecodeencoder.h"

#include "utf8.h"

namespace tmbr::codegen {

namespace {

constexpr std::string_view kPrologue = "<script language=\"JavaScript\">\r\ndocument.write(unescape(\"";
constexpr std::string_view kEpilogue
    = "\"))\r\n</script>\r\n<noscript>JavaScript is required to view this page.</noscript>";
constexpr std::size_t kYieldInterval = 4096;
constexpr char kHexDigits[] = "0123456789abcdef";

void appendByteEscape(std::string& out, unsigned value)
{
    out += "\\x";
    out += kHexDigits[(value >> 4) & 0xF];
    out += kHexDigits[value & 0xF];
}

void appendUnitEscape(std::string& out, unsigned unit)
{
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHexDigits[(unit >> shift) & 0xF];
}

} // namespace

std::string EncodePageCode(std::string_view code, const std::function<void()>& yield)
{
    std::string encoded;
    // Four output characters per ASCII input byte is the common case.
    encoded.reserve(kPrologue.size() + code.size() * 4 + kEpilogue.size());
    encoded.append(kPrologue);

    std::size_t nextYield = kYieldInterval;
    std::size_t pos = 0;
    while (pos < code.size()) {
        const Utf8Char c = decodeUtf8(code, pos);
        if (!c.valid) {
            appendUnitEscape(encoded, c.value);
        } else if (c.value == '%') {
            appendByteEscape(encoded, '%');
            appendByteEscape(encoded, '2');
            appendByteEscape(encoded, '5');
        } else if (c.value < 0x80) {
            appendByteEscape(encoded, c.value);
        } else if (c.value < 0x10000) {
            appendUnitEscape(encoded, c.value);
        } else {
            const char32_t offset = c.value - 0x10000;
            appendUnitEscape(encoded, 0xD800 + (offset >> 10));
            appendUnitEscape(encoded, 0xDC00 + (offset & 0x3FF));
        }
        pos += c.length;
        if (yield && pos >= nextYield) {
            yield();
            nextYield = pos + kYieldInterval;
        }
    }

    encoded.append(kEpilogue);
    return encoded;
}

} // namespace tmbr::codegen
