#include "previewpage.h"

#include "escape.h"

namespace tmbr::codegen {

namespace {

std::string jsString(const std::string& text)
{
    return "\"" + escapeJsString(text) + "\"";
}

} // namespace

std::string previewPageText(const PreviewPlayer& player)
{
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>Player Preview</title>\n"
                       "<style>html,body{margin:0;padding:0;overflow:hidden;background:transparent}"
                       "body{display:flex;align-items:center;justify-content:center;height:100vh}</style>\n"
                       "<script src=\"swfobject.js\"></script>\n</head>\n<body>\n<div id=\"preview\"></div>\n"
                       "<script>\n";
    page += "var preview = new SWFObject(" + jsString(player.playerName + ".swf") + ", \"previewplayer\", "
        + jsString(player.width) + ", " + jsString(player.height) + ", \"6\", \"#FFFFFF\");\n";
    if (player.jukebox) {
        page += "preview.addVariable(\"loc\", \"\");\n";
    } else {
        page += "preview.addVariable(\"f\", "
            + jsString(player.mp3Path.empty() ? std::string() : urlEncodeFileName(player.mp3Path)) + ");\n";
        page += "preview.addVariable(\"m\", \"Manual\");\n";
        page += std::string("preview.addVariable(\"l\", \"") + (player.loop ? "Yes" : "No") + "\");\n";
        if (!player.colour.empty())
            page += "preview.addVariable(\"c\", " + jsString(player.colour) + ");\n";
    }
    page += "preview.write(\"preview\");\n</script>\n</body>\n</html>\n";
    return page;
}

std::string previewJukeboxSettings(const PreviewPlayer& player, JukeboxOptions options,
    const std::vector<Track>& tracks, const std::string& folder)
{
    options.autoPlay = false;
    const bool withColour = !player.colour.empty();
    if (tracks.empty() || folder.empty())
        return jukeboxSettings(
            options, withColour, player.colour, jukeboxSampleTracks(), {}, UrlPrefixKind::ServerPath);
    return jukeboxSettings(options, withColour, player.colour, tracks, folder, UrlPrefixKind::LocalFolder);
}

} // namespace tmbr::codegen
