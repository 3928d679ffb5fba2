#pragma once

// Reads back the canonical RIFF/WAVE files the device writes, and measures the
// tone in 16-bit samples.

#include <algorithm>
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

// The frequency of channel `channel` from the spacing of its rising zero crossings (placed between
// samples by interpolation); 0 for silence. Spacings far from the typical one are left out: a
// recording may hold gaps of silence or restarts of the tone, which would skew an average over the
// whole span.
inline double toneFrequency(
    const std::vector<std::int16_t>& samples, int channels, std::uint32_t rate, int channel = 0)
{
    const auto step = static_cast<std::size_t>(channels);
    std::vector<double> crossings;
    for (std::size_t i = static_cast<std::size_t>(channel) + step; i < samples.size(); i += step) {
        const double before = samples[i - step];
        const double after = samples[i];
        if (before < 0 && after >= 0)
            crossings.push_back(static_cast<double>(i / step) - after / (after - before));
    }
    if (crossings.size() < 3)
        return 0;
    std::vector<double> spacings;
    for (std::size_t i = 1; i < crossings.size(); ++i)
        spacings.push_back(crossings[i] - crossings[i - 1]);
    std::vector<double> sorted = spacings;
    std::nth_element(
        sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    const double typical = sorted[sorted.size() / 2];
    double total = 0;
    std::size_t counted = 0;
    for (const double spacing : spacings) {
        if (spacing > typical * 0.8 && spacing < typical * 1.25) {
            total += spacing;
            ++counted;
        }
    }
    return counted > 0 && total > 0 ? rate * static_cast<double>(counted) / total : 0;
}

} // namespace tmbr::gui::test
