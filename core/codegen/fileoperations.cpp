#include "fileoperations.h"

#include "generationerror.h"
#include "vlscom/replacementfile.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tmbr::codegen {

namespace {

std::string parentOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// ENOENT while opening an existing file's name means the file is missing,
// unless its folder is missing too.
GenerationError openError(int error, const std::string& path)
{
    if (error == ENOENT && !isFolder(parentOf(path)))
        return GenerationError::pathNotFound(path);
    return GenerationError::fromErrno(error, path);
}

// ENOENT while creating a file means that a folder of its path is missing.
GenerationError createError(int error, const std::string& path)
{
    if (error == ENOENT)
        return GenerationError::pathNotFound(path);
    return GenerationError::fromErrno(error, path);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// A hidden file beside the target that becomes the target on commit() and
// disappears otherwise. The name itself is replaced: a link by the new file, a
// replaced file by one with the permissions of any new file.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target)
        : m_target(target)
    {
        vlscom::ReplacementFile::Options options;
        options.followLinks = false;
        options.inPlaceWhenSpecial = false;
        options.keepMode = false;
        if (const int error = m_file.create(target, ".part", options))
            throw createError(error, target);
    }

    void write(std::string_view bytes)
    {
        if (const int error = vlscom::writeAll(m_file.descriptor(), bytes.data(), bytes.size()))
            throw GenerationError::fromErrno(error, m_target);
    }

    void commit()
    {
        if (const int error = m_file.commit())
            throw GenerationError::fromErrno(error, m_target);
    }

private:
    std::string m_target;
    vlscom::ReplacementFile m_file;
};

} // namespace

void writeFile(const std::string& path, std::string_view bytes)
{
    TemporaryFile file(path);
    file.write(bytes);
    file.commit();
}

void copyFile(const std::string& source, const std::string& target)
{
    FileDescriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        throw openError(errno, source);
    struct stat info { };
    if (::fstat(in.get(), &info) != 0)
        throw GenerationError::fromErrno(errno, source);
    if (!S_ISREG(info.st_mode))
        throw GenerationError::fromErrno(S_ISDIR(info.st_mode) ? EISDIR : EINVAL, source);

    TemporaryFile out(target);
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = ::read(in.get(), buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw GenerationError::fromErrno(errno, source);
        }
        if (got == 0)
            break;
        out.write(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
    out.commit();
}

int deleteMatching(const std::string& folder, const std::string& pattern)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw GenerationError::pathNotFound(folder);
        throw GenerationError::fromErrno(errno, folder);
    }
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    std::vector<std::string> matches;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && ::fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) == 0
            && isRegularFile(prefix + name))
            matches.push_back(name);
        errno = 0;
    }
    if (errno != 0)
        throw GenerationError::fromErrno(errno, folder);
    for (const std::string& name : matches) {
        if (::unlink((prefix + name).c_str()) != 0 && errno != ENOENT)
            throw GenerationError::fromErrno(errno, prefix + name);
    }
    return static_cast<int>(matches.size());
}

void ensureFolder(const std::string& folder)
{
    if (folder.empty() || isFolder(folder))
        return;
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string path = folder.substr(0, slash);
        if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) {
            if (errno == ENOTDIR)
                throw GenerationError::pathNotFound(folder);
            throw GenerationError::fromErrno(errno, folder);
        }
        if (slash == std::string::npos)
            break;
    }
    if (!isFolder(folder))
        throw GenerationError::pathNotFound(folder);
}

bool isRegularFile(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isFolder(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace tmbr::codegen
