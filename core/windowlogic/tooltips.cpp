#include "tooltips.h"

namespace tmbr::gui {

std::string followingToolTip(const std::string& text)
{
    return " " + text + " ";
}

std::string mp3PathToolTip(const std::string& text)
{
    return " Selected Mp3 file - " + text + " ";
}

} // namespace tmbr::gui
