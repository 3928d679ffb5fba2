#pragma once

// Shared by the shell tests: a temporary class registry and a loaded server.

#include "vlscom/types.h"
#include "vlscom/unknown.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// A temporary folder whose classes.reg is the class registry (VLSCOM_REGISTRY) while it lives.
class TemporaryRegistry {
public:
    TemporaryRegistry()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/vlscom-test-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            ADD_FAILURE() << "cannot create a temporary folder";
        m_folder = pattern;
        m_path = m_folder + "/classes.reg";
        ::setenv("VLSCOM_REGISTRY", m_path.c_str(), 1);
        // A machine's registry of its own, absent unless a test writes it.
        m_machinePath = m_folder + "/machine/classes.reg";
        ::setenv("VLSCOM_SYSTEM_REGISTRY", m_machinePath.c_str(), 1);
    }
    TemporaryRegistry(const TemporaryRegistry&) = delete;
    TemporaryRegistry& operator=(const TemporaryRegistry&) = delete;
    ~TemporaryRegistry()
    {
        ::unsetenv("VLSCOM_REGISTRY");
        ::unsetenv("VLSCOM_SYSTEM_REGISTRY");
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }

    const std::string& folder() const { return m_folder; }
    const std::string& path() const { return m_path; }
    const std::string& machinePath() const { return m_machinePath; }
    std::string text() const { return readFile(m_path); }
    void write(const std::string& text) const { writeFile(m_path, text); }

private:
    std::string m_folder;
    std::string m_path;
    std::string m_machinePath;
};

// The four exports of a server library, loaded with dlopen (it stays loaded).
struct ServerLibrary {
    explicit ServerLibrary(const char* path)
    {
        handle = ::dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            ADD_FAILURE() << ::dlerror();
            return;
        }
        canUnloadNow = reinterpret_cast<HRESULT (*)()>(::dlsym(handle, "DllCanUnloadNow"));
        getClassObject = reinterpret_cast<GetClassObject>(::dlsym(handle, "DllGetClassObject"));
        registerServer = reinterpret_cast<HRESULT (*)()>(::dlsym(handle, "DllRegisterServer"));
        unregisterServer = reinterpret_cast<HRESULT (*)()>(::dlsym(handle, "DllUnregisterServer"));
        if (!canUnloadNow || !getClassObject || !registerServer || !unregisterServer) {
            ADD_FAILURE() << path << " lacks one of the four server exports";
            *this = ServerLibrary();
        }
    }

    // A library that did not load answers every call with E_FAIL, so that a test fails instead of
    // crashing on a null function.
    void* handle = nullptr;
    HRESULT (*canUnloadNow)() = [] { return E_FAIL; };
    using GetClassObject = HRESULT (*)(REFCLSID, REFIID, void**);
    GetClassObject getClassObject = [](REFCLSID, REFIID, void** object) {
        if (object)
            *object = nullptr;
        return E_FAIL;
    };
    HRESULT (*registerServer)() = [] { return E_FAIL; };
    HRESULT (*unregisterServer)() = [] { return E_FAIL; };

private:
    ServerLibrary() = default;
};

// One loaded library per path for the whole program: servers stay loaded.
inline ServerLibrary& loadedServer(const char* path)
{
    static std::vector<std::pair<std::string, std::unique_ptr<ServerLibrary>>> loaded;
    for (auto& [name, library] : loaded) {
        if (name == path)
            return *library;
    }
    loaded.emplace_back(path, std::make_unique<ServerLibrary>(path));
    return *loaded.back().second;
}

// The reference count an object reports after one AddRef/Release pair.
inline ULONG referenceCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

// The canonical absolute path (as servers register themselves).
inline std::string canonical(const char* path)
{
    return std::filesystem::canonical(path).string();
}
