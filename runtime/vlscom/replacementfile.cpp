#include "replacementfile.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace vlscom {

namespace {

constexpr std::size_t kNameMax = 255;
constexpr int kAttempts = 100;

std::string randomLetters()
{
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 generator { std::random_device {}()
        ^ static_cast<std::uint64_t>(::getpid()) };
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 2);
    std::string letters(6, ' ');
    for (char& c : letters)
        c = alphabet[pick(generator)];
    return letters;
}

// The name cut to `limit` bytes at a character boundary.
std::string cutName(std::string name, std::size_t limit)
{
    if (name.size() <= limit)
        return name;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    name.resize(end);
    return name;
}

// The file a link names, or the path itself when it is no link to an existing file.
std::string followed(const std::string& path)
{
    struct stat link { };
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

} // namespace

ReplacementFile::~ReplacementFile()
{
    discard();
}

int ReplacementFile::create(const std::string& target, std::string_view suffix)
{
    return create(target, suffix, Options {});
}

int ReplacementFile::create(const std::string& target, std::string_view suffix, const Options& options)
{
    discard();
    m_target.clear();
    m_options = options;
    struct stat existing { };
    const bool exists
        = (options.followLinks ? ::stat(target.c_str(), &existing) : ::lstat(target.c_str(), &existing)) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return EISDIR;
    if (exists && options.inPlaceWhenSpecial && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode)) {
        m_direct = true;
        m_path = target;
        m_target = target;
        return 0;
    }
    m_target = options.followLinks ? followed(target) : target;
    const std::size_t slash = m_target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : m_target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? m_target : m_target.substr(slash + 1);
    // Two dots and six letters besides the name and the suffix.
    const std::size_t room = kNameMax > 8 + suffix.size() ? kNameMax - 8 - suffix.size() : 1;
    // The temporary file is no more readable than the file it replaces, even for a moment.
    const mode_t mode = exists && options.keepMode && S_ISREG(existing.st_mode) ? (existing.st_mode & 0777)
                                                                                : options.newMode;
    const int access = options.readable ? O_RDWR : O_WRONLY;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string path
            = folder + "." + cutName(name, room) + "." + randomLetters() + std::string(suffix);
        const int fd = ::open(path.c_str(), access | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            m_fd = fd;
            m_path = path;
            m_pending = true;
            return 0;
        }
        if (errno != EEXIST) {
            const int error = errno;
            m_target.clear();
            return error;
        }
    }
    m_target.clear();
    return EEXIST;
}

int ReplacementFile::commit()
{
    if (m_direct) {
        discard();
        return 0;
    }
    if (!m_pending)
        return EBADF;
    int error = 0;
    if (m_fd >= 0 && ::close(m_fd) != 0)
        error = errno;
    m_fd = -1;
    // The writer may have replaced the file by a rename of its own: flush what the name holds now.
    if (error == 0) {
        const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            error = errno;
        else if (::fsync(fd) != 0 && errno != EINVAL)
            error = errno;
        if (fd >= 0)
            ::close(fd);
    }
    struct stat existing { };
    if (error == 0 && m_options.keepMode && ::stat(m_target.c_str(), &existing) == 0
        && S_ISREG(existing.st_mode))
        ::chmod(m_path.c_str(), existing.st_mode & 0777);
    if (error == 0 && ::rename(m_path.c_str(), m_target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        discard();
        return error;
    }
    m_pending = false;
    m_path.clear();
    if (m_options.syncFolder) {
        const std::size_t slash = m_target.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : m_target.substr(0, slash + 1);
        const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (directory >= 0) {
            ::fsync(directory);
            ::close(directory);
        }
    }
    return 0;
}

void ReplacementFile::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    struct stat file { };
    if (m_pending && ::lstat(m_path.c_str(), &file) == 0 && S_ISREG(file.st_mode))
        ::unlink(m_path.c_str());
    m_pending = false;
    m_direct = false;
    m_path.clear();
}

int writeAll(int fd, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

} // namespace vlscom
