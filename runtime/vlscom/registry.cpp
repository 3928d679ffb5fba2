#include "registry.h"

#include "errorinfo.h"
#include "regedit.h"
#include "replacementfile.h"
#include "systemerror.h"

#include <cerrno>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vlscom {

namespace {

constexpr off_t maxRegistrySize = off_t { 16 } * 1024 * 1024;

HRESULT fail(HRESULT hr, const std::string& description)
{
    setErrorInfo(u"vlscom", toUtf16(description));
    return hr;
}

HRESULT failErrno(int error, const std::string& what)
{
    return fail(hresultFromErrno(error), what + ": " + systemErrorText(error));
}

// Closes a descriptor on every path out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

HRESULT readText(const std::string& path, std::string& text, bool& exists)
{
    text.clear();
    exists = false;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT)
            return S_OK;
        return failErrno(errno, "cannot open the class registry " + path);
    }
    exists = true;
    struct stat info { };
    if (::fstat(fd.get(), &info) != 0)
        return failErrno(errno, "cannot read the class registry " + path);
    if (info.st_size > maxRegistrySize)
        return fail(REGDB_E_READREGDB, "the class registry " + path + " is too large");
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failErrno(errno, "cannot read the class registry " + path);
        if (got == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > static_cast<std::size_t>(maxRegistrySize))
            return fail(REGDB_E_READREGDB, "the class registry " + path + " is too large");
    }
    return S_OK;
}

// An empty file (never one this code writes) is an empty registry.
HRESULT parseInto(const std::string& path, const std::string& text, RegistryKey& root)
{
    if (text.empty())
        return S_OK;
    RegEditDocument document;
    if (const auto error = parseRegEdit(text, RegEditMode::Store, document)) {
        return fail(REGDB_E_READREGDB,
            "the class registry " + path + " is malformed at line " + std::to_string(error->line) + ": "
                + error->message);
    }
    importRegEdit(root, document);
    return S_OK;
}

HRESULT replaceFile(const std::string& path, const std::string& text)
{
    ReplacementFile::Options options;
    options.followLinks = false;
    options.inPlaceWhenSpecial = false;
    options.keepMode = false;
    options.newMode = 0644;
    options.syncFolder = true;
    ReplacementFile file;
    if (const int error = file.create(path, ".tmp", options))
        return failErrno(error, "cannot create a temporary file beside " + path);
    const std::string temporary = file.path();
    HRESULT hr = S_OK;
    if (const int error = writeAll(file.descriptor(), text.data(), text.size()))
        hr = failErrno(error, "cannot write " + temporary);
    if (SUCCEEDED(hr) && ::fsync(file.descriptor()) != 0)
        hr = failErrno(errno, "cannot write " + temporary);
    if (SUCCEEDED(hr)) {
        if (const int error = file.commit())
            hr = failErrno(error, "cannot replace " + path);
    }
    return hr;
}

} // namespace

std::string registryPath()
{
    if (const char* path = std::getenv("VLSCOM_REGISTRY"); path && *path)
        return path;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return std::string(data) + "/vlscom/classes.reg";
    std::string home;
    if (const char* value = std::getenv("HOME"); value && *value) {
        home = value;
    } else if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) {
        home = entry->pw_dir;
    }
    return home + "/.local/share/vlscom/classes.reg";
}

std::string systemRegistryPath()
{
    if (const char* path = std::getenv("VLSCOM_SYSTEM_REGISTRY"); path && *path)
        return path;
    Dl_info library {};
    if (::dladdr(reinterpret_cast<const void*>(&systemRegistryPath), &library) == 0 || !library.dli_fname)
        return {};
    const std::filesystem::path folder = std::filesystem::path(library.dli_fname).parent_path();
    return (folder / VLSCOM_SYSTEM_REGISTRY_FROM_LIBRARY).lexically_normal().string();
}

namespace {

HRESULT loadRegistryFile(const std::string& path, RegistryKey& root)
{
    try {
        std::string text;
        bool exists = false;
        if (const HRESULT hr = readText(path, text, exists); FAILED(hr) || !exists)
            return hr;
        return parseInto(path, text, root);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace

HRESULT loadRegistry(RegistryKey& root)
{
    return loadRegistryFile(registryPath(), root);
}

HRESULT readRegistryValue(
    std::string_view keyPath, std::string_view name, std::string& data, std::string* machineFolder)
{
    data.clear();
    if (machineFolder)
        machineFolder->clear();
    const std::vector<std::string> names = splitKeyPath(keyPath);
    const std::string files[] = { registryPath(), systemRegistryPath() };
    for (const std::string& path : files) {
        if (path.empty())
            continue;
        RegistryKey root;
        if (const HRESULT hr = loadRegistryFile(path, root); FAILED(hr))
            return hr;
        const RegistryKey* key = root.find(names);
        if (!key)
            continue;
        const std::string* value = key->value(name);
        if (!value)
            return S_FALSE;
        data = *value;
        if (machineFolder && &path == &files[1])
            *machineFolder = std::filesystem::path(path).parent_path().string();
        return S_OK;
    }
    return S_FALSE;
}

HRESULT updateRegistry(const std::function<HRESULT(RegistryKey&)>& change)
{
    try {
        const std::string path = registryPath();
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (!folder.empty()) {
            std::error_code error;
            std::filesystem::create_directories(folder, error);
            if (error)
                return failErrno(error.value(), "cannot create the folder " + folder.string());
        }
        const std::string lockPath = path + ".lock";
        FileDescriptor lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
        if (lock.get() < 0)
            return failErrno(errno, "cannot open the registry lock " + lockPath);
        while (::flock(lock.get(), LOCK_EX) != 0) {
            if (errno != EINTR)
                return failErrno(errno, "cannot lock " + lockPath);
        }
        // The lock is released when the descriptor closes.
        std::string text;
        bool exists = false;
        if (const HRESULT hr = readText(path, text, exists); FAILED(hr))
            return hr;
        RegistryKey root;
        if (const HRESULT hr = parseInto(path, text, root); FAILED(hr))
            return hr;
        if (const HRESULT hr = change(root); FAILED(hr))
            return hr;
        const std::string updated = formatRegEdit(root);
        if (exists && updated == text)
            return S_OK;
        return replaceFile(path, updated);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT expandRegistryScript(std::string_view script, std::string_view modulePath, std::string& expanded)
{
    expanded.clear();
    for (const char c : modulePath) {
        if (static_cast<unsigned char>(c) < 0x20)
            return fail(E_INVALIDARG, "a server path with control characters cannot be registered");
    }
    std::string quoted = quoteRegEditString(modulePath);
    const std::string_view escaped = std::string_view(quoted).substr(1, quoted.size() - 2);
    constexpr std::string_view marker = "%MODULE%";
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = script.find(marker, start);
        expanded.append(script.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos)
            break;
        expanded.append(escaped);
        start = at + marker.size();
    }
    return S_OK;
}

HRESULT applyRegistryScripts(std::span<const std::string> scripts, ScriptAction action)
{
    try {
        std::vector<RegEditDocument> documents(scripts.size());
        for (std::size_t i = 0; i < scripts.size(); ++i) {
            if (const auto error = parseRegEdit(scripts[i], RegEditMode::Script, documents[i])) {
                return fail(E_UNEXPECTED,
                    "registration script " + std::to_string(i + 1) + " is malformed at line "
                        + std::to_string(error->line) + ": " + error->message);
            }
        }
        return updateRegistry([&](RegistryKey& root) {
            for (const RegEditDocument& document : documents) {
                if (action == ScriptAction::Register)
                    importRegEdit(root, document);
                else
                    unimportRegEdit(root, document);
            }
            return S_OK;
        });
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace vlscom
