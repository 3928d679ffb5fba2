#pragma once

#include <string>
#include <vector>

namespace tmbr::gui {

// Starts a desktop program beside this one, without waiting for it.
class IProgramLauncher {
public:
    virtual ~IProgramLauncher() = default;
    // False when the program is not installed (not on the PATH) or cannot start.
    virtual bool startProgram(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

} // namespace tmbr::gui
