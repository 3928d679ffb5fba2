#pragma once

#include <string>
#include <vector>

namespace tmbr::gui {

// The jukebox playlist: two index-aligned lists of equal length.
struct Playlist {
    std::vector<std::string> files; // MP3 file names without folder
    std::vector<std::string> displayNames; // names shown on the player's playlist

    bool operator==(const Playlist&) const = default;
};

} // namespace tmbr::gui
