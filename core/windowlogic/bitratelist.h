#pragma once

#include <string>
#include <vector>

namespace tmbr::gui {

// The three sample-rate option buttons of the audio tools, in window order.
enum class SampleRateOption { Hz44100, Hz22050, Hz11025 };

int samplesPerSec(SampleRateOption option);

// The MP3 bit rates (kbit/s) offered for a sample rate, best first: nine for
// 11025 and 22050 Hz, seven for 44100 Hz.
std::vector<std::string> bitRateItems(SampleRateOption option);

// The item selected after a sample-rate click: "56".
inline constexpr int kDefaultBitRateIndex = 5;

} // namespace tmbr::gui
