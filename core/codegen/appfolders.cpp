#include "appfolders.h"

#include "fileoperations.h"
#include "generationerror.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace tmbr::codegen {

namespace {

std::string withSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string homeFolder()
{
    std::string home = environment("HOME");
    if (home.empty()) {
        if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
            home = entry->pw_dir;
    }
    return home;
}

std::string asciiLowerCase(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Alphabetical order, letter case aside; names equal but for case keep a
// fixed byte order.
bool byName(const std::string& a, const std::string& b)
{
    const std::string foldedA = asciiLowerCase(a);
    const std::string foldedB = asciiLowerCase(b);
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

} // namespace

AppFolders locateAppFolders(const std::string& executablePath)
{
    AppFolders folders;
    if (const std::string app = environment("TMBRSA_APP_DIR"); !app.empty()) {
        folders.app = withSlash(app);
    } else {
        std::error_code error;
        std::filesystem::path exe = std::filesystem::weakly_canonical(executablePath, error);
        if (error)
            exe = std::filesystem::absolute(executablePath);
        folders.app = withSlash((exe.parent_path() / ".." / "share" / "tmbrsa").lexically_normal().string());
    }

    // Relative cache paths are invalid and ignored.
    std::string cache = environment("XDG_CACHE_HOME");
    if (cache.empty() || cache.front() != '/')
        cache = withSlash(homeFolder()) + ".cache";
    folders.scratch = withSlash(cache) + "tmbrsa/temp/";
    ensureFolder(folders.scratch);
    return folders;
}

std::vector<std::string> listPlayers(const std::string& templateFolder)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(templateFolder.c_str()), &::closedir);
    if (!dir) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw GenerationError::pathNotFound(templateFolder);
        throw GenerationError::fromErrno(errno, templateFolder);
    }
    const std::string prefix = withSlash(templateFolder);
    std::vector<std::string> players;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name.size() > 4 && asciiLowerCase(name.substr(name.size() - 4)) == ".swf"
            && isRegularFile(prefix + name))
            players.push_back(name.substr(0, name.size() - 4));
    }
    std::sort(players.begin(), players.end(), byName);
    return players;
}

ScratchCleanup cleanScratchFolder(const std::string& scratchFolder)
{
    const std::string prefix = withSlash(scratchFolder);
    if (!isRegularFile(prefix + "do-not-upload.html"))
        return ScratchCleanup::LeftAlone;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(prefix.c_str()), &::closedir);
    if (!dir)
        throw GenerationError::fromErrno(errno, prefix);
    std::vector<std::string> files;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && !isFolder(prefix + name))
            files.push_back(prefix + name);
    }
    bool denied = false;
    for (const std::string& file : files) {
        if (::unlink(file.c_str()) == 0 || errno == ENOENT)
            continue;
        if (errno == EACCES || errno == EPERM || errno == EBUSY)
            denied = true;
        else
            throw GenerationError::fromErrno(errno, file);
    }
    return denied ? ScratchCleanup::PermissionDenied : ScratchCleanup::Emptied;
}

} // namespace tmbr::codegen
