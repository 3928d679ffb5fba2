#include "platform/qttimer.h"

namespace tmbr::gui {

QtTimer::QtTimer(int intervalMs, std::function<void()> onTick)
{
    m_timer.setInterval(intervalMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, std::move(onTick));
}

} // namespace tmbr::gui
