#pragma once

namespace tmbr::gui {

// A window timer: once started it ticks every interval on the window's thread
// until stopped. The interval belongs to the timer, not to its user.
class ITimer {
public:
    virtual ~ITimer() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool active() const = 0;
};

} // namespace tmbr::gui
