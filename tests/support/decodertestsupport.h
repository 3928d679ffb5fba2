#pragma once

// Shared by the decoder tests: MP3 fixtures made by sox and lame in a temporary folder, and the
// reference decoder (mpg123 without gapless trimming) as the oracle.

#include "mp3testsupport.h"

#include <string>
#include <vector>

namespace mp3test {

// A tone made by sox (soxArgs: e.g. "-r 44100 -c 2", then "synth <seconds> sine <Hz>") encoded by
// lame with lameArgs; returns the MP3's path, or "" when a tool failed.
inline std::string makeMp3(const TempFolder& folder, const std::string& name, const std::string& soxFormat,
    double seconds, const std::string& lameArgs, int frequency = 440)
{
    const std::string wav = folder.file(name + ".wav");
    const std::string mp3 = folder.file(name + ".mp3");
    const CommandResult sox = run("sox -n -b 16 " + soxFormat + " " + quoted(wav) + " synth "
        + std::to_string(seconds) + " sine " + std::to_string(frequency) + " vol 0.5 2>&1");
    if (sox.status != 0)
        return "";
    const CommandResult lame
        = run("lame --quiet " + lameArgs + " " + quoted(wav) + " " + quoted(mp3) + " 2>&1");
    return lame.status == 0 ? mp3 : "";
}

// Interleaved 16-bit samples as the reference decoder gives them, gapless trimming off.
inline std::vector<std::int16_t> referencePcm(const std::string& path)
{
    const CommandResult raw = run("mpg123 -q --no-gapless -s " + quoted(path) + " 2>/dev/null");
    std::vector<std::int16_t> samples(raw.output.size() / 2);
    std::memcpy(samples.data(), raw.output.data(), samples.size() * 2);
    return samples;
}

inline std::vector<std::int16_t> toSamples(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// Dominant frequency (Hz) of one channel of interleaved samples, by counting upward zero
// crossings over the middle half.
inline double crossingFrequency(const std::vector<std::int16_t>& samples, int channels, int channel, int rate)
{
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    const std::size_t from = frames / 4;
    const std::size_t to = frames * 3 / 4;
    int crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        const auto at
            = [&](std::size_t f) { return samples[f * static_cast<std::size_t>(channels) + channel]; };
        if (at(i - 1) < 0 && at(i) >= 0)
            ++crossings;
    }
    return to > from ? crossings * double(rate) / double(to - from) : 0.0;
}

} // namespace mp3test
