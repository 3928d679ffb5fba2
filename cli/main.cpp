#include "codegen/generationerror.h"
#include "command.h"
#include "options.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

using tmbr::cli::Command;

const Command kCommands[] = {
    { "button", "generate a single play button for one MP3 file", tmbr::cli::runButtonCommand },
    { "jukebox", "generate a multitrack jukebox for a set of MP3 files", tmbr::cli::runJukeboxCommand },
    { "info", "print an MP3 file's format, bit rate, duration and tags", tmbr::cli::runInfoCommand },
    { "decode", "decode an MP3 file to a PCM WAV file", tmbr::cli::runDecodeCommand },
    { "encode", "encode a PCM WAV file into an MP3 file", tmbr::cli::runEncodeCommand },
    { "optimize", "re-encode an MP3 or WAV file at a constant bit rate for streaming",
        tmbr::cli::runOptimizeCommand },
};

std::string usage()
{
    std::string text = "Usage: tmbr COMMAND [OPTIONS]\n"
                       "\n"
                       "Web player code and audio tools of Tambrel Streaming Audio.\n"
                       "\n"
                       "Commands:\n";
    for (const Command& command : kCommands) {
        std::string name = command.name;
        name.resize(10, ' ');
        text += "  " + name + " " + command.summary + "\n";
    }
    text += "\n"
            "Options:\n"
            "  -h, --help   show this help; 'tmbr COMMAND --help' documents a command\n"
            "\n"
            "Exit status: 0 success, 1 failure, 2 bad arguments or refused input.\n";
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(usage().c_str(), stderr);
        return tmbr::cli::kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::fputs(usage().c_str(), stdout);
        return tmbr::cli::kExitSuccess;
    }
    for (const Command& command : kCommands) {
        if (args[0] != command.name)
            continue;
        try {
            return command.run(std::vector<std::string>(args.begin() + 1, args.end()));
        } catch (const tmbr::cli::UsageError& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return tmbr::cli::kExitUsage;
        } catch (const tmbr::codegen::GenerationError& error) {
            std::fprintf(stderr, "%s\n",
                tmbr::codegen::standardErrorText(error.number(), error.description()).c_str());
            return tmbr::cli::kExitFailure;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "tmbr %s: %s\n", command.name, error.what());
            return tmbr::cli::kExitFailure;
        }
    }
    std::fprintf(stderr, "tmbr: unknown command '%s' (see 'tmbr --help')\n", args[0].c_str());
    return tmbr::cli::kExitUsage;
}
