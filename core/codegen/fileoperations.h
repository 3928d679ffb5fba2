#pragma once

#include <string>
#include <string_view>

namespace tmbr::codegen {

// File operations of the generators. Every failure throws GenerationError with
// the run-time error number of the errno and a description naming the path.
//
// Writes and copies never leave a half-written file under the target name:
// the bytes go to a hidden temporary file in the target's folder, which is
// flushed to disk and then renamed over the target. An existing target is
// replaced; after a failure it is unchanged and no temporary file remains.

// Creates or replaces `path` with exactly `bytes`.
void writeFile(const std::string& path, std::string_view bytes);

// Copies the regular file `source` to `target`, replacing `target`. Copying a
// file onto itself leaves it intact.
void copyFile(const std::string& source, const std::string& target);

// Deletes every regular file directly in `folder` whose name matches the
// wildcard `pattern` ("*" any run of characters, "?" one byte; case counts).
// Returns the number of files deleted. A missing folder throws (error 76).
int deleteMatching(const std::string& folder, const std::string& pattern);

// Creates `folder` and its missing parents.
void ensureFolder(const std::string& folder);

// True when `path` names an existing regular file (symbolic links followed).
bool isRegularFile(const std::string& path);
// True when `path` names an existing folder (symbolic links followed).
bool isFolder(const std::string& path);

} // namespace tmbr::codegen
