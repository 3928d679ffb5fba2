#include "audiotools/mp3optimizer.h"
#include "command.h"
#include "interruptrequest.h"
#include "progressbar.h"
#include "vlscom/messagequeue.h"

#include <chrono>
#include <cstdio>
#include <optional>

namespace tmbr::cli {

namespace {

using namespace tmbr::audiotools;

int runOptimize(const Options& options);

} // namespace

const CommandDeclaration kOptimizeCommand = {
    .name = "optimize",
    .summary = "re-encode an MP3 or WAV file at a constant bit rate for streaming",
    .usage = "Usage: tmbr optimize IN OUT.mp3 [--bitrate KBPS] [--rate 11025|22050|44100] [--stereo]\n",
    .description
    = "Re-encodes an MP3 or WAV file into an MP3 file at a constant bit rate, as the desktop\n"
      "program's MP3 optimizer does. An input whose name ends in \"mp3\" (lower case) goes through\n"
      "the MP3 decoder, the audio converter and the MP3 encoder, keeping its tags; any other input\n"
      "is read as a PCM WAV file by the encoder. The MP3 file is written under a temporary name\n"
      "beside OUT.mp3 and replaces an existing one once complete; it may not be the input file.\n",
    .options = {
        value("--bitrate KBPS", "constant bit rate in kbit/s (default: 56)", wholeNumber(1, 320)),
        value("--rate HZ", "sample rate of the MP3 file: 11025, 22050 or 44100 (default: 22050)", wholeNumber(11025, 44100, { 11025, 22050, 44100 })),
        flag("--stereo", "keep two channels of an MP3 input (default: mono; a WAV input keeps\n"
                    "its channels)"),
    },
    .positionals = true,
    .helpColumn = 18,
    .listsHelpOption = false,
    .notes = "On success prints \"MP3 FILE CONVERTED AS - OUT.mp3\" (MP3 input) or\n"
             "\"MP3 FILE GENERATED AS - OUT.mp3\" (WAV input). On failure prints the error in upper case\n"
             "and \""
             "FATAL ERROR ENCOUNTERED. PROBABLY BAD SOURCE FILE. APPLICATION ABORTED!"
             "\" on\n"
             "standard error and exits 1 (also when an MP3 input gives no audio at all). On a terminal, a\n"
             "progress bar shows on standard error. SIGINT or SIGTERM stops the run and exits 130. A failed\n"
             "or stopped run leaves an existing OUT.mp3 as it was.\n",
    .run = runOptimize,
};

namespace {

// Follows one run to its end.
class CommandListener final : public IOptimizerListener {
public:
    void started() override { m_bar.update(0); }
    void progress(int percent) override { m_bar.update(percent); }
    void finished(OptimizerRoute route) override
    {
        m_route = route;
        m_done = true;
    }
    void failed(const std::string& errorText) override
    {
        m_error = errorText;
        m_done = true;
    }

    bool done() const { return m_done; }
    const std::optional<std::string>& error() const { return m_error; }
    OptimizerRoute route() const { return m_route; }
    void finishBar() { m_bar.finish(); }

private:
    ProgressBar m_bar;
    bool m_done = false;
    std::optional<std::string> m_error;
    OptimizerRoute m_route = OptimizerRoute::Mp3;
};

int reportFailure(const std::string& errorText)
{
    std::fprintf(stderr, "%s\n", failedMessage(errorText).c_str());
    return kExitFailure;
}

int runOptimize(const Options& options)
{
    if (options.positionals().size() != 2)
        throw options.error("expects an input file and an output MP3 file");
    OptimizerSettings settings;
    settings.inputPath = options.positionals()[0];
    settings.outputPath = options.positionals()[1];
    if (const auto bitrate = options.wholeNumber("--bitrate"))
        settings.bitrate = *bitrate * 1000;
    if (const auto rate = options.wholeNumber("--rate"))
        settings.sampleRate = *rate;
    settings.mono = !options.has("--stereo");
    if (sameFile(settings.inputPath, mp3OutputName(settings.outputPath)))
        throw options.error("the output file is the input file");

    CommandListener listener;
    const InterruptRequest interrupt;
    try {
        // Destroying the optimizer stops a run still going on and removes its temporary file.
        Mp3Optimizer optimizer(listener);
        optimizer.convert(settings);
        while (!listener.done() && !interrupt.requested()) {
            vlscom::WaitMessage(std::chrono::milliseconds(200));
            vlscom::PumpMessages();
        }
    } catch (const ComponentError& error) {
        listener.finishBar();
        return reportFailure(error.what());
    }
    listener.finishBar();
    if (!listener.done()) {
        std::fputs("tmbr optimize: interrupted\n", stderr);
        return kExitInterrupted;
    }
    if (listener.error())
        return reportFailure(*listener.error());
    std::printf("%s\n", finishedMessage(listener.route(), settings.outputPath).c_str());
    return kExitSuccess;
}

} // namespace

} // namespace tmbr::cli
