#include "platform/qtclock.h"

#include <QTime>

namespace tmbr::gui {

double QtClock::secondsSinceMidnight()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

} // namespace tmbr::gui
