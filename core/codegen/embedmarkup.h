#pragma once

#include "codetype.h"
#include "textlines.h"

#include <string>

namespace tmbr::codegen {

// The plug-in markup (object, its params and the embed fallback) shared by the
// FlashEmbedCode page code and the JavaScriptMethod2 script files.
struct EmbedMarkup {
    std::string playerUrl; // {PLAYER_URL}, URL-encoded but not yet escaped for its context
    std::string flashVarsHtml; // FlashVars value, already escaped as an HTML attribute value
    std::string width;
    std::string height;
    // The single button writes allowFullScreen before allowScriptAccess in its
    // embed line, the jukebox the other way round.
    enum class EmbedOrder { FullScreenFirst, ScriptAccessFirst } embedOrder = EmbedOrder::FullScreenFirst;
};

enum class MarkupForm {
    Html, // plain markup lines
    DocumentWrite, // each line inside document.write('...'); values escaped for the string too
};

// Appends the lines from <object ...> to </object>.
void addEmbedMarkup(TextLines& lines, const EmbedMarkup& markup, MarkupForm form);

// Page code of the two JavaScript code types, between the start and end
// comments: the script tags that load scriptFile (and swfobject.js for
// JavaScriptMethod1) from the typed server path.
void addScriptTagCode(TextLines& lines, CodeType type, const std::string& serverPath, const std::string& id,
    const std::string& scriptFile);

// The whole page code of either player, lines joined by CR LF: the script tags
// for the two JavaScript code types, the centred plug-in markup for
// FlashEmbedCode.
std::string playerPageCode(CodeType type, const std::string& serverPath, const std::string& id,
    const std::string& scriptFile, const EmbedMarkup& markup);

} // namespace tmbr::codegen
