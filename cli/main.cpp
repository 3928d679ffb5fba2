#include "codegen/generationerror.h"
#include "command.h"
#include "options.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

using tmbr::cli::CommandDeclaration;

// Addresses of the commands' declarations, fixed before any initialiser runs.
// NOLINTNEXTLINE(cppcoreguidelines-interfaces-global-init)
const CommandDeclaration* const kCommands[] = {
    &tmbr::cli::kButtonCommand,
    &tmbr::cli::kJukeboxCommand,
    &tmbr::cli::kInfoCommand,
    &tmbr::cli::kDecodeCommand,
    &tmbr::cli::kEncodeCommand,
    &tmbr::cli::kOptimizeCommand,
};

std::string usage()
{
    std::string text = "Usage: tmbr COMMAND [OPTIONS]\n"
                       "\n"
                       "Web player code and audio tools of Tambrel Streaming Audio.\n"
                       "\n"
                       "Commands:\n";
    for (const CommandDeclaration* command : kCommands) {
        std::string name = command->name;
        name.resize(10, ' ');
        text += "  " + name + " " + command->summary + "\n";
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
    for (const CommandDeclaration* command : kCommands) {
        if (args[0] != command->name)
            continue;
        try {
            return tmbr::cli::runCommand(*command, std::vector<std::string>(args.begin() + 1, args.end()));
        } catch (const tmbr::cli::UsageError& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return tmbr::cli::kExitUsage;
        } catch (const tmbr::codegen::GenerationError& error) {
            std::fprintf(stderr, "%s\n",
                tmbr::codegen::standardErrorText(error.number(), error.description()).c_str());
            return tmbr::cli::kExitFailure;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s: %s\n", command->commandLine().c_str(), error.what());
            return tmbr::cli::kExitFailure;
        }
    }
    std::fprintf(stderr, "tmbr: unknown command '%s' (see 'tmbr --help')\n", args[0].c_str());
    return tmbr::cli::kExitUsage;
}
