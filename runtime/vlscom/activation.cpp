#include "activation.h"

#include "bstr.h"
#include "errorinfo.h"
#include "pointers.h"
#include "registry.h"
#include "systemerror.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>

namespace {

using GetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, void**);

HRESULT fail(HRESULT hr, const std::string& description)
{
    vlscom::setErrorInfo(u"vlscom", vlscom::toUtf16(description));
    return hr;
}

// Servers stay loaded for the life of the process, so one handle per path is kept.
HRESULT loadServer(const std::string& path, GetClassObjectFunction& entry)
{
    static std::mutex mutex;
    static std::map<std::string, void*> loaded;
    std::lock_guard lock(mutex);
    void* handle = nullptr;
    if (const auto found = loaded.find(path); found != loaded.end()) {
        handle = found->second;
    } else {
        struct stat info { };
        if (::stat(path.c_str(), &info) != 0) {
            const int error = errno;
            return fail(vlscom::hresultFromErrno(error),
                "cannot load the server " + path + ": " + vlscom::systemErrorText(error));
        }
        handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* reason = ::dlerror();
            return fail(CO_E_ERRORINDLL, reason ? reason : "cannot load the server " + path);
        }
        loaded.emplace(path, handle);
    }
    entry = reinterpret_cast<GetClassObjectFunction>(::dlsym(handle, "DllGetClassObject"));
    if (!entry)
        return fail(CO_E_ERRORINDLL, "the server " + path + " does not export DllGetClassObject");
    return S_OK;
}

} // namespace

void* CoTaskMemAlloc(std::size_t bytes)
{
    return std::malloc(bytes ? bytes : 1);
}

void CoTaskMemFree(void* block)
{
    std::free(block);
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid)
{
    if (const HRESULT hr = vlscom::checkPointers(clsid); FAILED(hr))
        return hr;
    *clsid = GUID_NULL;
    if (!progId)
        return E_INVALIDARG;
    try {
        const std::string name = vlscom::toUtf8(progId);
        if (name.empty() || name.find('\\') != std::string::npos)
            return CO_E_CLASSSTRING;
        std::string text;
        const HRESULT hr = vlscom::readRegistryValue(name + "\\CLSID", "", text);
        if (FAILED(hr))
            return hr;
        const auto parsed = vlscom::parseGuid(text);
        if (hr != S_OK || !parsed)
            return CO_E_CLASSSTRING;
        *clsid = *parsed;
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* progId)
{
    if (const HRESULT hr = vlscom::checkPointers(progId); FAILED(hr))
        return hr;
    *progId = nullptr;
    try {
        std::string text;
        const HRESULT hr
            = vlscom::readRegistryValue("CLSID\\" + vlscom::formatGuid(clsid) + "\\ProgID", "", text);
        if (FAILED(hr))
            return hr;
        if (hr != S_OK || text.empty())
            return REGDB_E_CLASSNOTREG;
        const std::u16string wide = vlscom::toUtf16(text);
        auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((wide.size() + 1) * sizeof(OLECHAR)));
        if (!copy)
            return E_OUTOFMEMORY;
        std::memcpy(copy, wide.c_str(), (wide.size() + 1) * sizeof(OLECHAR));
        *progId = copy;
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID riid, void** object)
{
    if (const HRESULT hr = vlscom::checkPointers(object); FAILED(hr))
        return hr;
    *object = nullptr;
    if (!(context & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    try {
        std::string path;
        std::string folder;
        const HRESULT hr = vlscom::readRegistryValue(
            "CLSID\\" + vlscom::formatGuid(clsid) + "\\InprocServer32", "", path, &folder);
        if (FAILED(hr))
            return hr;
        if (hr != S_OK || path.empty())
            return REGDB_E_CLASSNOTREG;
        // A relative path in the machine's registry is relative to its folder: the installed tree
        // can be moved.
        if (path.front() != '/' && folder.starts_with('/'))
            path = (std::filesystem::path(folder) / path).lexically_normal().string();
        if (path.front() != '/')
            return fail(CO_E_DLLNOTFOUND, "the registered server path " + path + " is not absolute");
        GetClassObjectFunction entry = nullptr;
        if (const HRESULT loaded = loadServer(path, entry); FAILED(loaded))
            return loaded;
        return entry(clsid, riid, object);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** object)
{
    if (const HRESULT hr = vlscom::checkPointers(object); FAILED(hr))
        return hr;
    *object = nullptr;
    if (outer && riid != IUnknown::iid)
        return CLASS_E_NOAGGREGATION;
    vlscom::ComPtr<IClassFactory> factory;
    if (const HRESULT hr = CoGetClassObject(clsid, context, nullptr, IClassFactory::iid, factory.putVoid());
        FAILED(hr))
        return hr;
    return factory->CreateInstance(outer, riid, object);
}
