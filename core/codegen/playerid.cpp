#include "playerid.h"

#include <cstdio>
#include <ctime>

namespace tmbr::codegen {

Clock systemClock()
{
    return [] {
        const std::time_t now = std::time(nullptr);
        std::tm local {};
        localtime_r(&now, &local);
        return TimeOfDay { local.tm_hour, local.tm_min, local.tm_sec };
    };
}

std::string PlayerId(const Clock& clock)
{
    const TimeOfDay time = clock();
    char id[16];
    std::snprintf(id, sizeof id, "ab%02d%02d", time.minute % 100, time.second % 100);
    return id;
}

} // namespace tmbr::codegen
