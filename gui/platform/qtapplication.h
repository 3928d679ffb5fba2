#pragma once

#include "platform/iapplication.h"

namespace tmbr::gui {

// Ends the program with exit code 1: every running event loop (the modal
// windows' too) returns, and main() then destroys the windows.
class QtApplication : public IApplication {
public:
    void endApplication() override;
};

} // namespace tmbr::gui
