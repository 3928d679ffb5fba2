#pragma once

#include <string>

namespace tmbr::gui {

// Opens a local file or a web address with the desktop's default program.
// The result is not reported.
class IShell {
public:
    virtual ~IShell() = default;
    virtual void open(const std::string& fileOrAddress) = 0;
};

} // namespace tmbr::gui
