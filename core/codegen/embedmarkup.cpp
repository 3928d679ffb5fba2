#include "embedmarkup.h"

#include "escape.h"
#include "webaddresses.h"

namespace tmbr::codegen {

void addEmbedMarkup(TextLines& lines, const EmbedMarkup& markup, MarkupForm form)
{
    const bool inScript = form == MarkupForm::DocumentWrite;
    const auto value = [inScript](const std::string& html) { return inScript ? escapeJsString(html) : html; };
    const std::string url = value(escapeHtml(markup.playerUrl));
    const std::string vars = value(markup.flashVarsHtml);
    const std::string width = value(escapeHtml(markup.width));
    const std::string height = value(escapeHtml(markup.height));
    const std::string_view open = inScript ? "document.write('" : "";
    const std::string_view close = inScript ? "');" : "";
    const std::string_view embedFlags = markup.embedOrder == EmbedMarkup::EmbedOrder::FullScreenFirst
        ? "allowFullScreen=\"true\" allowScriptAccess=\"always\""
        : "allowScriptAccess=\"always\" allowFullScreen=\"true\"";

    lines
        .line(open, "<object classid=\"clsid:d27cdb6e-ae6d-11cf-96b8-444553540000\" codebase=\"",
            kFlashCabUrl, "\" width=\"", width, "\" height=\"", height, "\" align=\"middle\">", close)
        .line(open, "<param name=\"movie\" value=\"", url, "\">", close)
        .line(open, "<param name=\"FlashVars\" value=\"", vars, "\">", close)
        .line(open, "<param name=\"quality\" value=\"high\">", close)
        .line(open, "<param name=\"menu\" value=\"false\">", close)
        .line(open, "<param name=\"allowFullScreen\" value=\"true\">", close)
        .line(open, "<param name=\"allowScriptAccess\" value=\"always\">", close)
        .line(open, "<embed src=\"", url, "\" FlashVars=\"", vars,
            "\" quality=\"high\" menu=\"false\"  width=\"", width, "\" height=\"", height, "\" ", embedFlags,
            " type=\"application/x-shockwave-flash\" pluginspage=\"", kFlashDownloadPage, "\"></embed>",
            close)
        .line(open, "</object>", close);
}

void addScriptTagCode(TextLines& lines, CodeType type, const std::string& serverPath, const std::string& id,
    const std::string& scriptFile)
{
    const std::string path = escapeHtml(serverPath);
    if (type == CodeType::JavaScriptMethod1) {
        lines.line("<script type=\"text/javascript\" src=\"", path, "swfobject.js\"></script>")
            .line("<div id=\"flashcontent", id,
                "\" align=\"center\"> You probably do not have the Flash Player installed for your browser "
                "or "
                "the audio files are misplaced on the server!</div>")
            .line("<script type=\"text/javascript\" src=\"", path, scriptFile, "\"></script>");
    } else {
        lines.line("<div align=\"center\">")
            .line("<script type=\"text/javascript\" src=\"", path, scriptFile, "\"></script>")
            .line("</div>");
    }
}

std::string playerPageCode(CodeType type, const std::string& serverPath, const std::string& id,
    const std::string& scriptFile, const EmbedMarkup& markup)
{
    TextLines lines;
    lines.line("<!--Audio player code starts here-->");
    if (writesScriptFile(type)) {
        addScriptTagCode(lines, type, serverPath, id, scriptFile);
    } else {
        lines.line("<div align=\"center\">");
        addEmbedMarkup(lines, markup, MarkupForm::Html);
        lines.line("</div>");
    }
    lines.line("<!--Audio player code ends here-->");
    return lines.joined();
}

} // namespace tmbr::codegen
