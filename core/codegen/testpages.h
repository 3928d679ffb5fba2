#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tmbr::codegen {

// The local test page both players share: it loads swfobject.js from its own
// folder and writes the player there. Every line ends with CR LF.
struct LocalTestPage {
    std::string titleLine; // complete "<title>...</title>" line
    std::string id; // {ID}
    std::string movieName; // name of the movie object, e.g. "button" + {ID}
    std::string playerFile; // bare player file name, URL-encoded here
    std::string width;
    std::string height;
    // addVariable calls in order: name and value, the value already in URL form.
    std::vector<std::pair<std::string, std::string>> variables;
    std::string outputFolder; // named in the closing paragraph
};
std::string localTestPageText(const LocalTestPage& page);

// The online test page both players share: the page code between the head and
// the closing paragraphs. `what` is what the user should notice above ("hear
// the audio", "view the jukebox"). Every line ends with CR LF.
std::string onlineTestPageText(
    std::string_view titleLine, const std::string& pageCode, std::string_view what);

} // namespace tmbr::codegen
