#include "codegen/jukeboxtemplates.h"
#include "codegen/previewpage.h"
#include "goldenfile.h"

#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace tmbr::codegen;

namespace {

JukeboxValues withPaths()
{
    return { "ab1234", "jbx1300200chameleon.swf", "/jukebox/", "300", "200", "/home/user/site/",
        "/audiofiles/" };
}

JukeboxValues withoutPaths()
{
    return { "ab0001", "jbx2250150.swf", "", "250", "150", "/srv/out/", "" };
}

const std::vector<Track> kPlaylist = {
    { "first song.mp3", "First Song" },
    { "second.mp3", "Same Name" },
    { "third.mp3", "Same Name" },
};

struct GoldenCase {
    const char* file;
    std::function<std::string()> build;
};

} // namespace

TEST(JukeboxTemplates, EveryVariantMatchesItsGoldenTextByteForByte)
{
    const JukeboxValues a = withPaths();
    const JukeboxValues b = withoutPaths();
    const std::vector<std::string> files = { "first song.mp3", "second.mp3", "third.mp3" };
    const GoldenCase cases[] = {
        { "jukebox_settings_colour_serverpath.xml",
            [&] {
                return jukeboxSettings({ true, true, false, "75", true }, true, "0x33CC99", kPlaylist,
                    "/audiofiles/", UrlPrefixKind::ServerPath);
            } },
        { "jukebox_settings_nocolour_emptyplaylist.xml",
            [&] {
                return jukeboxSettings({ false, false, true, "", false }, false, "0x33CC99", {},
                    "/audiofiles/", UrlPrefixKind::ServerPath);
            } },
        { "jukebox_settings_localfolder.xml",
            [&] {
                return jukeboxSettings({ false, false, false, "50", false }, true, "0xFFCC00",
                    { { "a.mp3", "a" }, { "b.mp3", "b" } }, "/home/user/site/", UrlPrefixKind::LocalFolder);
            } },
        { "jukebox_settings_preview.xml", [&] { return jukeboxPreviewSettings("0xFFCC00"); } },
        { "jukebox_js1_playerpath.script.js",
            [&] { return jukeboxScriptFile(CodeType::JavaScriptMethod1, a); } },
        { "jukebox_js1_noplayerpath.script.js",
            [&] { return jukeboxScriptFile(CodeType::JavaScriptMethod1, b); } },
        { "jukebox_js2_playerpath.script.js",
            [&] { return jukeboxScriptFile(CodeType::JavaScriptMethod2, a); } },
        { "jukebox_js2_noplayerpath.script.js",
            [&] { return jukeboxScriptFile(CodeType::JavaScriptMethod2, b); } },
        { "jukebox_js1_playerpath.code.txt",
            [&] { return jukeboxPageCode(CodeType::JavaScriptMethod1, a); } },
        { "jukebox_js1_noplayerpath.code.txt",
            [&] { return jukeboxPageCode(CodeType::JavaScriptMethod1, b); } },
        { "jukebox_js2_playerpath.code.txt",
            [&] { return jukeboxPageCode(CodeType::JavaScriptMethod2, a); } },
        { "jukebox_flash_playerpath.code.txt", [&] { return jukeboxPageCode(CodeType::FlashEmbedCode, a); } },
        { "jukebox_flash_noplayerpath.code.txt",
            [&] { return jukeboxPageCode(CodeType::FlashEmbedCode, b); } },
        { "jukebox_local.html", [&] { return jukeboxLocalTestPage(a); } },
        { "jukebox_online_js1.html",
            [&] { return jukeboxOnlineTestPage(jukeboxPageCode(CodeType::JavaScriptMethod1, a)); } },
        { "jukebox_js1_paths.instructions.txt",
            [&] { return jukeboxInstructions(CodeType::JavaScriptMethod1, a, files); } },
        { "jukebox_js2_paths.instructions.txt",
            [&] { return jukeboxInstructions(CodeType::JavaScriptMethod2, a, files); } },
        { "jukebox_flash_nopaths_emptyplaylist.instructions.txt",
            [&] { return jukeboxInstructions(CodeType::FlashEmbedCode, b, {}); } },
    };
    for (const GoldenCase& c : cases)
        EXPECT_EQ(c.build(), readGolden(c.file)) << c.file;
}

TEST(JukeboxTemplates, ScriptFilesOnlyForJavaScriptAndTheFirstEndsWithAnEmptyLine)
{
    EXPECT_THROW(jukeboxScriptFile(CodeType::FlashEmbedCode, withPaths()), std::invalid_argument);
    const std::string script = jukeboxScriptFile(CodeType::JavaScriptMethod1, withPaths());
    EXPECT_EQ(script.substr(script.size() - 6), ");\r\n\r\n");
    const std::string code = jukeboxPageCode(CodeType::FlashEmbedCode, withPaths());
    EXPECT_EQ(code.substr(code.size() - 3), "-->");
}

TEST(JukeboxTemplates, EmbedLinesKeepTheirOwnAttributeOrder)
{
    const std::string code = jukeboxPageCode(CodeType::FlashEmbedCode, withPaths());
    EXPECT_NE(code.find("allowScriptAccess=\"always\" allowFullScreen=\"true\""), std::string::npos);
    EXPECT_EQ(code.find("allowFullScreen=\"true\" allowScriptAccess"), std::string::npos);
}

TEST(JukeboxTemplates, SettingsEscapeNamesAndUrlsAndStayWellFormed)
{
    const std::vector<Track> playlist = {
        { "R&B #1 50% ?+=\xC3\xA9.mp3", "R&B <live> \"mix\"\t\x01\r\nZo\xC3\xAB" },
        { "plain.mp3", "Plain" },
    };
    const std::string serverCopy = jukeboxSettings({ false, false, false, "5&<0>", false }, true, "0x\"1\"",
        playlist, "  /audio files/", UrlPrefixKind::ServerPath);
    // A typed server path is kept as typed, blanks included.
    EXPECT_NE(
        serverCopy.find("<audio display=\"R&amp;B &lt;live&gt; &quot;mix&quot;\tZo\xC3\xAB\" url=\"  /audio "
                        "files/R&amp;B %231 50%25 %3F+=%C3%A9.mp3\"/>\r\n"
                        "<audio display=\"Plain\" url=\"  /audio files/plain.mp3\"/>\r\n"),
        std::string::npos)
        << serverCopy;
    EXPECT_NE(serverCopy.find("<AP>5&amp;&lt;0&gt;</AP>\r\n"), std::string::npos);
    EXPECT_NE(serverCopy.find("<AR>0x&quot;1&quot;</AR>\r\n"), std::string::npos);

    // A local folder is part of the URL and is encoded like a file name.
    const std::string localCopy = jukeboxSettings(
        {}, false, "", { { "a b.mp3", "a" } }, "/home/Zo\xC3\xAB/100% & more/", UrlPrefixKind::LocalFolder);
    EXPECT_NE(localCopy.find("url=\"/home/Zo%C3%AB/100%25 &amp; more/a b.mp3\"/>"), std::string::npos)
        << localCopy;
}

TEST(JukeboxTemplates, PathsAreEscapedInCodeAndTrimmedOnlyInInstructions)
{
    JukeboxValues v = withPaths();
    v.playerPath = "/j&b's/";
    v.playerFile = "jbx1300200 R&D#.swf";
    v.outputFolder = "/home/<me>/";
    v.mp3PathTrimmed = "  /audio files/ ";
    EXPECT_NE(
        jukeboxScriptFile(CodeType::JavaScriptMethod1, v)
            .find(
                "var ab1234  = new SWFObject(\"/j&b\\'s/jbx1300200 R&D%23.swf\", \"tmbrmjbab1234\", \"300\", "
                "\"200\", \"6\" );\r\nab1234.addVariable(\"loc\", \"/j&b\\'s/\" );\r\n"),
        std::string::npos);
    const std::string script2 = jukeboxScriptFile(CodeType::JavaScriptMethod2, v);
    EXPECT_NE(
        script2.find(
            "document.write('<param name=\"movie\" value=\"/j&amp;b\\'s/jbx1300200 R&amp;D%23.swf\">');"),
        std::string::npos);
    EXPECT_NE(script2.find("document.write('<param name=\"FlashVars\" value=\"loc=/j&amp;b\\'s/\">');"),
        std::string::npos);
    const std::string code = jukeboxPageCode(CodeType::FlashEmbedCode, v);
    EXPECT_NE(code.find("<embed src=\"/j&amp;b's/jbx1300200 R&amp;D%23.swf\" FlashVars=\"loc=/j&amp;b's/\""),
        std::string::npos);
    EXPECT_NE(
        jukeboxLocalTestPage(v).find("OUTPUT DIRECTORY. - /home/&lt;me&gt;/</p> \r\n"), std::string::npos);

    const std::string instructions = jukeboxInstructions(CodeType::FlashEmbedCode, v, { "a&b.mp3" });
    EXPECT_NE(instructions.find("\r\n/home/<me>/\r\n"), std::string::npos);
    EXPECT_NE(instructions.find("\r\n/j&b's/\r\n"), std::string::npos);
    EXPECT_NE(instructions.find("\r\na&b.mp3\r\n"), std::string::npos);
    EXPECT_NE(
        instructions.find("Mp3 files\r\n=========================================\r\n/audio files/\r\n\r\n"),
        std::string::npos);
}

// The preview's page: the button silent or with its file addressed by its local path, escaped
// for the script; nothing starts by itself.
TEST(PreviewPage, TheButtonPageCarriesItsFileEscapedAndNeverStartsByItself)
{
    PreviewPlayer button { "tmbr_type04_chameleon", false, "75", "25", "0x00C000",
        "/home/u/My \"Songs\"/a</script>#1.mp3", true };
    const std::string page = previewPageText(button);
    EXPECT_NE(page.find("new SWFObject(\"tmbr_type04_chameleon.swf\", \"previewplayer\", \"75\", \"25\""),
        std::string::npos);
    EXPECT_NE(page.find("preview.addVariable(\"f\", \"/home/u/My \\\"Songs\\\"/a\\x3c/script>%231.mp3\");"),
        std::string::npos)
        << page;
    EXPECT_NE(page.find("preview.addVariable(\"m\", \"Manual\");"), std::string::npos);
    EXPECT_NE(page.find("preview.addVariable(\"l\", \"Yes\");"), std::string::npos);
    EXPECT_NE(page.find("preview.addVariable(\"c\", \"0x00C000\");"), std::string::npos);
    EXPECT_EQ(page.find("</script>#"), std::string::npos);

    button.mp3Path.clear();
    button.colour.clear();
    const std::string silent = previewPageText(button);
    EXPECT_NE(silent.find("preview.addVariable(\"f\", \"\");"), std::string::npos);
    EXPECT_EQ(silent.find("addVariable(\"c\""), std::string::npos);

    const PreviewPlayer jukebox { "jbx_300200_classic", true, "300", "200", "", "", false };
    EXPECT_NE(previewPageText(jukebox).find("preview.addVariable(\"loc\", \"\");"), std::string::npos);
}

// The preview jukebox plays the chosen tracks by their local paths, else shows the samples; it
// never starts by itself and carries the colour only when there is one.
TEST(PreviewPage, TheJukeboxSettingsHoldTheChosenTracksOrTheSamples)
{
    const PreviewPlayer player { "jbx_400300_chameleon", true, "400", "300", "0x0000C0", "", false };
    const JukeboxOptions options { true, true, false, "70", true };
    const std::string chosen = previewJukeboxSettings(player, options, kPlaylist, "/home/u/my music/");
    EXPECT_NE(chosen.find("<AM>No</AM>"), std::string::npos);
    EXPECT_NE(chosen.find("<AN>Yes</AN>"), std::string::npos);
    EXPECT_NE(chosen.find("<AP>70</AP>"), std::string::npos);
    EXPECT_NE(chosen.find("<AR>0x0000C0</AR>"), std::string::npos);
    EXPECT_NE(chosen.find("url=\"/home/u/my music/first song.mp3\""), std::string::npos) << chosen;
    EXPECT_EQ(chosen.find("Sample Track"), std::string::npos);

    PreviewPlayer plain = player;
    plain.colour.clear();
    const std::string samples = previewJukeboxSettings(plain, options, {}, "");
    EXPECT_NE(samples.find("<AM>No</AM>"), std::string::npos);
    EXPECT_NE(samples.find("<AR>No</AR>"), std::string::npos);
    EXPECT_NE(samples.find("Sample Track-15(Audio will not play)"), std::string::npos);
}
