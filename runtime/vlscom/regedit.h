#pragma once

// The REGEDIT4 text form of the class registry, used both for the registry file and for the
// registration scripts that servers carry:
//
//   REGEDIT4
//
//   [HKEY_CLASSES_ROOT\Some.ProgID]
//   @="Default value"
//   "Named"="Value with \"quotes\" and \\ backslashes"
//
//   [-HKEY_CLASSES_ROOT\CLSID\{...}]      (scripts only: delete the key with its subkeys)
//
// Only string values under HKEY_CLASSES_ROOT exist. Lines end in LF or CR LF; blank lines and lines
// starting with ';' are ignored. The parser takes untrusted text: every malformed line is an error
// with its line number, and key depth and name lengths are bounded.

#include "registrykey.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vlscom {

inline constexpr std::string_view registryRootName = "HKEY_CLASSES_ROOT";
inline constexpr std::size_t maxKeyDepth = 512;
inline constexpr std::size_t maxKeyNameLength = 255;
inline constexpr std::size_t maxValueNameLength = 16383;

enum class RegEditMode {
    Store, // the registry file: no deletions
    Script, // a registration script: "[-KEY]" deletes KEY
};

struct RegEditValue {
    std::string name; // "" for the default value ("@")
    std::string data;
};

struct RegEditSection {
    std::vector<std::string> path; // key names below HKEY_CLASSES_ROOT
    bool remove = false;
    std::vector<RegEditValue> values;
};

struct RegEditDocument {
    std::vector<RegEditSection> sections;
};

struct RegEditError {
    std::size_t line = 0; // 1-based
    std::string message;
};

std::optional<RegEditError> parseRegEdit(std::string_view text, RegEditMode mode, RegEditDocument& document);

// The whole tree as REGEDIT4 text: every key as a section (empty keys too), keys and values in
// case-insensitive name order, the default value first, LF line ends, a blank line between sections.
std::string formatRegEdit(const RegistryKey& root);

// "text" with backslashes and quotes escaped.
std::string quoteRegEditString(std::string_view text);

// Registration: deletions are carried out, then keys created and values set, in document order.
void importRegEdit(RegistryKey& root, const RegEditDocument& document);

// Unregistration, the inverse of importRegEdit: keys that the document deletes are deleted with
// their subkeys; every other key it names loses the values it sets (only where they still hold the
// document's data), deepest key first, and is deleted when nothing is left in it. Keys the document
// does not name (shared parents such as CLSID) are never deleted.
void unimportRegEdit(RegistryKey& root, const RegEditDocument& document);

} // namespace vlscom
