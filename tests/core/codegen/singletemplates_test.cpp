#include "codegen/singletemplates.h"
#include "goldenfile.h"

#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace tmbr::codegen;

namespace {

// A colourable player, a server path, auto play.
SingleButtonValues colourableWithServerPath()
{
    return { "ab0509", "btn01type04leon.swf", "/audio/", "song.mp3", true, false, true, "0xFFCC00", "75",
        "25", "/home/user/site/" };
}

// A plain player, no server path, loop, a blank in the MP3 name.
SingleButtonValues plainWithoutServerPath()
{
    return { "ab5959", "btn02type07blue.swf", "", "my song.mp3", false, true, false, "0x0A00FF", "125", "22",
        "/home/user/out/" };
}

// Names that break every context they are written into.
SingleButtonValues specialNames()
{
    SingleButtonValues v = colourableWithServerPath();
    v.serverPath = "/a&b's/";
    v.mp3Name = "Tom's \"best\" <1> #2 50% ?+=\xC3\xA9.mp3";
    v.playerFile = "btn01type04 R&D\xC3\xA9leon.swf";
    v.outputFolder = "/home/Zo\xC3\xAB/<out>&/";
    return v;
}

// Every line of `text` that contains `marker`.
std::string linesWith(const std::string& text, std::string_view marker)
{
    std::string found;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        if (line.find(marker) != std::string::npos)
            found += line + "\n";
        start = end + 2;
    }
    return found;
}

struct GoldenCase {
    const char* file;
    std::function<std::string()> build;
};

} // namespace

TEST(SingleTemplates, EveryVariantMatchesItsGoldenTextByteForByte)
{
    const SingleButtonValues a = colourableWithServerPath();
    const SingleButtonValues b = plainWithoutServerPath();
    const GoldenCase cases[] = {
        { "single_local_colourable.html", [&] { return singleLocalTestPage(a); } },
        { "single_local_plain.html", [&] { return singleLocalTestPage(b); } },
        { "single_js1_serverpath.code.txt",
            [&] { return singlePlayerCode(CodeType::JavaScriptMethod1, a); } },
        { "single_js1_noserverpath.code.txt",
            [&] { return singlePlayerCode(CodeType::JavaScriptMethod1, b); } },
        { "single_js2_serverpath.code.txt",
            [&] { return singlePlayerCode(CodeType::JavaScriptMethod2, a); } },
        { "single_js2_noserverpath.code.txt",
            [&] { return singlePlayerCode(CodeType::JavaScriptMethod2, b); } },
        { "single_flash_colourable_serverpath.code.txt",
            [&] { return singlePlayerCode(CodeType::FlashEmbedCode, a); } },
        { "single_flash_plain_noserverpath.code.txt",
            [&] { return singlePlayerCode(CodeType::FlashEmbedCode, b); } },
        { "single_js1_colourable_serverpath.script.js",
            [&] { return singleScriptFile(CodeType::JavaScriptMethod1, a); } },
        { "single_js1_plain_noserverpath.script.js",
            [&] { return singleScriptFile(CodeType::JavaScriptMethod1, b); } },
        { "single_js2_colourable_serverpath.script.js",
            [&] { return singleScriptFile(CodeType::JavaScriptMethod2, a); } },
        { "single_js2_plain_noserverpath.script.js",
            [&] { return singleScriptFile(CodeType::JavaScriptMethod2, b); } },
        { "single_online_js2.html",
            [&] { return singleOnlineTestPage(singlePlayerCode(CodeType::JavaScriptMethod2, a)); } },
        { "single_js1_serverpath.instructions.txt",
            [&] { return singleInstructions(CodeType::JavaScriptMethod1, a); } },
        { "single_js2_noserverpath.instructions.txt",
            [&] { return singleInstructions(CodeType::JavaScriptMethod2, b); } },
        { "single_flash_serverpath.instructions.txt",
            [&] { return singleInstructions(CodeType::FlashEmbedCode, a); } },
    };
    for (const GoldenCase& c : cases)
        EXPECT_EQ(c.build(), readGolden(c.file)) << c.file;
}

TEST(SingleTemplates, OnlyAColourablePlayerPassesItsColour)
{
    for (const bool colourable : { false, true }) {
        SingleButtonValues v = plainWithoutServerPath();
        v.colourable = colourable;
        const std::string texts[] = {
            singleLocalTestPage(v),
            singleScriptFile(CodeType::JavaScriptMethod1, v),
            singleScriptFile(CodeType::JavaScriptMethod2, v),
            singlePlayerCode(CodeType::FlashEmbedCode, v),
        };
        for (const std::string& text : texts) {
            EXPECT_EQ(text.find("0x0A00FF") != std::string::npos, colourable) << text;
            EXPECT_EQ(text.find("addVariable(\"c\"") != std::string::npos
                    || text.find("&amp;c=") != std::string::npos,
                colourable)
                << text;
        }
    }
}

TEST(SingleTemplates, FlashEmbedCodeHasNoScriptFile)
{
    EXPECT_THROW(
        singleScriptFile(CodeType::FlashEmbedCode, colourableWithServerPath()), std::invalid_argument);
}

TEST(SingleTemplates, ValuesAreEscapedForTheContextTheyStandIn)
{
    const SingleButtonValues v = specialNames();
    // URL parts: '#', '%', '?' and non-ASCII percent-encoded; in FlashVars also '+' and '='; the
    // typed server path as it is. Then entities in markup, backslash escapes in scripts.
    EXPECT_EQ(linesWith(singlePlayerCode(CodeType::FlashEmbedCode, v), "FlashVars"),
        "<param name=\"FlashVars\" value=\"f=/a&amp;b's/Tom's &quot;best&quot; &lt;1&gt; %232 50%25 "
        "%3F%2B%3D%C3%A9.mp3&amp;m=Auto&amp;l=No&amp;c=0xFFCC00\">\n"
        "<embed src=\"/a&amp;b's/btn01type04 R&amp;D%C3%A9leon.swf\" FlashVars=\"f=/a&amp;b's/Tom's "
        "&quot;best&quot; "
        "&lt;1&gt; %232 50%25 %3F%2B%3D%C3%A9.mp3&amp;m=Auto&amp;l=No&amp;c=0xFFCC00\" quality=\"high\" "
        "menu=\"false\"  width=\"75\" height=\"25\" allowFullScreen=\"true\" allowScriptAccess=\"always\" "
        "type=\"application/x-shockwave-flash\" pluginspage=\"https://www.macromedia.com/go/getflashplayer\">"
        "</embed>\n");
    EXPECT_EQ(linesWith(singlePlayerCode(CodeType::JavaScriptMethod1, v), "src="),
        "<script type=\"text/javascript\" src=\"/a&amp;b's/swfobject.js\"></script>\n"
        "<script type=\"text/javascript\" src=\"/a&amp;b's/tmbrwbcab0509.js\"></script>\n");

    const std::string script1 = singleScriptFile(CodeType::JavaScriptMethod1, v);
    EXPECT_EQ(linesWith(script1, "SWFObject"),
        "var ab0509  = new SWFObject(\"/a&b\\'s/btn01type04 R&D%C3%A9leon.swf\", \"tmbrwbcab0509\", \"75\", "
        "\"25\", "
        "\"6\", \"#FFFFFF\" );\n");
    EXPECT_EQ(linesWith(script1, "\"f\""),
        "ab0509.addVariable(\"f\", \"/a&b\\'s/Tom\\'s \\\"best\\\" \\x3c1> %232 50%25 %3F%2B%3D%C3%A9.mp3\" "
        ");\n");

    EXPECT_EQ(linesWith(singleScriptFile(CodeType::JavaScriptMethod2, v), "\"movie\""),
        "document.write('<param name=\"movie\" value=\"/a&amp;b\\'s/btn01type04 "
        "R&amp;D%C3%A9leon.swf\">');\n");
    EXPECT_EQ(linesWith(singleScriptFile(CodeType::JavaScriptMethod2, v), "name=\"FlashVars\""),
        "document.write('<param name=\"FlashVars\" value=\"f=/a&amp;b\\'s/Tom\\'s &quot;best&quot; &lt;1&gt; "
        "%232 "
        "50%25 %3F%2B%3D%C3%A9.mp3&amp;m=Auto&amp;l=No&amp;c=0xFFCC00\">');\n");

    const std::string local = singleLocalTestPage(v);
    EXPECT_EQ(linesWith(local, "SWFObject("),
        "var ab0509 = new SWFObject(\"btn01type04 R&D%C3%A9leon.swf\", \"buttonab0509\", \"75\", \"25\", "
        "\"6\", "
        "\"#FFFFFF\" );\n");
    EXPECT_EQ(linesWith(local, "\"f\""),
        "ab0509.addVariable(\"f\", \"Tom\\'s \\\"best\\\" \\x3c1> %232 50%25 %3F%2B%3D%C3%A9.mp3\" );\n");
    EXPECT_EQ(linesWith(local, "OUTPUT DIRECTORY"),
        "<p align=\"center\" >THIS IS A TEST ON YOUR LOCAL PC. ALL FILES THAT NEED TO BE UPLOADED TO YOUR "
        "<br> "
        "WEBSERVER ARE PLACED IN THE OUTPUT DIRECTORY. - /home/Zo\xC3\xAB/&lt;out&gt;&amp;/</p> \n");

    // Instructions are plain text.
    const std::string instructions = singleInstructions(CodeType::JavaScriptMethod1, v);
    EXPECT_NE(instructions.find("\r\n/home/Zo\xC3\xAB/<out>&/\r\n"), std::string::npos);
    EXPECT_NE(instructions.find(
                  "\r\nbtn01type04 R&D\xC3\xA9leon.swf\r\nTom's \"best\" <1> #2 50% ?+=\xC3\xA9.mp3\r\n"),
        std::string::npos);
    EXPECT_NE(instructions.find("\r\n/a&b's/\r\n"), std::string::npos);
}

TEST(SingleTemplates, LineBreaksInATypedServerPathCannotEndAScriptString)
{
    SingleButtonValues v = plainWithoutServerPath();
    v.serverPath = "/a\r\nb\"</script>/";
    EXPECT_EQ(linesWith(singleScriptFile(CodeType::JavaScriptMethod1, v), "\"f\""),
        "ab5959.addVariable(\"f\", \"/a\\r\\nb\\\"\\x3c/script>/my song.mp3\" );\n");
}
