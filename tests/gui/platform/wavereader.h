#pragma once

// Reads back the canonical RIFF/WAVE files the device writes, and measures the
// tone in 16-bit samples.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tmbr::gui::test {

struct WaveContent {
    bool valid = false;
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t bytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint32_t riffSize = 0;
    std::vector<std::int16_t> samples; // interleaved
};

inline std::uint32_t le(const std::string& bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

inline WaveContent readWave(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WaveContent wave;
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 8, "WAVEfmt ") != 0
        || bytes.compare(36, 4, "data") != 0)
        return wave;
    wave.riffSize = le(bytes, 4, 4);
    wave.formatTag = static_cast<std::uint16_t>(le(bytes, 20, 2));
    wave.channels = static_cast<std::uint16_t>(le(bytes, 22, 2));
    wave.samplesPerSec = le(bytes, 24, 4);
    wave.bytesPerSec = le(bytes, 28, 4);
    wave.blockAlign = static_cast<std::uint16_t>(le(bytes, 32, 2));
    wave.bitsPerSample = static_cast<std::uint16_t>(le(bytes, 34, 2));
    const std::uint32_t size = le(bytes, 40, 4);
    if (size != bytes.size() - 44)
        return wave;
    for (std::size_t i = 44; i + 1 < bytes.size(); i += 2)
        wave.samples.push_back(static_cast<std::int16_t>(le(bytes, i, 2)));
    wave.valid = true;
    return wave;
}

// The frequency of channel `channel` from its rising zero crossings, over the
// samples whose magnitude shows sound; 0 for silence.
inline double toneFrequency(
    const std::vector<std::int16_t>& samples, int channels, std::uint32_t rate, int channel = 0)
{
    int crossings = 0;
    std::size_t first = 0;
    std::size_t last = 0;
    for (std::size_t i = static_cast<std::size_t>(channel + channels); i < samples.size();
         i += static_cast<std::size_t>(channels)) {
        if (samples[i - static_cast<std::size_t>(channels)] < 0 && samples[i] >= 0) {
            if (crossings == 0)
                first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0;
    const double seconds = static_cast<double>((last - first) / static_cast<std::size_t>(channels)) / rate;
    return (crossings - 1) / seconds;
}

} // namespace tmbr::gui::test
