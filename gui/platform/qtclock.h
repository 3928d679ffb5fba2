#pragma once

#include "platform/iclock.h"

namespace tmbr::gui {

class QtClock : public IClock {
public:
    double secondsSinceMidnight() override;
};

} // namespace tmbr::gui
