#include "audiotools/outputfile.h"
#include "command.h"
#include "decoderclient.h"
#include "interruptrequest.h"
#include "progressbar.h"
#include "vlscom/endian.h"
#include "vlscom/replacementfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tmbr::cli {

namespace {

int runDecode(const Options& options);

// A whole number from low to high; an empty value leaves the file's own.
NumberCheck range(long low, long high, std::vector<long> only = {})
{
    NumberCheck check = wholeNumber(low, high, std::move(only));
    check.emptyIsAbsent = true;
    return check;
}

} // namespace

const CommandDeclaration kDecodeCommand = {
    .name = "decode",
    .summary = "decode an MP3 file to a PCM WAV file",
    .usage = "Usage: tmbr decode FILE.mp3 OUT.wav [--channels N] [--rate HZ] [--bits 8|16]\n"
             "                   [--seek SECONDS]\n",
    .description = "Decodes the MP3 file through the MP3 decoder control into a PCM WAV file.\n",
    .options = {
        value("--channels N", "1 or 2 (default: the file's)", range(1, 2)),
        value("--rate HZ", "output sample rate (default: the file's)", range(1000, 384000)),
        value("--bits 8|16", "sample size (default: 16)", range(8, 16, { 8, 16 })),
        value("--seek SECONDS", "start this far into the file", range(0, 24L * 3600)),
    },
    .positionals = true,
    .helpColumn = 19,
    .listsHelpOption = false,
    .notes = "The WAV file is written under a temporary name beside OUT.wav and takes its\n"
             "place once complete: a failed or stopped run leaves an existing OUT.wav as it\n"
             "was. A device or a pipe (/dev/stdout) is written as it is; on a pipe the\n"
             "header's sizes say \"up to the end\". A file that decodes to no audio at all\n"
             "fails. The output may not be the input file. On a terminal, a progress bar\n"
             "shows on standard error. SIGINT or SIGTERM stops the decoding and exits 130.\n",
    .run = runDecode,
};

namespace {

// The size fields of a WAV file whose length is not known when its header is written.
constexpr std::uint32_t kUnknownLength = 0xFFFFFFFFu;
// Written bytes between two hand-overs to the disk.
constexpr std::uint64_t kWritebackStep = 4 << 20;

// The 44-byte header of a PCM WAV file holding dataBytes of samples (kUnknownLength: up to the end
// of the file).
std::vector<std::uint8_t> waveHeader(const WAVEFORMATEX& format, std::uint32_t dataBytes)
{
    std::vector<std::uint8_t> header;
    const auto id
        = [&header](std::string_view text) { header.insert(header.end(), text.begin(), text.end()); };
    id("RIFF");
    vlscom::appendLe<4>(
        header, dataBytes == kUnknownLength ? kUnknownLength : 36 + dataBytes + (dataBytes & 1));
    id("WAVEfmt ");
    vlscom::appendLe<4>(header, 16);
    vlscom::appendLe<2>(header, WAVE_FORMAT_PCM);
    vlscom::appendLe<2>(header, format.nChannels);
    vlscom::appendLe<4>(header, format.nSamplesPerSec);
    vlscom::appendLe<4>(header, format.nAvgBytesPerSec);
    vlscom::appendLe<2>(header, format.nBlockAlign);
    vlscom::appendLe<2>(header, format.wBitsPerSample);
    id("data");
    vlscom::appendLe<4>(header, dataBytes);
    return header;
}

struct Interrupted { };

// Closes a descriptor that this command opened.
struct OwnDescriptor {
    int fd = -1;

    OwnDescriptor() = default;
    OwnDescriptor(const OwnDescriptor&) = delete;
    OwnDescriptor& operator=(const OwnDescriptor&) = delete;
    ~OwnDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Writes the WAV file under a temporary name and puts it in place once complete; a device or a
// pipe is written as it is. Throws ComponentError (the control's message, kNoAudioDecoded or a
// system error text), Interrupted on SIGINT or SIGTERM.
void decodeTo(IVlsAudioDecoder* decoder, const std::string& outPath, std::int32_t startSecond,
    const InterruptRequest& interrupt)
{
    WAVEFORMATEX format {};
    check(decoder->get_Format(&format));
    std::int32_t duration = 0;
    check(decoder->get_Duration(&duration));
    const double expectedBytes = static_cast<double>(duration - startSecond) * format.nAvgBytesPerSec;
    vlscom::ReplacementFile output;
    audiotools::createOutput(output, outPath);
    OwnDescriptor device;
    if (output.direct()) {
        device.fd = ::open(outPath.c_str(), O_WRONLY | O_CLOEXEC);
        if (device.fd < 0)
            throw ComponentError(outPath + ": " + std::strerror(errno));
    }
    const int fd = output.direct() ? device.fd : output.descriptor();
    const auto fail = [&](int error) { return ComponentError(outPath + ": " + std::strerror(error)); };
    // A pipe cannot have its header completed: its sizes say "up to the end".
    const bool seekable = ::lseek(fd, 0, SEEK_CUR) >= 0;
    if (const int error = vlscom::writeAll(fd, waveHeader(format, seekable ? 0 : kUnknownLength).data(), 44))
        throw fail(error);
    ProgressBar progress;
    std::uint64_t total = 0;
    std::uint64_t startedWriteback = 0;
    std::vector<std::uint8_t> buffer(65536);
    for (;;) {
        if (interrupt.requested())
            throw Interrupted();
        std::int32_t got = 0;
        check(decoder->Read(buffer.data(), static_cast<std::int32_t>(buffer.size()), &got));
        if (got <= 0)
            break;
        if (total + static_cast<std::uint64_t>(got) >= kUnknownLength - 44)
            throw ComponentError(outPath + ": too long for a WAV file");
        if (const int error = vlscom::writeAll(fd, buffer.data(), static_cast<std::size_t>(got)))
            throw fail(error);
        total += static_cast<std::uint64_t>(got);
        // Hands what was written to the disk as it goes, while decoding goes on, so that the final
        // flush has little left to wait for. Only a hint: a pipe or a device refuses it.
        if (total - startedWriteback >= kWritebackStep) {
            ::sync_file_range(fd, static_cast<off_t>(44 + startedWriteback),
                static_cast<off_t>(total - startedWriteback), SYNC_FILE_RANGE_WRITE);
            startedWriteback = total;
        }
        if (expectedBytes > 0)
            progress.update(99.0 * static_cast<double>(total) / expectedBytes);
    }
    if (total == 0)
        throw ComponentError(audiotools::kNoAudioDecoded);
    const std::uint8_t pad = 0;
    if (const int error = (total & 1) ? vlscom::writeAll(fd, &pad, 1) : 0)
        throw fail(error);
    if (seekable) {
        const auto header = waveHeader(format, static_cast<std::uint32_t>(total));
        if (::pwrite(fd, header.data(), header.size(), 0) != static_cast<ssize_t>(header.size()))
            throw fail(errno);
    }
    if (device.fd >= 0 && ::close(std::exchange(device.fd, -1)) != 0)
        throw fail(errno);
    audiotools::commitOutput(output);
    progress.update(100);
    progress.finish();
}

int runDecode(const Options& options)
{
    if (options.positionals().size() != 2)
        throw options.error("expects an MP3 file and an output WAV file");
    const std::int32_t channels = options.wholeNumber("--channels").value_or(0);
    const std::int32_t rate = options.wholeNumber("--rate").value_or(0);
    const std::int32_t bits = options.wholeNumber("--bits").value_or(0);
    const std::int32_t seek = options.wholeNumber("--seek").value_or(0);
    const std::string& inPath = options.positionals()[0];
    const std::string& outPath = options.positionals()[1];
    if (audiotools::sameFile(inPath, outPath))
        throw options.error("the output file is the input file");
    const InterruptRequest interrupt;
    try {
        const auto decoder = openDecoder(inPath);
        if (channels || rate || bits)
            check(decoder->SetOutputFormat(channels, rate, bits));
        if (options.has("--seek"))
            check(decoder->Seek(seek));
        decodeTo(decoder.get(), outPath, seek, interrupt);
        check(decoder->Close());
        return kExitSuccess;
    } catch (const ComponentError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return kExitFailure;
    } catch (const Interrupted&) {
        std::fputs("tmbr decode: interrupted\n", stderr);
        return kExitInterrupted;
    }
}

} // namespace

} // namespace tmbr::cli
