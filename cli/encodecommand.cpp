#include "audiotools/encoderclient.h"
#include "audiotools/outputfile.h"
#include "command.h"
#include "interruptrequest.h"
#include "progressbar.h"
#include "vlscom/messagequeue.h"
#include "vlscom/replacementfile.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <utility>

namespace tmbr::cli {

namespace {

using audiotools::ComponentError;
using audiotools::EncoderClient;
using audiotools::TagField;

int runEncode(const Options& options);

// A bit rate or sample rate in whole units of the control.
const NumberCheck kWholeNumber = wholeNumber("a whole number");

// The tag fields, in the order the help lists them.
const std::pair<const char*, TagField> kTagOptions[] = {
    { "--title", TagField::Title },
    { "--artist", TagField::Artist },
    { "--album", TagField::Album },
    { "--year", TagField::Year },
    { "--genre", TagField::Genre },
    { "--track", TagField::TrackNo },
    { "--comment", TagField::Comment },
};

} // namespace

const CommandDeclaration kEncodeCommand = {
    .name = "encode",
    .summary = "encode a PCM WAV file into an MP3 file",
    .usage = "Usage: tmbr encode IN.wav OUT.mp3 [--cbr BPS | --abr BPS | --vbr Q] [--resample HZ]\n"
             "                   [--title T] [--artist A] [--album B] [--year Y] [--genre G]\n"
             "                   [--track N] [--comment C] [--sync]\n",
    .description
    = "Encodes a PCM WAV file into an MP3 file through the MP3 encoder control. An existing\n"
      "OUT.mp3 is replaced; \".mp3\" is added to a name that does not end in it.\n",
    .options = {
        value("--cbr BPS", "constant bit rate in bit/s: 8000, 16000, 24000, 32000, 40000, 48000,\n"
                    "56000, 64000, 80000, 96000, 112000, 128000, 144000, 160000, 192000,\n"
                    "224000, 256000 or 320000", kWholeNumber),
        value("--abr BPS", "average bit rate in bit/s, 80000 to 320000", kWholeNumber),
        value("--vbr Q", "variable bit rate of quality Q, 0 (smallest) to 1 (best);\n"
                    "without any of the three: --vbr 0.5", finiteNumber("a number from 0 to 1")),
        value("--resample HZ", "sample rate of the MP3 file (default: the encoder chooses)", kWholeNumber),
        value("--title T", ""),
        value("--artist A", ""),
        value("--album B", ""),
        value("--year Y", ""),
        value("--genre G", ""),
        value("--track N", ""),
        value("--comment C", "tag fields written into the file (ID3v2 and ID3v1)"),
        flag("--sync", "encode on this thread, without progress events"),
    },
    .positionals = true,
    .helpColumn = 17,
    .listsHelpOption = false,
    .notes = "WAV files of 8000 to 12000 Hz are raised to four times, of 16000 to 24000 Hz to twice their\n"
             "rate before encoding. The MP3 file is written under a temporary name beside OUT.mp3 and\n"
             "takes its place once complete. A failed run prints the control's message and exits 1; the\n"
             "output may not be the input file. On a terminal, a progress bar shows on standard error.\n"
             "Without --sync, SIGINT or SIGTERM stops the encoding and exits 130. A failed or stopped run\n"
             "leaves an existing OUT.mp3 as it was.\n",
    .run = runEncode,
};

namespace {

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
        explicit ClearHandlers(EncoderClient& client)
            : encoder(client)
        {
        }
        ClearHandlers(const ClearHandlers&) = delete;
        ClearHandlers& operator=(const ClearHandlers&) = delete;
        ~ClearHandlers() { encoder.setHandlers({}); }
        EncoderClient& encoder;
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

int runEncode(const Options& options)
{
    if (options.positionals().size() != 2)
        throw options.error("expects a WAV file and an output MP3 file");
    if (options.has("--cbr") + options.has("--abr") + options.has("--vbr") > 1)
        throw options.error("--cbr, --abr and --vbr exclude each other");
    const std::int32_t cbr = options.wholeNumber("--cbr").value_or(0);
    const std::int32_t abr = options.wholeNumber("--abr").value_or(0);
    const float vbr = options.finiteNumber("--vbr").value_or(0.0F);
    const std::int32_t resample = options.wholeNumber("--resample").value_or(0);
    const std::string& wavePath = options.positionals()[0];

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
            for (const auto& [name, field] : kTagOptions) {
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

} // namespace

} // namespace tmbr::cli
