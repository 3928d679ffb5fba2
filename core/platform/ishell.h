#pragma once

#include <string>

namespace tmbr::gui {

// Opens a local file or a web address with the desktop's default program.
class IShell {
public:
    virtual ~IShell() = default;
    // False when no program could be started for it; whether the program
    // then shows the target is not known.
    virtual bool open(const std::string& fileOrAddress) = 0;
};

} // namespace tmbr::gui
