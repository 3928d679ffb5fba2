#include "command.h"
#include "decoderclient.h"
#include "options.h"
#include "progressbar.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace tmbr::cli {

namespace {

const char kDecodeHelp[] = "Usage: tmbr decode FILE.mp3 OUT.wav [--channels N] [--rate HZ] [--bits 8|16]\n"
                           "                   [--seek SECONDS]\n"
                           "\n"
                           "Decodes the MP3 file through the MP3 decoder control into a PCM WAV file.\n"
                           "\n"
                           "Options:\n"
                           "  --channels N     1 or 2 (default: the file's)\n"
                           "  --rate HZ        output sample rate (default: the file's)\n"
                           "  --bits 8|16      sample size (default: 16)\n"
                           "  --seek SECONDS   start this far into the file\n"
                           "\n"
                           "A failed run leaves no output file. On a terminal, a progress bar shows on\n"
                           "standard error.\n";

std::int32_t number(const Options& options, const std::string& name, long low, long high)
{
    const std::string text = options.value("--" + name);
    if (text.empty())
        return 0;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high)
        throw options.error("--" + name + " expects a whole number from " + std::to_string(low) + " to "
            + std::to_string(high));
    return static_cast<std::int32_t>(value);
}

// The 44-byte header of a PCM WAV file holding dataBytes of samples.
std::array<std::uint8_t, 44> waveHeader(const WAVEFORMATEX& format, std::uint32_t dataBytes)
{
    std::array<std::uint8_t, 44> header {};
    const auto text = [&](std::size_t at, const char* four) { std::memcpy(header.data() + at, four, 4); };
    const auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            header[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    text(0, "RIFF");
    put(4, 36 + dataBytes + (dataBytes & 1), 4);
    text(8, "WAVE");
    text(12, "fmt ");
    put(16, 16, 4);
    put(20, WAVE_FORMAT_PCM, 2);
    put(22, format.nChannels, 2);
    put(24, format.nSamplesPerSec, 4);
    put(28, format.nAvgBytesPerSec, 4);
    put(32, format.nBlockAlign, 2);
    put(34, format.wBitsPerSample, 2);
    text(36, "data");
    put(40, dataBytes, 4);
    return header;
}

// Writes the WAV file; throws ComponentError (the control's message) or a system error text.
void decodeTo(IVlsAudioDecoder* decoder, const std::string& outPath, std::int32_t startSecond)
{
    WAVEFORMATEX format {};
    check(decoder->get_Format(&format));
    std::int32_t duration = 0;
    check(decoder->get_Duration(&duration));
    const double expectedBytes = static_cast<double>(duration - startSecond) * format.nAvgBytesPerSec;
    ProgressBar progress;
    std::FILE* file = std::fopen(outPath.c_str(), "wb");
    if (!file)
        throw ComponentError(outPath + ": " + std::strerror(errno));
    bool ok = std::fwrite(waveHeader(format, 0).data(), 1, 44, file) == 44;
    std::uint64_t total = 0;
    std::vector<std::uint8_t> buffer(65536);
    try {
        while (ok) {
            std::int32_t got = 0;
            check(decoder->Read(buffer.data(), static_cast<std::int32_t>(buffer.size()), &got));
            if (got <= 0)
                break;
            ok = std::fwrite(buffer.data(), 1, static_cast<std::size_t>(got), file)
                == static_cast<std::size_t>(got);
            total += static_cast<std::uint64_t>(got);
            if (expectedBytes > 0)
                progress.update(99.0 * static_cast<double>(total) / expectedBytes);
            ok = ok && total < 0xFFFFFFF0u - 44;
        }
    } catch (...) {
        std::fclose(file);
        std::remove(outPath.c_str());
        throw;
    }
    if (ok && (total & 1))
        ok = std::fputc(0, file) != EOF;
    if (ok)
        progress.update(100);
    progress.finish();
    const auto header = waveHeader(format, static_cast<std::uint32_t>(total));
    ok = ok && std::fseek(file, 0, SEEK_SET) == 0
        && std::fwrite(header.data(), 1, header.size(), file) == header.size();
    const int error = errno;
    if (std::fclose(file) != 0 || !ok) {
        std::remove(outPath.c_str());
        throw ComponentError(
            outPath + ": " + (total >= 0xFFFFFFF0u - 44 ? "too long for a WAV file" : std::strerror(error)));
    }
}

} // namespace

int runDecodeCommand(const std::vector<std::string>& args)
{
    Options options("tmbr decode");
    options.allowPositionals();
    options.add("--channels", Options::Kind::Value)
        .add("--rate", Options::Kind::Value)
        .add("--bits", Options::Kind::Value)
        .add("--seek", Options::Kind::Value);
    options.parse(args);
    if (options.helpRequested()) {
        std::fputs(kDecodeHelp, stdout);
        return kExitSuccess;
    }
    if (options.positionals().size() != 2)
        throw options.error("expects an MP3 file and an output WAV file");
    const std::int32_t channels = number(options, "channels", 1, 2);
    const std::int32_t rate = number(options, "rate", 1000, 384000);
    const std::int32_t bits = number(options, "bits", 8, 16);
    if (bits != 0 && bits != 8 && bits != 16)
        throw options.error("--bits expects 8 or 16");
    const std::int32_t seek = number(options, "seek", 0, 24 * 3600);
    const std::string outPath = options.positionals()[1];
    try {
        const auto decoder = openDecoder(options.positionals()[0]);
        if (channels || rate || bits)
            check(decoder->SetOutputFormat(channels, rate, bits));
        if (options.has("--seek"))
            check(decoder->Seek(seek));
        decodeTo(decoder.get(), outPath, options.has("--seek") ? seek : 0);
        check(decoder->Close());
        return kExitSuccess;
    } catch (const ComponentError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return kExitFailure;
    }
}

} // namespace tmbr::cli
