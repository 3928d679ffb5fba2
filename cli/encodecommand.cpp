#include "audiotools/encoderclient.h"
#include "audiotools/outputfile.h"
#include "command.h"
#include "interruptrequest.h"
#include "options.h"
#include "progressbar.h"
#include "vlscom/messagequeue.h"
#include "vlscom/replacementfile.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace tmbr::cli {

namespace {

using audiotools::ComponentError;
using audiotools::EncoderClient;
using audiotools::TagField;

const char kEncodeHelp[]
    = "Usage: tmbr encode IN.wav OUT.mp3 [--cbr BPS | --abr BPS | --vbr Q] [--resample HZ]\n"
      "                   [--title T] [--artist A] [--album B] [--year Y] [--genre G]\n"
      "                   [--track N] [--comment C] [--sync]\n"
      "\n"
      "Encodes a PCM WAV file into an MP3 file through the MP3 encoder control. An existing\n"
      "OUT.mp3 is replaced; \".mp3\" is added to a name that does not end in it.\n"
      "\n"
      "Options:\n"
      "  --cbr BPS      constant bit rate in bit/s: 8000, 16000, 24000, 32000, 40000, 48000,\n"
      "                 56000, 64000, 80000, 96000, 112000, 128000, 144000, 160000, 192000,\n"
      "                 224000, 256000 or 320000\n"
      "  --abr BPS      average bit rate in bit/s, 80000 to 320000\n"
      "  --vbr Q        variable bit rate of quality Q, 0 (smallest) to 1 (best);\n"
      "                 without any of the three: --vbr 0.5\n"
      "  --resample HZ  sample rate of the MP3 file (default: the encoder chooses)\n"
      "  --title T, --artist A, --album B, --year Y, --genre G, --track N, --comment C\n"
      "                 tag fields written into the file (ID3v2 and ID3v1)\n"
      "  --sync         encode on this thread, without progress events\n"
      "\n"
      "WAV files of 8000 to 12000 Hz are raised to four times, of 16000 to 24000 Hz to twice their\n"
      "rate before encoding. The MP3 file is written under a temporary name beside OUT.mp3 and\n"
      "takes its place once complete. A failed run prints the control's message and exits 1; the\n"
      "output may not be the input file. On a terminal, a progress bar shows on standard error.\n"
      "Without --sync, SIGINT or SIGTERM stops the encoding and exits 130. A failed or stopped run\n"
      "leaves an existing OUT.mp3 as it was.\n";

std::int32_t wholeNumber(const Options& options, const std::string& name)
{
    const std::string text = options.value(name);
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0' || value < 0 || value > 0x7FFFFFFF)
        throw options.error(name + " expects a whole number");
    return static_cast<std::int32_t>(value);
}

float quality(const Options& options)
{
    const std::string text = options.value("--vbr");
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value))
        throw options.error("--vbr expects a number from 0 to 1");
    return value;
}

struct Interrupted { };

// Runs EncodeFromWave and dispatches the control's events until the run has ended. Throws
// ComponentError with the first error the control reported, Interrupted on SIGINT or SIGTERM (the
// run still going on: only destroying the control stops it).
void encodeWithEvents(EncoderClient& encoder, const std::string& wavePath, const InterruptRequest& interrupt)
{
    ProgressBar bar;
    std::optional<std::string> error;
    bool started = false;
    bool done = false;
    encoder.setHandlers({
        .OnError =
            [&](const std::string& text) {
                if (!error)
                    error = text;
                // Refused before the start: no other event follows.
                if (!started)
                    done = true;
            },
        .OnWaveEncodeStart =
            [&] {
                started = true;
                bar.update(0);
            },
        .OnWaveEncodeProgress = [&](int percent) { bar.update(percent); },
        .OnWaveEncodeFinish = [&] { done = true; },
    });
    // The handlers refer to this frame: no event may reach them once it is left.
    struct ClearHandlers {
        EncoderClient& encoder;
        ~ClearHandlers() { encoder.setHandlers({}); }
    } clearHandlers { encoder };
    encoder.EncodeFromWave(wavePath);
    while (!done && !interrupt.requested()) {
        vlscom::WaitMessage(std::chrono::milliseconds(200));
        vlscom::PumpMessages();
    }
    if (!done)
        throw Interrupted();
    bar.finish();
    if (error)
        throw ComponentError(*error);
}

} // namespace

int runEncodeCommand(const std::vector<std::string>& args)
{
    Options options("tmbr encode");
    options.allowPositionals();
    options.add("--cbr", Options::Kind::Value)
        .add("--abr", Options::Kind::Value)
        .add("--vbr", Options::Kind::Value)
        .add("--resample", Options::Kind::Value)
        .add("--title", Options::Kind::Value)
        .add("--artist", Options::Kind::Value)
        .add("--album", Options::Kind::Value)
        .add("--year", Options::Kind::Value)
        .add("--genre", Options::Kind::Value)
        .add("--track", Options::Kind::Value)
        .add("--comment", Options::Kind::Value)
        .add("--sync", Options::Kind::Flag);
    options.parse(args);
    if (options.helpRequested()) {
        std::fputs(kEncodeHelp, stdout);
        return kExitSuccess;
    }
    if (options.positionals().size() != 2)
        throw options.error("expects a WAV file and an output MP3 file");
    if (options.has("--cbr") + options.has("--abr") + options.has("--vbr") > 1)
        throw options.error("--cbr, --abr and --vbr exclude each other");
    const std::int32_t cbr = options.has("--cbr") ? wholeNumber(options, "--cbr") : 0;
    const std::int32_t abr = options.has("--abr") ? wholeNumber(options, "--abr") : 0;
    const float vbr = options.has("--vbr") ? quality(options) : 0.0F;
    const std::int32_t resample = options.has("--resample") ? wholeNumber(options, "--resample") : 0;
    const std::string& wavePath = options.positionals()[0];
    const std::pair<const char*, TagField> tagOptions[] = {
        { "--title", TagField::Title },
        { "--artist", TagField::Artist },
        { "--album", TagField::Album },
        { "--year", TagField::Year },
        { "--genre", TagField::Genre },
        { "--track", TagField::TrackNo },
        { "--comment", TagField::Comment },
    };

    if (audiotools::sameFile(wavePath, audiotools::mp3OutputName(options.positionals()[1])))
        throw options.error("the output file is the input file");

    // Only the asynchronous form can be stopped; the synchronous one keeps the default handling.
    std::optional<InterruptRequest> interrupt;
    if (!options.has("--sync"))
        interrupt.emplace();
    // Outlives the control, which closes the temporary file when it goes.
    vlscom::ReplacementFile output;
    try {
        EncoderClient encoder;
        encoder.setOverwritePrompt(audiotools::Setting::Off);
        audiotools::openEncoderOutput(encoder, options.positionals()[1], output);
        try {
            if (options.has("--cbr"))
                encoder.SetOutputFormatCBR(cbr);
            else if (options.has("--abr"))
                encoder.SetOutputFormatABR(abr);
            else if (options.has("--vbr"))
                encoder.SetOutputFormatVBR(vbr);
            if (options.has("--resample"))
                encoder.ForceEncodedSamplerate(resample);
            for (const auto& [name, field] : tagOptions) {
                if (options.has(name))
                    encoder.setTag(field, options.value(name));
            }
            if (options.has("--sync"))
                encoder.EncodeFromWaveSync(wavePath);
            else
                encodeWithEvents(encoder, wavePath, *interrupt);
            encoder.Close();
        } catch (const ComponentError&) {
            try {
                encoder.Close();
            } catch (const ComponentError&) {
                // Closed all the same; the temporary file goes with `output`.
            }
            throw;
        }
        audiotools::commitOutput(output);
        return kExitSuccess;
    } catch (const ComponentError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return kExitFailure;
    } catch (const Interrupted&) {
        std::fputs("tmbr encode: interrupted\n", stderr);
        return kExitInterrupted;
    }
}

} // namespace tmbr::cli
