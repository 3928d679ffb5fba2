#pragma once

// A file written for a user that takes the place of its target only once it is complete.
//
// The bytes go to a temporary file created exclusively in the target's folder, named
// "." + the target's name + "." + six random letters or digits + a suffix (".song.mp3.k3Xq9Z.mp3"),
// which commit() renames over the target: a failure, a signal or a kill leaves the target as it
// was, and never a partial file under its name. A symbolic link to a regular file is followed: the
// file it names is replaced and the link stays. An existing target that is neither a regular file
// nor a folder (a device, a pipe, a socket) cannot be replaced by a rename: it is written in place
// (direct()), and neither commit() nor discard() ever removes it. Writers with other needs say so
// in Options.

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace vlscom {

class ReplacementFile {
public:
    ReplacementFile() = default;
    // discard() unless committed.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    struct Options {
        // A symbolic link is followed (the file it names is replaced, the link stays); otherwise
        // the link itself is replaced by the new file.
        bool followLinks = true;
        // An existing device, pipe or socket is written in place (direct()); otherwise it is
        // replaced by the new file like any other.
        bool inPlaceWhenSpecial = true;
        // The temporary file has the permission bits of the file it replaces, from its creation
        // and again at commit(); otherwise it has newMode less the umask, or what the writer sets.
        bool keepMode = true;
        // The permission bits a new file is created with, less the umask.
        mode_t newMode = 0666;
        // The descriptor is open for reading too.
        bool readable = false;
        // commit() flushes the folder as well, so that the rename itself reaches the disk.
        bool syncFolder = false;
    };

    // Sets up the replacement of `target` (a UTF-8 path), after discarding an earlier one. Returns 0
    // or the errno value: EISDIR for a folder, the system's reason when the temporary file cannot
    // be created (a missing or read-only folder).
    int create(const std::string& target, std::string_view suffix = {});
    int create(const std::string& target, std::string_view suffix, const Options& options);

    // Where the bytes go: the temporary file, or the target itself when direct(). Empty when
    // nothing is set up, and after commit() or discard().
    const std::string& path() const { return m_path; }
    // The file that commit() replaces (links followed); the target as given when direct(). Kept
    // after commit() and discard(), for their reports.
    const std::string& target() const { return m_target; }
    bool direct() const { return m_direct; }
    // Open for writing on the temporary file, owned by this object until commit() or discard();
    // -1 when direct() (the writer opens path() itself, without O_CREAT).
    int descriptor() const { return m_fd; }

    // Closes the descriptor, flushes the temporary file to disk, gives it the permission bits of
    // the file it replaces (a new file keeps those of the umask) and renames it over the target.
    // Returns 0 or the errno value; after a failure the temporary file is gone and the target is
    // as it was. Nothing to do when direct().
    int commit();
    // Closes the descriptor and removes the temporary file (only a regular file, never the target
    // of a direct() replacement). Quiet when nothing is set up.
    void discard();

private:
    std::string m_path;
    std::string m_target;
    int m_fd = -1;
    Options m_options;
    bool m_direct = false;
    bool m_pending = false; // a temporary file of ours exists at m_path
};

// Writes all size bytes to fd, continuing after short writes and interrupted calls. Returns 0 or the
// errno value of the failure.
int writeAll(int fd, const void* data, std::size_t size);

} // namespace vlscom
