#include "shortpath.h"

namespace tmbr::gui {

std::string ShortPathOf(const std::string& path)
{
    return path;
}

} // namespace tmbr::gui
