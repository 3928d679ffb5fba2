#include "escape.h"

#include "utf8.h"

namespace tmbr::codegen {

namespace {

enum class UrlPart { Path, FlashVarsValue };

bool needsPercentEncoding(unsigned char byte, UrlPart part)
{
    if (byte < 0x20 || byte >= 0x7F)
        return true;
    switch (byte) {
    case '%':
    case '#':
    case '?':
    case '\\':
        return true;
    case '&':
    case '+':
    case '=':
        return part == UrlPart::FlashVarsValue;
    default:
        return false;
    }
}

std::string percentEncode(std::string_view text, UrlPart part)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (needsPercentEncoding(byte, part)) {
            encoded += '%';
            encoded += kDigits[byte >> 4];
            encoded += kDigits[byte & 0xF];
        } else {
            encoded += c;
        }
    }
    return encoded;
}

// The entity of an ASCII character that HTML and XML escape, or null.
const char* entityOf(char c)
{
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    default:
        return nullptr;
    }
}

} // namespace

std::string urlEncodeFileName(std::string_view name)
{
    return percentEncode(name, UrlPart::Path);
}

std::string urlEncodeFlashVarsValue(std::string_view name)
{
    return percentEncode(name, UrlPart::FlashVarsValue);
}

std::string escapeHtml(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        if (const char* entity = entityOf(c))
            escaped += entity;
        else
            escaped += c;
    }
    return escaped;
}

std::string escapeXml(std::string_view text)
{
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string escaped;
    escaped.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            if (const char* entity = entityOf(c))
                escaped += entity;
            else if (byte >= 0x20 || c == '\t')
                escaped += c;
            ++pos;
            continue;
        }
        const Utf8Char decoded = decodeUtf8(text, pos);
        if (decoded.valid && decoded.value != 0xFFFE && decoded.value != 0xFFFF)
            escaped.append(text.substr(pos, decoded.length));
        else
            escaped.append(kReplacement);
        pos += decoded.length;
    }
    return escaped;
}

std::string escapeJsString(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const char c = text[pos];
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '"':
            escaped += "\\\"";
            break;
        case '\'':
            escaped += "\\'";
            break;
        case '<':
            escaped += "\\x3c";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            // U+2028 and U+2029 end a line inside a script literal in older engines.
            if (text.substr(pos, 3) == "\xE2\x80\xA8") {
                escaped += "\\u2028";
                pos += 2;
            } else if (text.substr(pos, 3) == "\xE2\x80\xA9") {
                escaped += "\\u2029";
                pos += 2;
            } else {
                escaped += c;
            }
        }
    }
    return escaped;
}

std::string escapeHtmlInJsString(std::string_view text)
{
    return escapeJsString(escapeHtml(text));
}

} // namespace tmbr::codegen
