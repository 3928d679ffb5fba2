#pragma once

#include <string>

namespace tmbr::gui {

// Tool tip of a text that shows a path or a server folder: " " + text + " ".
std::string followingToolTip(const std::string& text);

// Tool tip of lblMp3Path: " Selected Mp3 file - " + text + " ".
std::string mp3PathToolTip(const std::string& text);

} // namespace tmbr::gui
