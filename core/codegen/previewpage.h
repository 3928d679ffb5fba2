#pragma once

#include "jukeboxtemplates.h"

#include <string>
#include <vector>

namespace tmbr::codegen {

// The page that the main window's preview shows: the shipped swfobject.js (beside the page)
// drawing the selected player at its size and in its colour, as a visitor's browser draws it.
struct PreviewPlayer {
    std::string playerName; // file name without ".swf"
    bool jukebox = false;
    std::string width; // pixels, as the size rules of the player name give them
    std::string height;
    std::string colour; // "0xRRGGBB", empty for the player's own look
    // The button's MP3 file (absolute local path), empty for none: the button then stays silent.
    std::string mp3Path;
    bool loop = false;
};

// The page text: it never starts playing by itself; a click plays.
std::string previewPageText(const PreviewPlayer& player);

// The jukebox's settings_as.xml beside the page: the chosen tracks of `folder` (absolute, ending
// with "/") when there are any, addressed by their local paths; else the sample playlist. The
// colour is carried when the player has one. Auto play is off whatever the options say.
std::string previewJukeboxSettings(const PreviewPlayer& player, JukeboxOptions options,
    const std::vector<Track>& tracks, const std::string& folder);

} // namespace tmbr::codegen
