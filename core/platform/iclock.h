#pragma once

namespace tmbr::gui {

// The local time of day.
class IClock {
public:
    virtual ~IClock() = default;
    // Seconds since local midnight, with fractions: 0 to below 86400.
    virtual double secondsSinceMidnight() = 0;
};

} // namespace tmbr::gui
