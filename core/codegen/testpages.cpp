#include "testpages.h"

#include "escape.h"
#include "textlines.h"
#include "webaddresses.h"

namespace tmbr::codegen {

namespace {

// The seven lines every test page starts with; the title is the third.
void addTestPageHead(TextLines& lines, std::string_view titleLine)
{
    lines.line("<html>")
        .line("<head>")
        .line(titleLine)
        .line("<style type=\"text/css\">")
        .line("body{ background-color: #FFFFFF; margin-top: 100px; margin-left: 0px; font-family: Verdana, "
              "Arial, Helvetica, sans-serif; font-size: 12px; }")
        .line("p { color: #FF0000; font-style: normal; text-decoration: none;}")
        .line("</style>");
}

} // namespace

std::string localTestPageText(const LocalTestPage& page)
{
    const std::string& id = page.id;
    TextLines lines;
    addTestPageHead(lines, page.titleLine);
    lines.line("<script type=\"text/javascript\" src=\"swfobject.js\"></script>")
        .line("</head>")
        .line("<body>")
        .line("<div id=\"flashcontent", id,
            "\" align=\"center\"> You probably do not have the Flash Player installed for your "
            "browser!</div>")
        .line("<script type=\"text/javascript\">")
        .line("// <![CDATA[")
        .line("var ", id, " = new SWFObject(\"", escapeJsString(urlEncodeFileName(page.playerFile)), "\", \"",
            page.movieName, "\", \"", escapeJsString(page.width), "\", \"", escapeJsString(page.height),
            "\", \"6\", \"#FFFFFF\" );");
    for (const auto& [name, value] : page.variables)
        lines.line(id, ".addVariable(\"", name, "\", \"", escapeJsString(value), "\" );");
    lines.line(id, ".addParam(\"quality\", \"high\" );")
        .line(id, ".addParam(\"menu\", \"false\" );")
        .line(id, ".addParam(\"allowScriptAccess\", \"sameDomain\" );")
        .line(id, ".write(\"flashcontent", id, "\" );")
        .line("   // ]]>")
        .line("</script>")
        .line("</div>")
        .line("<br>")
        .line("<br>")
        .line("<p align=\"center\" >THIS IS A TEST ON YOUR LOCAL PC. ALL FILES THAT NEED TO BE UPLOADED TO "
              "YOUR "
              "<br> WEBSERVER ARE PLACED IN THE OUTPUT DIRECTORY. - ",
            escapeHtml(page.outputFolder), "</p> ")
        .line("</body>")
        .line("</html>");
    return lines.terminated();
}

std::string onlineTestPageText(std::string_view titleLine, const std::string& pageCode, std::string_view what)
{
    TextLines lines;
    addTestPageHead(lines, titleLine);
    lines.line("</head>")
        .line("<body>")
        .line(pageCode)
        .line("<br>")
        .line("<br>")
        .line("<p align=\"center\"><b>If you can ", what,
            " above then your code and files are perfectly allright.</b></p> ")
        .line("<p align=\"center\">If you cannot ", what,
            " above then  there might be a <br> problem with your code or the placement of the files. "
            "<br>You "
            "can contact Tambrel Customer Support <a href=\"",
            kSupportPage,
            "\"  target=\"_blank\" >here</a>.<br>For a quick reference put a link to this page also.</p> ")
        .line("</body>")
        .line("</html>");
    return lines.terminated();
}

} // namespace tmbr::codegen
