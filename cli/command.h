#pragma once

#include <string>
#include <vector>

namespace tmbr::cli {

// Exit codes of every command.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1; // the operation failed (file error, component error)
inline constexpr int kExitUsage = 2; // bad arguments or input rejected before any work
inline constexpr int kExitInterrupted = 130; // stopped by SIGINT or SIGTERM, unfinished output removed

// One subcommand of tmbr. `run` receives the arguments after the command name
// and returns the exit code; it reports on standard output and standard error.
struct Command {
    const char* name;
    const char* summary; // one line for "tmbr --help"
    int (*run)(const std::vector<std::string>& args);
};

int runButtonCommand(const std::vector<std::string>& args);
int runJukeboxCommand(const std::vector<std::string>& args);
int runInfoCommand(const std::vector<std::string>& args);
int runDecodeCommand(const std::vector<std::string>& args);
int runEncodeCommand(const std::vector<std::string>& args);
int runOptimizeCommand(const std::vector<std::string>& args);

} // namespace tmbr::cli
