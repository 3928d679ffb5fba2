#include "codegen/pagecodeencoder.h"
#include "goldenfile.h"

#include <gtest/gtest.h>

using namespace tmbr::codegen;

namespace {

constexpr std::string_view kPrologue = "<script language=\"JavaScript\">\r\ndocument.write(unescape(\"";
constexpr std::string_view kEpilogue
    = "\"))\r\n</script>\r\n<noscript>JavaScript is required to view this page.</noscript>";

unsigned hexValue(std::string_view digits)
{
    return static_cast<unsigned>(std::stoul(std::string(digits), nullptr, 16));
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string utf16ToUtf8(const std::u16string& units)
{
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        appendUtf8(out, c);
    }
    return out;
}

// What a browser makes of the encoded code: the string literal between the
// prologue and the epilogue holds only \xNN and \uXXXX escapes; unescape()
// then decodes %NN and %uNNNN in the resulting string.
std::string decodeAsBrowser(const std::string& encoded)
{
    EXPECT_EQ(encoded.substr(0, kPrologue.size()), kPrologue);
    EXPECT_EQ(encoded.substr(encoded.size() - kEpilogue.size()), kEpilogue);
    const std::string_view literal = std::string_view(encoded).substr(
        kPrologue.size(), encoded.size() - kPrologue.size() - kEpilogue.size());
    std::u16string units;
    for (std::size_t i = 0; i < literal.size();) {
        EXPECT_EQ(literal[i], '\\') << "at " << i;
        if (literal.substr(i, 2) == "\\x") {
            units += static_cast<char16_t>(hexValue(literal.substr(i + 2, 2)));
            i += 4;
        } else if (literal.substr(i, 2) == "\\u") {
            units += static_cast<char16_t>(hexValue(literal.substr(i + 2, 4)));
            i += 6;
        } else {
            ADD_FAILURE() << "unexpected character at " << i;
            return {};
        }
    }
    const auto hexDigitsAt = [&](std::size_t first, std::size_t count) {
        if (first + count > units.size())
            return false;
        for (std::size_t i = first; i < first + count; ++i) {
            const char16_t c = units[i];
            if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
                return false;
        }
        return true;
    };
    std::u16string unescaped;
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i] == u'%' && i + 1 < units.size() && units[i + 1] == u'u' && hexDigitsAt(i + 2, 4)) {
            unescaped += static_cast<char16_t>(hexValue(utf16ToUtf8(units.substr(i + 2, 4))));
            i += 5;
        } else if (units[i] == u'%' && hexDigitsAt(i + 1, 2)) {
            unescaped += static_cast<char16_t>(hexValue(utf16ToUtf8(units.substr(i + 1, 2))));
            i += 2;
        } else {
            unescaped += units[i];
        }
    }
    return utf16ToUtf8(unescaped);
}

} // namespace

TEST(EncodePageCode, MatchesTheGoldenEncodingOfTheEmbedCode)
{
    const std::string plain = readGolden("single_flash_colourable_serverpath.code.txt");
    const std::string encoded = EncodePageCode(plain);
    EXPECT_EQ(encoded, readGolden("single_flash_colourable_serverpath_encrypted.code.txt"));
    // Past the opening script tag no markup is left in the clear.
    EXPECT_EQ(encoded.find('<', 1), encoded.find("</script>"));
    EXPECT_NE(encoded.find("\\x3e\\x0d\\x0a\\x3c"), std::string::npos);
    EXPECT_EQ(decodeAsBrowser(encoded), plain);
}

TEST(EncodePageCode, WritesTwoLowerCaseDigitsPerAsciiCharacter)
{
    const std::string encoded = EncodePageCode(std::string("<a>\t\r\n\x01 ~\x7F", 10));
    EXPECT_EQ(encoded,
        std::string(kPrologue) + "\\x3c\\x61\\x3e\\x09\\x0d\\x0a\\x01\\x20\\x7e\\x7f"
            + std::string(kEpilogue));
    EXPECT_EQ(EncodePageCode(""), std::string(kPrologue) + std::string(kEpilogue));
}

TEST(EncodePageCode, WritesOtherCharactersAsUtf16UnitsAndBadBytesOneByOne)
{
    EXPECT_EQ(EncodePageCode("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
        std::string(kPrologue) + "\\u00e9\\u20ac\\ud83d\\ude00" + std::string(kEpilogue));
    // A stray continuation byte, a cut sequence and an overlong form.
    EXPECT_EQ(EncodePageCode("\x80\xE2\x82!\xC0\xAF"),
        std::string(kPrologue) + "\\u0080\\u00e2\\u0082\\x21\\u00c0\\u00af" + std::string(kEpilogue));
}

TEST(EncodePageCode, DecodesBackToTheExactTextThroughUnescape)
{
    const std::string texts[] = {
        "<embed src=\"/a/caf%C3%A9%20100%25.swf\">\r\n",
        "100% sure %u0041 %zz %",
        "Zo\xC3\xAB \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB5 \xF4\x8F\xBF\xBF",
        "tab\tquote\"apostrophe'backslash\\",
    };
    for (const std::string& text : texts)
        EXPECT_EQ(decodeAsBrowser(EncodePageCode(text)), text) << text;
}

TEST(EncodePageCode, YieldsEvery4096BytesAndStaysLinearOnLargeInput)
{
    const std::string big(4 << 20, 'a');
    int yields = 0;
    const std::string encoded = EncodePageCode(big, [&] { ++yields; });
    EXPECT_EQ(encoded.size(), kPrologue.size() + big.size() * 4 + kEpilogue.size());
    EXPECT_EQ(yields, static_cast<int>(big.size() / 4096));
    EXPECT_EQ(EncodePageCode("x", [&] { ++yields; }).size(), kPrologue.size() + 4 + kEpilogue.size());
}
