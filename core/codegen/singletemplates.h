#pragma once

#include "codetype.h"
#include "textlines.h"

#include <string>
#include <string_view>

namespace tmbr::codegen {

// Template values of one single-button run, as the generator derives them.
// Raw values: each builder escapes a value for the context it is written into.
struct SingleButtonValues {
    std::string id; // {ID}, a PlayerId
    std::string playerFile; // {PLAYER_FILE}: player name + ".swf"
    std::string serverPath; // {SERVER_PATH}: trimmed, empty or ending with "/"
    std::string mp3Name; // {MP3_NAME}: file name without folder
    bool autoPlay = false; // {AUTO}: "Auto" / "Manual"
    bool loop = false; // {LOOP}: "Yes" / "No"
    bool colourable = false; // player name ends with "leon"
    std::string colour; // {COLOUR}: "0x" + RRGGBB
    std::string width; // {WIDTH}
    std::string height; // {HEIGHT}
    std::string outputFolder; // {OUTPUT_FOLDER}, ends with "/"
};

// The rule under each heading of the instructions: 41 equals signs.
inline constexpr std::string_view kInstructionsRule = "=========================================";

// Files: every line ends with CR LF, the last one too.
std::string singleLocalTestPage(const SingleButtonValues& values);
std::string singleOnlineTestPage(const std::string& playerCode);
// JavaScriptMethod1 or JavaScriptMethod2 only; FlashEmbedCode throws
// std::invalid_argument.
std::string singleScriptFile(CodeType type, const SingleButtonValues& values);

// In-memory texts: lines joined by CR LF, none after the last line.
std::string singlePlayerCode(CodeType type, const SingleButtonValues& values);
std::string singleInstructions(CodeType type, const SingleButtonValues& values);

} // namespace tmbr::codegen
