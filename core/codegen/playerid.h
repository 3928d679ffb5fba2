#pragma once

#include <functional>
#include <string>

namespace tmbr::codegen {

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Source of the current local time of day; tests inject a fixed or stepping clock.
using Clock = std::function<TimeOfDay()>;

// The local wall clock.
Clock systemClock();

// "ab" + two-digit minute + two-digit second: "ab0509" at 14:05:09.
std::string PlayerId(const Clock& clock);

} // namespace tmbr::codegen
