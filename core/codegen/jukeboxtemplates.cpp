#include "jukeboxtemplates.h"

#include "characters.h"
#include "embedmarkup.h"
#include "escape.h"
#include "singletemplates.h"
#include "testpages.h"
#include "textlines.h"

#include <stdexcept>

namespace tmbr::codegen {

namespace {

std::string_view yesNo(bool set)
{
    return set ? "Yes" : "No";
}

// {PLAYER_URL} before context escaping: the typed player path and the player file.
std::string playerUrl(const JukeboxValues& v)
{
    return v.playerPath + urlEncodeFileName(v.playerFile);
}

std::string scriptFileName(const JukeboxValues& v)
{
    return "tmbrmjb" + v.id + ".js";
}

EmbedMarkup embedMarkup(const JukeboxValues& v)
{
    return { playerUrl(v), "loc=" + escapeHtml(v.playerPath), v.width, v.height,
        EmbedMarkup::EmbedOrder::ScriptAccessFirst };
}

std::string settingsText(const JukeboxOptions& options, std::string_view colourLine,
    const std::vector<Track>& playlist, const std::string& escapedPrefix)
{
    TextLines lines;
    lines.line("<AA>")
        .line("<AB>")
        .line("<AM>", yesNo(options.autoPlay), "</AM>")
        .line("<AN>", yesNo(options.autoProgress), "</AN>")
        .line("<AO>", yesNo(options.random), "</AO>")
        .line("<AP>", escapeXml(options.volume), "</AP>")
        .line("<AQ>", yesNo(options.bold), "</AQ>")
        .line(colourLine)
        .line("</AB>")
        .line("<AC>");
    for (const Track& track : playlist)
        lines.line("<audio display=\"", escapeXml(track.display), "\" url=\"",
            escapeXml(escapedPrefix + urlEncodeFileName(track.file)), "\"/>");
    lines.line("</AC>").line("</AA>");
    return lines.terminated();
}

} // namespace

std::string jukeboxSettings(const JukeboxOptions& options, bool withColour, const std::string& colour,
    const std::vector<Track>& playlist, const std::string& urlPrefix, UrlPrefixKind prefixKind)
{
    const std::string colourLine = withColour ? "<AR>" + escapeXml(colour) + "</AR>" : "<AR>No</AR>";
    const std::string prefix
        = prefixKind == UrlPrefixKind::LocalFolder ? urlEncodeFileName(urlPrefix) : urlPrefix;
    return settingsText(options, colourLine, playlist, prefix);
}

std::vector<Track> jukeboxSampleTracks()
{
    std::vector<Track> samples;
    for (int n = 1; n <= 15; ++n)
        samples.push_back({ "x.mp3", "Sample Track-" + std::to_string(n) + "(Audio will not play)" });
    return samples;
}

std::string jukeboxPreviewSettings(const std::string& colour)
{
    const JukeboxOptions options { true, true, false, "50", false };
    return jukeboxSettings(options, true, colour, jukeboxSampleTracks(), {}, UrlPrefixKind::ServerPath);
}

std::string jukeboxScriptFile(CodeType type, const JukeboxValues& v)
{
    const std::string& id = v.id;
    TextLines lines;
    switch (type) {
    case CodeType::JavaScriptMethod1:
        lines
            .line("var ", id, "  = new SWFObject(\"", escapeJsString(playerUrl(v)), "\", \"tmbrmjb", id,
                "\", \"", escapeJsString(v.width), "\", \"", escapeJsString(v.height), "\", \"6\" );")
            .line(id, ".addVariable(\"loc\", \"", escapeJsString(v.playerPath), "\" );")
            .line(id, ".addParam(\"quality\", \"high\" );")
            .line(id, ".addParam(\"menu\", \"false\" );")
            .line(id, ".addParam(\"allowFullScreen\", \"true\" );")
            .line(id, ".addParam(\"allowScriptAccess\", \"always\" );")
            .line(id, ".write(\"flashcontent", id, "\" );")
            .line();
        break;
    case CodeType::JavaScriptMethod2:
        addEmbedMarkup(lines, embedMarkup(v), MarkupForm::DocumentWrite);
        break;
    case CodeType::FlashEmbedCode:
        throw std::invalid_argument("FlashEmbedCode has no player script file");
    }
    return lines.terminated();
}

std::string jukeboxLocalTestPage(const JukeboxValues& v)
{
    return localTestPageText({ "<title>Tambrel - Streaming Audio - Multitrack Jukebox Local Test</title>",
        v.id, "jukebox" + v.id, v.playerFile, v.width, v.height, { { "loc", "" } }, v.outputFolder });
}

std::string jukeboxOnlineTestPage(const std::string& pageCode)
{
    return onlineTestPageText("<title>Tambrel Streaming Audio - Multitrack Jukebox Online Test</title>",
        pageCode, "view the jukebox");
}

std::string jukeboxPageCode(CodeType type, const JukeboxValues& v)
{
    return playerPageCode(type, v.playerPath, v.id, scriptFileName(v), embedMarkup(v));
}

std::string jukeboxInstructions(
    CodeType type, const JukeboxValues& v, const std::vector<std::string>& playlistFiles)
{
    const std::string mp3Path(trimmedBlanks(v.mp3PathTrimmed));
    TextLines lines;
    lines.line("Output folder on your local PC")
        .line(kInstructionsRule)
        .line(v.outputFolder)
        .line()
        .line()
        .line("List of files to be uploaded on your server along with your HTML file")
        .line(kInstructionsRule)
        .line("settings_as.xml")
        .line(v.playerFile);
    if (writesScriptFile(type))
        lines.line(scriptFileName(v));
    if (type == CodeType::JavaScriptMethod1)
        lines.line("swfobject.js");
    lines.line("onlinetest-jukebox.html")
        .line()
        .line("Target location on your server for the above files")
        .line(kInstructionsRule)
        .line(v.playerPath.empty() ? std::string_view("Same path as your HTML file")
                                   : std::string_view(v.playerPath))
        .line()
        .line()
        .line("List of Mp3 files to be uploaded on your server")
        .line(kInstructionsRule);
    for (const std::string& file : playlistFiles)
        lines.line(file);
    lines.line()
        .line()
        .line("Target location on your server for the above Mp3 files")
        .line(kInstructionsRule)
        .line(mp3Path.empty() ? "Same path as " + v.playerFile : mp3Path)
        .line()
        .line("You can test the multitrack jukebox by playing onlinetest-jukebox.html from your website");
    return lines.joined();
}

} // namespace tmbr::codegen
