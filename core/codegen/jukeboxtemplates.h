#pragma once

#include "codetype.h"

#include <string>
#include <vector>

namespace tmbr::codegen {

struct Track {
    std::string file; // MP3 file name without folder
    std::string display; // name shown in the playlist
    bool operator==(const Track&) const = default;
};

struct JukeboxOptions {
    bool autoPlay = false; // <AM>
    bool autoProgress = false; // <AN>
    bool random = false; // <AO>
    std::string volume; // <AP>, as typed
    bool bold = false; // <AQ>
    bool operator==(const JukeboxOptions&) const = default;
};

// How the track URL prefix of a settings file is treated: a server path typed
// by the user is a URL already; a local folder is a path that still needs
// URL encoding.
enum class UrlPrefixKind { ServerPath, LocalFolder };

// "settings_as.xml" text, every line ended by CR LF. <AR> carries the colour
// when withColour (player name mentions "leon"), else "No". Track URL =
// prefix + file name: the file name percent-encoded as a URL part, a
// LocalFolder prefix too, a ServerPath prefix as given (blanks included).
// Values are XML-escaped.
std::string jukeboxSettings(const JukeboxOptions& options, bool withColour, const std::string& colour,
    const std::vector<Track>& playlist, const std::string& urlPrefix, UrlPrefixKind prefixKind);

// The preview copy: fixed options, the colour, 15 sample tracks.
std::string jukeboxPreviewSettings(const std::string& colour);
// Its sample tracks: "Sample Track-N(Audio will not play)" for N = 1 to 15, each "x.mp3".
std::vector<Track> jukeboxSampleTracks();

// Template values of one jukebox run.
struct JukeboxValues {
    std::string id; // {ID}; unused by FlashEmbedCode page code
    std::string playerFile; // {PLAYER_FILE}
    std::string playerPath; // {PLAYER_PATH}: trimmed player server path
    std::string width; // {WIDTH}
    std::string height; // {HEIGHT}
    std::string outputFolder; // {OUTPUT_FOLDER}, ends with "/"
    std::string mp3PathTrimmed; // {MP3_PATH_TRIMMED}
};

// Files: every line ends with CR LF, the last one too.
// JavaScriptMethod1 or JavaScriptMethod2 only; FlashEmbedCode throws
// std::invalid_argument. The JavaScriptMethod1 script ends with an empty line.
std::string jukeboxScriptFile(CodeType type, const JukeboxValues& values);
std::string jukeboxLocalTestPage(const JukeboxValues& values);
std::string jukeboxOnlineTestPage(const std::string& pageCode);

// In-memory texts: lines joined by CR LF, none after the last line.
// The instructions are plain text; they trim the blanks of mp3PathTrimmed.
std::string jukeboxPageCode(CodeType type, const JukeboxValues& values);
std::string jukeboxInstructions(
    CodeType type, const JukeboxValues& values, const std::vector<std::string>& playlistFiles);

} // namespace tmbr::codegen
