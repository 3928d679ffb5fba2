#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string readText(const char* name)
{
    const char* app = std::getenv("TMBRSA_APP_DIR");
    std::ifstream in(fs::path(app ? app : "") / name, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// Checks that brackets nest and strings, comments and regular expressions close, skipping what
// they hold. Returns the first fault, or empty text.
std::string checkScriptNesting(const std::string& js)
{
    std::string open;
    char lastSignificant = '(';
    for (size_t i = 0; i < js.size(); ++i) {
        const char c = js[i];
        if (c == '/' && i + 1 < js.size() && js[i + 1] == '/') {
            i = js.find('\n', i);
            if (i == std::string::npos)
                break;
            continue;
        }
        if (c == '/' && i + 1 < js.size() && js[i + 1] == '*') {
            i = js.find("*/", i + 2);
            if (i == std::string::npos)
                return "unterminated comment";
            ++i;
            continue;
        }
        const bool regex = c == '/' && std::string("(,=:[!&|?{};").find(lastSignificant) != std::string::npos;
        if (c == '"' || c == '\'' || regex) {
            bool inClass = false;
            for (++i; i < js.size() && (js[i] != c || inClass); ++i) {
                if (js[i] == '\\')
                    ++i;
                else if (js[i] == '\n')
                    return "line break inside a string or regular expression";
                else if (regex && (js[i] == '[' || js[i] == ']'))
                    inClass = js[i] == '[';
            }
            if (i >= js.size())
                return "unterminated string or regular expression";
            lastSignificant = 'a';
            continue;
        }
        if (c == '(' || c == '[' || c == '{') {
            open.push_back(c);
        } else if (c == ')' || c == ']' || c == '}') {
            const char expected = c == ')' ? '(' : c == ']' ? '[' : '{';
            if (open.empty() || open.back() != expected)
                return std::string("unbalanced ") + c + " at offset " + std::to_string(i);
            open.pop_back();
        }
        if (!std::isspace(static_cast<unsigned char>(c)))
            lastSignificant = c;
    }
    return open.empty() ? std::string() : "unclosed " + open;
}

} // namespace

// swfobject.js defines the SWFObject constructor with its methods and nests correctly.
TEST(AppFilesTest, ScriptLibraryDefinesSwfObject)
{
    const std::string js = readText("swfobject.js");
    ASSERT_FALSE(js.empty());
    EXPECT_NE(js.find("function SWFObject(swf, id, width, height, version, color)"), std::string::npos);
    for (const char* method : { "addVariable", "getVariable", "addParam", "setAttribute", "getAttribute",
             "getVariablePairs", "getSWFHTML", "write" })
        EXPECT_NE(js.find(std::string("SWFObject.prototype.") + method + " = function ("), std::string::npos)
            << method;
    EXPECT_NE(js.find("SWFObject.renderWithoutPlayer = function (so, element)"), std::string::npos);
    EXPECT_NE(js.find("global.SWFObject = SWFObject;"), std::string::npos);
    EXPECT_NE(js.find("type=\"application/x-shockwave-flash\""), std::string::npos);
    EXPECT_EQ(checkScriptNesting(js), "");
    for (unsigned char c : js)
        ASSERT_TRUE(c < 0x80) << "the script is not plain ASCII";
}

// The nesting check catches the faults it is there for.
TEST(AppFilesTest, NestingCheckFindsBrokenScripts)
{
    EXPECT_EQ(checkScriptNesting("var a = /[\"/]/g; f('}', \"{\"); // )\n/* ( */ g(a / 2);"), "");
    EXPECT_EQ(checkScriptNesting("f(a;"), "unclosed (");
    EXPECT_EQ(checkScriptNesting("f(a];"), "unbalanced ] at offset 3");
    EXPECT_EQ(checkScriptNesting("var s = \"abc;"), "unterminated string or regular expression");
    EXPECT_EQ(checkScriptNesting("/* open"), "unterminated comment");
}

// The help page is an HTML5 document in UTF-8 with its title.
TEST(AppFilesTest, HelpPageIsTitledHtml5)
{
    const std::string html = readText("tmbr_sa.html");
    EXPECT_EQ(html.rfind("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n", 0), 0u);
    EXPECT_NE(html.find("<title>Tambrel Streaming Audio Help</title>"), std::string::npos);
    EXPECT_NE(html.find("<h1>Tambrel Streaming Audio Help</h1>"), std::string::npos);
    EXPECT_TRUE(html.ends_with("</body>\n</html>\n"));
}
