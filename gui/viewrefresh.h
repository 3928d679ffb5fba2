#pragma once

// Refreshes a window from its logic's state without nesting. Drawing the progress lets events
// run; an event handled during a refresh asks for one more pass of the running refresh instead
// of starting a second one inside it.

namespace tmbr::gui {

class ViewRefresh {
public:
    template <typename Pass> void run(Pass pass)
    {
        if (m_running) {
            m_again = true;
            return;
        }
        m_running = true;
        do {
            m_again = false;
            pass();
        } while (m_again);
        m_running = false;
    }

private:
    bool m_running = false;
    bool m_again = false;
};

} // namespace tmbr::gui
