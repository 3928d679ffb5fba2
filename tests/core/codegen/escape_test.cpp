#include "codegen/escape.h"
#include "codegen/textlines.h"

#include <gtest/gtest.h>

using namespace tmbr::codegen;

TEST(Escape, PlainNamesPassEveryEscaperUnchanged)
{
    const std::string plain = "My Song 01 (live) - v1.2_final,x;y~[z]!@$*.mp3";
    EXPECT_EQ(urlEncodeFileName(plain), plain);
    EXPECT_EQ(urlEncodeFlashVarsValue(plain), plain);
    EXPECT_EQ(escapeHtml(plain), plain);
    EXPECT_EQ(escapeXml(plain), plain);
    EXPECT_EQ(escapeJsString(plain), plain);
    EXPECT_EQ(escapeHtmlInJsString(plain), plain);
}

TEST(Escape, UrlPartsPercentEncodeWhatEndsOrBreaksAPathAndEveryNonAsciiByte)
{
    EXPECT_EQ(urlEncodeFileName("50% off #2?.mp3"), "50%25 off %232%3F.mp3");
    EXPECT_EQ(urlEncodeFileName("a\\b\tc\nd\x7F.mp3"), "a%5Cb%09c%0Ad%7F.mp3");
    EXPECT_EQ(
        urlEncodeFileName("Zo\xC3\xAB \xE2\x82\xAC \xF0\x9F\x98\x80"), "Zo%C3%AB %E2%82%AC %F0%9F%98%80");
    // Markup characters are left to the context escaper; FlashVars separators stay in a path.
    EXPECT_EQ(urlEncodeFileName("a&b+c=d\"<'>.mp3"), "a&b+c=d\"<'>.mp3");
    EXPECT_EQ(urlEncodeFlashVarsValue("a&b+c=d #%?\xC3\xA9"), "a%26b%2Bc%3Dd %23%25%3F%C3%A9");
}

TEST(Escape, HtmlAndXmlWriteEntitiesAndXmlDropsControlCharacters)
{
    EXPECT_EQ(escapeHtml("a&b<c>\"d'e"), "a&amp;b&lt;c&gt;&quot;d'e");
    EXPECT_EQ(escapeHtml("&amp;"), "&amp;amp;");
    EXPECT_EQ(escapeXml("R&B <live> \"mix\"\t'1'"), "R&amp;B &lt;live&gt; &quot;mix&quot;\t'1'");
    EXPECT_EQ(escapeXml(std::string("a\x01\r\nb\x1F", 6) + std::string(1, '\0') + "c"), "abc");
    EXPECT_EQ(escapeXml("Zo\xC3\xAB \xF0\x9F\x98\x80"), "Zo\xC3\xAB \xF0\x9F\x98\x80");
    // Bytes that are not UTF-8 would make the file malformed.
    EXPECT_EQ(escapeXml("a\xFF\xC3(b\xEF\xBF\xBE"), "a\xEF\xBF\xBD\xEF\xBF\xBD(b\xEF\xBF\xBD");
}

TEST(Escape, JavaScriptStringsEscapeQuotesBackslashesTagsAndLineBreaks)
{
    EXPECT_EQ(escapeJsString("a\\b\"c'd</script>"), "a\\\\b\\\"c\\'d\\x3c/script>");
    EXPECT_EQ(escapeJsString("1\r\n2\t3"), "1\\r\\n2\t3");
    EXPECT_EQ(escapeJsString("x\xE2\x80\xA8y\xE2\x80\xA9z\xE2\x82\xAC"), "x\\u2028y\\u2029z\xE2\x82\xAC");
    // Markup inside a script string: entities first, then the script escapes.
    EXPECT_EQ(escapeHtmlInJsString("Tom's \"<b>\" & \\"), "Tom\\'s &quot;&lt;b&gt;&quot; &amp; \\\\");
}

TEST(TextLines, JoinedHasNoFinalBreakTerminatedEndsEveryLine)
{
    TextLines lines;
    lines.line("a", std::string("b"), std::string_view("c")).line().line("d");
    EXPECT_EQ(lines.joined(), "abc\r\n\r\nd");
    EXPECT_EQ(lines.terminated(), "abc\r\n\r\nd\r\n");
    EXPECT_EQ(TextLines().terminated(), "");
}
