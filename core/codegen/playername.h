#pragma once

#include <string>
#include <vector>

namespace tmbr::codegen {

// Player names are file names without ".swf"; characters are counted in
// Unicode code points, from 1.

// Ends with "leon" (exact, case-sensitive): colour button shown, colour passed.
bool isColourable(const std::string& playerName);
// Contains "leon" anywhere: the jukebox settings file carries the colour.
bool mentionsColour(const std::string& playerName);

struct PlayerSize {
    std::string width;
    std::string height;
};

// Characters 6 to 11 of a single-button player name: "type04" 75 x 25,
// "type07" 125 x 22, "type08" 222 x 25, anything else 68 x 22.
PlayerSize singlePlayerSize(const std::string& playerName);

// The six characters from position 5 of a jukebox player name: the first three
// are the width, the last three the height (fewer when the name is shorter).
PlayerSize jukeboxPlayerSize(const std::string& playerName);

} // namespace tmbr::codegen
