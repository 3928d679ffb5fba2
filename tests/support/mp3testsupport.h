#pragma once

// Shared by the encoder tests: temporary folders, PCM generators, files and the reference tools
// (mpg123, ffprobe, mutagen) run as oracles.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace mp3test {

class TempFolder {
public:
    TempFolder()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/vlsmp3-test-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            ADD_FAILURE() << "cannot create a temporary folder";
        m_path = pattern;
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline std::vector<std::uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Interleaved PCM bytes of a sine tone (the same tone in every channel), little-endian 16-bit or
// unsigned 8-bit.
inline std::vector<std::uint8_t> tone(
    double frequency, int sampleRate, int channels, int bits, std::size_t frames, double amplitude = 0.5)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(frames * static_cast<std::size_t>(channels * bits / 8));
    for (std::size_t i = 0; i < frames; ++i) {
        const double value
            = amplitude * std::sin(2.0 * M_PI * frequency * static_cast<double>(i) / sampleRate);
        for (int c = 0; c < channels; ++c) {
            if (bits == 8) {
                bytes.push_back(static_cast<std::uint8_t>(std::lround(128.0 + 127.0 * value)));
            } else {
                const auto sample = static_cast<std::int16_t>(std::lround(32767.0 * value));
                bytes.push_back(static_cast<std::uint8_t>(sample & 0xFF));
                bytes.push_back(static_cast<std::uint8_t>((sample >> 8) & 0xFF));
            }
        }
    }
    return bytes;
}

struct CommandResult {
    int status = -1;
    std::string output;
};

// Runs a shell command and returns its standard output and exit status.
inline CommandResult run(const std::string& command)
{
    CommandResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 65536> buffer;
    std::size_t count = 0;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), count);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (const char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

// What mpg123 decodes: interleaved 16-bit samples at the stream's own rate and channels.
struct Decoded {
    bool ok = false;
    int sampleRate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;
    std::size_t frames() const { return channels ? samples.size() / static_cast<std::size_t>(channels) : 0; }
};

inline Decoded decodeWithMpg123(const std::string& path)
{
    Decoded decoded;
    const CommandResult info
        = run("ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels "
              "-of default=noprint_wrappers=1 "
            + quoted(path) + " 2>/dev/null");
    if (info.status != 0)
        return decoded;
    std::sscanf(
        info.output.c_str() + info.output.find("sample_rate="), "sample_rate=%d", &decoded.sampleRate);
    std::sscanf(info.output.c_str() + info.output.find("channels="), "channels=%d", &decoded.channels);
    // -s: raw samples on standard output, in the stream's own format (16-bit host order).
    const CommandResult raw = run("mpg123 -q -s " + quoted(path) + " 2>/dev/null");
    if (raw.status != 0)
        return decoded;
    decoded.samples.resize(raw.output.size() / 2);
    std::memcpy(decoded.samples.data(), raw.output.data(), decoded.samples.size() * 2);
    decoded.ok = true;
    return decoded;
}

// Share of the signal's power at the frequency (Goertzel) in channel `channel`, over the middle
// half of the signal: near 1 for a clean tone.
inline double toneShare(const Decoded& decoded, int channel, double frequency)
{
    const std::size_t frames = decoded.frames();
    const std::size_t from = frames / 4;
    const std::size_t count = frames / 2;
    if (count == 0)
        return 0.0;
    const double w = 2.0 * M_PI * frequency / decoded.sampleRate;
    double s1 = 0.0;
    double s2 = 0.0;
    double energy = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double x = decoded.samples[(from + i) * static_cast<std::size_t>(decoded.channels)
            + static_cast<std::size_t>(channel)];
        energy += x * x;
        const double s = x + 2.0 * std::cos(w) * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    const double power = s1 * s1 + s2 * s2 - 2.0 * std::cos(w) * s1 * s2;
    return energy > 0.0 ? 2.0 * power / (static_cast<double>(count) * energy) : 0.0;
}

// Runs a Python script with Debian's python3 (where mutagen is installed); the script reads the
// path from sys.argv[1].
inline CommandResult runPython(const std::string& script, const std::string& path)
{
    return run("/usr/bin/python3 -c " + quoted(script) + " " + quoted(path) + " 2>&1");
}

// MPEG audio layer III frames of a file's bytes, walked from `from` by their headers.
struct FrameWalk {
    std::size_t frames = 0;
    std::size_t end = 0; // offset after the last frame
    int sampleRate = 0;
    int samplesPerFrame = 0;
    // From the first frame's "Xing"/"Info" header: -1 when there is none.
    long headerFrames = -1;
    std::string headerKind;
};

inline FrameWalk walkFrames(const std::vector<std::uint8_t>& bytes, std::size_t from)
{
    static constexpr int mpeg1Rates[] = { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320 };
    static constexpr int mpeg2Rates[] = { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 };
    static constexpr int sampleRates[4][3]
        = { { 11025, 12000, 8000 }, { 0, 0, 0 }, { 22050, 24000, 16000 }, { 44100, 48000, 32000 } };
    FrameWalk walk;
    std::size_t at = from;
    while (at + 4 <= bytes.size()) {
        const std::uint8_t* h = bytes.data() + at;
        const int version = (h[1] >> 3) & 3;
        const int bitrateIndex = h[2] >> 4;
        const int rateIndex = (h[2] >> 2) & 3;
        if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0 || version == 1 || ((h[1] >> 1) & 3) != 1
            || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
            break;
        const bool mpeg1 = version == 3;
        const int kbps = mpeg1 ? mpeg1Rates[bitrateIndex] : mpeg2Rates[bitrateIndex];
        const int rate = sampleRates[version][rateIndex];
        const std::size_t size
            = static_cast<std::size_t>((mpeg1 ? 144 : 72) * kbps * 1000 / rate + ((h[2] >> 1) & 1));
        if (walk.frames == 0) {
            walk.sampleRate = rate;
            walk.samplesPerFrame = mpeg1 ? 1152 : 576;
            const bool mono = (h[3] >> 6) == 3;
            const std::size_t side = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
            const std::size_t tag = at + 4 + side;
            if (tag + 12 <= bytes.size()) {
                const std::string kind(bytes.begin() + static_cast<std::ptrdiff_t>(tag),
                    bytes.begin() + static_cast<std::ptrdiff_t>(tag + 4));
                if (kind == "Xing" || kind == "Info") {
                    walk.headerKind = kind;
                    const std::uint8_t* f = bytes.data() + tag + 4;
                    if (f[3] & 1) {
                        const std::uint8_t* n = f + 4;
                        walk.headerFrames = static_cast<long>(
                            (std::uint32_t { n[0] } << 24) | (n[1] << 16) | (n[2] << 8) | n[3]);
                    }
                }
            }
        }
        ++walk.frames;
        at += size;
    }
    walk.end = std::min(at, bytes.size());
    return walk;
}

} // namespace mp3test
