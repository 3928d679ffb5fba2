#pragma once

namespace tmbr::gui {

// The running program as a whole.
class IApplication {
public:
    virtual ~IApplication() = default;
    // Ends the program after a fatal error: every event loop returns, so the
    // windows and the controls they hold are destroyed and their files closed.
    virtual void endApplication() = 0;
};

} // namespace tmbr::gui
