#pragma once

#include <string>

namespace tmbr::gui {

// The short form of a path for tools that cannot take long names. Linux paths
// have no short form, so this is the path itself, whether or not the file
// exists; nothing is created on disk.
std::string ShortPathOf(const std::string& path);

} // namespace tmbr::gui
