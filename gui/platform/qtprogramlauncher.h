#pragma once

#include "platform/iprogramlauncher.h"

namespace tmbr::gui {

// QProcess::startDetached on a program found on the PATH.
class QtProgramLauncher : public IProgramLauncher {
public:
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments) override;
};

} // namespace tmbr::gui
