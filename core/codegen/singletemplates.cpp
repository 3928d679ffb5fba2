#include "singletemplates.h"

#include "embedmarkup.h"
#include "escape.h"
#include "testpages.h"

#include <stdexcept>

namespace tmbr::codegen {

namespace {

std::string_view autoText(const SingleButtonValues& v)
{
    return v.autoPlay ? "Auto" : "Manual";
}
std::string_view loopText(const SingleButtonValues& v)
{
    return v.loop ? "Yes" : "No";
}

// {PLAYER_URL} before context escaping: the typed server path and the player file.
std::string playerUrl(const SingleButtonValues& v)
{
    return v.serverPath + urlEncodeFileName(v.playerFile);
}

// The "f" value before context escaping.
std::string mp3Url(const SingleButtonValues& v)
{
    return v.serverPath + urlEncodeFlashVarsValue(v.mp3Name);
}

// {FLASHVARS} as an HTML attribute value; its "&amp;" separators are markup.
std::string flashVars(const SingleButtonValues& v)
{
    std::string text = "f=" + escapeHtml(mp3Url(v));
    text.append("&amp;m=").append(autoText(v));
    text.append("&amp;l=").append(loopText(v));
    if (v.colourable)
        text.append("&amp;c=").append(escapeHtml(v.colour));
    return text;
}

std::string scriptFileName(const SingleButtonValues& v)
{
    return "tmbrwbc" + v.id + ".js";
}

EmbedMarkup embedMarkup(const SingleButtonValues& v)
{
    return { playerUrl(v), flashVars(v), v.width, v.height, EmbedMarkup::EmbedOrder::FullScreenFirst };
}

} // namespace

std::string singleLocalTestPage(const SingleButtonValues& v)
{
    LocalTestPage page { "<title>Tambrel - Streaming Audio - Single Button Local Test</title>", v.id,
        "button" + v.id, v.playerFile, v.width, v.height,
        { { "f", urlEncodeFlashVarsValue(v.mp3Name) }, { "m", std::string(autoText(v)) },
            { "l", std::string(loopText(v)) } },
        v.outputFolder };
    if (v.colourable)
        page.variables.emplace_back("c", v.colour);
    return localTestPageText(page);
}

std::string singleOnlineTestPage(const std::string& playerCode)
{
    return onlineTestPageText(
        "<title>Tambrel - Streaming Audio - Single Button Online Test</title>", playerCode, "hear the audio");
}

std::string singleScriptFile(CodeType type, const SingleButtonValues& v)
{
    const std::string& id = v.id;
    TextLines lines;
    switch (type) {
    case CodeType::JavaScriptMethod1:
        lines
            .line("var ", id, "  = new SWFObject(\"", escapeJsString(playerUrl(v)), "\", \"tmbrwbc", id,
                "\", \"", escapeJsString(v.width), "\", \"", escapeJsString(v.height),
                "\", \"6\", \"#FFFFFF\" );")
            .line(id, ".addVariable(\"f\", \"", escapeJsString(mp3Url(v)), "\" );")
            .line(id, ".addVariable(\"m\", \"", autoText(v), "\" );")
            .line(id, ".addVariable(\"l\", \"", loopText(v), "\" );");
        if (v.colourable)
            lines.line(id, ".addVariable(\"c\", \"", escapeJsString(v.colour), "\" );");
        lines.line(id, ".addParam(\"quality\", \"high\" );")
            .line(id, ".addParam(\"menu\", \"false\" );")
            .line(id, ".addParam(\"allowFullScreen\", \"true\" );")
            .line(id, ".addParam(\"allowScriptAccess\", \"always\" );")
            .line(id, ".write(\"flashcontent", id, "\" );");
        break;
    case CodeType::JavaScriptMethod2:
        lines.line("document.write('<p align=center>');");
        addEmbedMarkup(lines, embedMarkup(v), MarkupForm::DocumentWrite);
        lines.line("document.write('</p>');");
        break;
    case CodeType::FlashEmbedCode:
        throw std::invalid_argument("FlashEmbedCode has no player script file");
    }
    return lines.terminated();
}

std::string singlePlayerCode(CodeType type, const SingleButtonValues& v)
{
    return playerPageCode(type, v.serverPath, v.id, scriptFileName(v), embedMarkup(v));
}

std::string singleInstructions(CodeType type, const SingleButtonValues& v)
{
    TextLines lines;
    lines.line("Output folder on your local PC")
        .line(kInstructionsRule)
        .line(v.outputFolder)
        .line()
        .line()
        .line("List of files to be uploaded on your server along with your HTML file")
        .line(kInstructionsRule)
        .line(v.playerFile)
        .line(v.mp3Name);
    if (writesScriptFile(type))
        lines.line(scriptFileName(v));
    if (type == CodeType::JavaScriptMethod1)
        lines.line("swfobject.js");
    lines.line("onlinetest-single-button.html")
        .line()
        .line()
        .line("Target location on your server for the above files")
        .line(kInstructionsRule)
        .line(v.serverPath.empty() ? std::string_view("Same path as your HTML file")
                                   : std::string_view(v.serverPath))
        .line()
        .line("You can test the audio button by playing onlinetest-single-button.html from your website");
    return lines.joined();
}

} // namespace tmbr::codegen
