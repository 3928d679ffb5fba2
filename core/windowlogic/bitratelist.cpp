#include "bitratelist.h"

namespace tmbr::gui {

int samplesPerSec(SampleRateOption option)
{
    switch (option) {
    case SampleRateOption::Hz44100:
        return 44100;
    case SampleRateOption::Hz22050:
        return 22050;
    case SampleRateOption::Hz11025:
        break;
    }
    return 11025;
}

std::vector<std::string> bitRateItems(SampleRateOption option)
{
    if (option == SampleRateOption::Hz44100)
        return { "128", "112", "96", "80", "64", "56", "32" };
    return { "128", "112", "96", "80", "64", "56", "32", "24", "16" };
}

} // namespace tmbr::gui
