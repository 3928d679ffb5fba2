#include "codewindowlogic.h"

#include "messages.h"
#include "vlscom/replacementfile.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tmbr::gui {

CodeWindowLogic::CodeWindowLogic(std::string code, std::string instructions, codegen::AppFolders folders,
    Platform& platform, std::string outputFolder, ITestPageServer* server)
    : m_code(std::move(code))
    , m_instructions(std::move(instructions))
    , m_folders(std::move(folders))
    , m_platform(platform)
    , m_outputFolder(std::move(outputFolder))
    , m_server(server)
{
}

void CodeWindowLogic::cmdGrabCodeClick()
{
    m_platform.clipboard.setText(m_code);
    showMessage(m_platform.messageBox, text::kGrabbedCode);
}

void CodeWindowLogic::cmdTestClick()
{
    const std::string page = "do-not-upload.html";
    const std::string address = m_server ? m_server->serve(m_folders.scratch, m_outputFolder) : std::string();
    const std::string target = address.empty() ? m_folders.scratch + page : address + page;
    if (!m_platform.shell.open(target))
        showWarning(m_platform.messageBox, text::kNoBrowserPrefix + target);
}

void CodeWindowLogic::cmdSaveCodeInstClick()
{
    const std::vector<std::string> chosen = m_platform.fileDialogs.run(
        { FileDialogMode::Save, text::kSaveAsTextFile, text::kTextFilter, text::kTextPattern, {} });
    if (chosen.empty() || chosen.front().empty())
        return;
    const std::string& file = chosen.front();
    if (!replaceFileContent(file, codegen::savedCodeText(m_code, m_instructions)))
        return;
    showMessage(m_platform.messageBox, text::kSavedAsPrefix + file);
}

namespace {

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file that a write through `path` reaches: symbolic links followed, the
// last one possibly dangling. Empty when the chain does not end.
std::string linkTarget(std::string path)
{
    for (int depth = 0; depth < 40; ++depth) {
        struct stat status { };
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return path;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<std::size_t>(length) >= target.size())
            return {};
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : folderOf(path).append(target);
    }
    return {};
}

// The old way, for a file whose folder does not let us create the temporary:
// truncated and written in place.
bool overwriteInPlace(const std::string& path, const std::string& content)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = vlscom::writeAll(fd, content.data(), content.size()) == 0;
    return (::close(fd) == 0) && ok;
}

} // namespace

bool replaceFileContent(const std::string& path, const std::string& content)
{
    const std::string target = linkTarget(path);
    if (target.empty())
        return false;
    struct stat existing { };
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT)
        return false;
    // A folder, a device or a pipe is never replaced by a regular file, and a
    // file that its owner made read-only is not replaced behind its back.
    if (exists
        && (!S_ISREG(existing.st_mode) || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0))
        return false;

    // A new file gets 0666 less the umask as any new file; a replaced one
    // keeps its owner and mode below, and is private until then.
    vlscom::ReplacementFile::Options options;
    options.keepMode = false;
    options.newMode = exists ? 0600 : 0666;
    vlscom::ReplacementFile file;
    if (const int error = file.create(target, ".tmp", options)) {
        const bool folderLocked = error == EACCES || error == EPERM;
        return exists && folderLocked && overwriteInPlace(target, content);
    }
    const int fd = file.descriptor();
    bool ok = true;
    if (exists) {
        // Root gives the file back to its owner; where that is not allowed the
        // file becomes the saver's, as a new file would.
        if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())
            static_cast<void>(::fchown(fd, existing.st_uid, existing.st_gid));
        ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    }
    ok = ok && vlscom::writeAll(fd, content.data(), content.size()) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = ok && file.commit() == 0;
    return ok;
}

} // namespace tmbr::gui
