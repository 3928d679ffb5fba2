#pragma once

#include "codegen/codetype.h"
#include "codegen/generators.h"
#include "options.h"

#include <string>

namespace tmbr::cli {

// Arguments and outcome shared by "tmbr button" and "tmbr jukebox".

// What the help of both says after the options.
inline constexpr char kGeneratorNotes[]
    = "Exit status: 0 generated; 1 a file operation failed (files written before stay);\n"
      "2 bad arguments or input refused (nothing written).\n"
      "Folders: TMBRSA_APP_DIR overrides the application folder; the scratch folder is\n"
      "$XDG_CACHE_HOME/tmbrsa/temp/.\n";

// "--code-type TYPE", read by parseCodeType.
OptionDeclaration codeTypeOption();

// The application folder (TMBRSA_APP_DIR, else beside this executable) and
// the scratch folder (under XDG_CACHE_HOME), created when missing. Throws
// GenerationError.
codegen::AppFolders applicationFolders();

// "js1", "js2" or "embed".
codegen::CodeType parseCodeType(const Options& options, const std::string& text);

// "0x" + six hex digits, returned with upper-case digits as the colour dialog
// writes them.
std::string parseColour(const Options& options, const std::string& text);

// `path` made absolute against the working folder and lexically normalised
// ("." and ".." parts resolved), so that equal folders compare equal as text.
std::string absolutePath(const std::string& path);

// Refuses a player that the template folder does not list. Throws
// GenerationError when the folder cannot be read.
void requirePlayer(const Options& options, const std::string& templateFolder, const std::string& name);

// The outcome of a run: the saved-code text on standard output (exit 0), a
// validation message (exit 2) or the standard error text (exit 1) on standard
// error.
int reportGeneration(const codegen::GenerationResult& result);

} // namespace tmbr::cli
