#pragma once

#include "options.h"

namespace tmbr::cli {

// Exit codes of every command.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1; // the operation failed (file error, component error)
inline constexpr int kExitUsage = 2; // bad arguments or input rejected before any work
inline constexpr int kExitInterrupted = 130; // stopped by SIGINT or SIGTERM, unfinished output removed

// The subcommands of tmbr, in the order "tmbr --help" lists them.
extern const CommandDeclaration kButtonCommand;
extern const CommandDeclaration kJukeboxCommand;
extern const CommandDeclaration kInfoCommand;
extern const CommandDeclaration kDecodeCommand;
extern const CommandDeclaration kEncodeCommand;
extern const CommandDeclaration kOptimizeCommand;

} // namespace tmbr::cli
