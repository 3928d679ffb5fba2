#pragma once

#include "generators.h"

#include <string>
#include <vector>

namespace tmbr::codegen {

// The application folder: TMBRSA_APP_DIR when set, else <exe dir>/../share/tmbrsa/.
// The scratch folder: $XDG_CACHE_HOME/tmbrsa/temp/ (default ~/.cache/tmbrsa/temp/),
// created when missing. Both end with "/".
AppFolders locateAppFolders(const std::string& executablePath);

// Player list rule: the "*.swf" file names of a template folder, sorted by
// name, each without its last four characters. A missing folder throws
// GenerationError; a folder without players gives an empty list.
std::vector<std::string> listPlayers(const std::string& templateFolder);

enum class ScratchCleanup {
    LeftAlone, // no "do-not-upload.html": nothing deleted
    Emptied, // every file deleted
    PermissionDenied // a file could not be deleted (error 70): the caller warns and goes on
};

// Start-up rule: when the scratch folder holds "do-not-upload.html", delete
// every file in it.
ScratchCleanup cleanScratchFolder(const std::string& scratchFolder);

} // namespace tmbr::codegen
