#pragma once

// The class registry: two REGEDIT4 files. The user's, at $VLSCOM_REGISTRY, else
// $XDG_DATA_HOME/vlscom/classes.reg, else ~/.local/share/vlscom/classes.reg, is the one that
// registration writes. The machine's, shipped with the installation (share/vlscom/classes.reg
// beside the runtime library's lib folder, or $VLSCOM_SYSTEM_REGISTRY), is read after it: a key in
// the user's file hides the machine's key of the same path. A server path in the machine's file
// may be relative to that file's folder, so that an installed tree can be moved.
//
// Readers take no lock: writers never change the file in place. A writer holds an exclusive lock
// on "<file>.lock" beside it, reads the current file, writes the new text to a temporary file
// created exclusively beside it (ReplacementFile), flushes it to disk and renames it over the file, so that a
// crash or a second process never leaves a torn or half-merged registry.
//
// Failures set the calling thread's error information (source "vlscom") with a description that
// names the file, and the line for a malformed one.

#include "registrykey.h"
#include "types.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace vlscom {

std::string registryPath();
std::string systemRegistryPath();

// Loads the registry into root (left empty when the file does not exist yet). REGDB_E_READREGDB
// for a malformed file, the system error (0x8007xxxx) when it cannot be read.
HRESULT loadRegistry(RegistryKey& root);

// Reads a string value from the user's registry, or when it lacks the key, from the machine's.
// keyPath: names below HKEY_CLASSES_ROOT joined by '\'; name "" is the default value. S_OK with
// data, S_FALSE when the key or value does not exist, or a load failure. machineFolder, when given,
// receives the machine's registry folder when the value came from there, else "".
HRESULT readRegistryValue(
    std::string_view keyPath, std::string_view name, std::string& data, std::string* machineFolder = nullptr);

// Runs change on the current registry under the writers' lock and stores the result. Nothing is
// written when change fails (its status is returned) or leaves the text as it was.
HRESULT updateRegistry(const std::function<HRESULT(RegistryKey&)>& change);

enum class ScriptAction { Register, Unregister };

// Registration scripts are REGEDIT4 text (key deletions allowed) in which %MODULE% stands for the
// server's path. The path is escaped for a quoted value; E_INVALIDARG for a path with control
// characters, which the text form cannot hold.
HRESULT expandRegistryScript(std::string_view script, std::string_view modulePath, std::string& expanded);

// Registers or unregisters the expanded scripts in one registry update (importRegEdit or
// unimportRegEdit). E_UNEXPECTED for a malformed script.
HRESULT applyRegistryScripts(std::span<const std::string> scripts, ScriptAction action);

} // namespace vlscom
