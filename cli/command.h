#pragma once

#include "options.h"

namespace tmbr::cli {

// Exit codes of every command.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1; // the operation failed (file error, component error)
inline constexpr int kExitUsage = 2; // bad arguments or input rejected before any work
inline constexpr int kExitInterrupted = 130; // stopped by SIGINT or SIGTERM, unfinished output removed

// The subcommands of tmbr, in the order "tmbr --help" lists them.
extern const CommandSpec kButtonCommand;
extern const CommandSpec kJukeboxCommand;
extern const CommandSpec kInfoCommand;
extern const CommandSpec kDecodeCommand;
extern const CommandSpec kEncodeCommand;
extern const CommandSpec kOptimizeCommand;

} // namespace tmbr::cli
