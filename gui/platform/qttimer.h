#pragma once

#include "platform/itimer.h"

#include <QTimer>
#include <functional>

namespace tmbr::gui {

// A QTimer that calls `onTick` every `intervalMs` while started.
class QtTimer : public ITimer {
public:
    QtTimer(int intervalMs, std::function<void()> onTick);
    void start() override { m_timer.start(); }
    void stop() override { m_timer.stop(); }
    bool active() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

} // namespace tmbr::gui
