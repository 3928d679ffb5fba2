#include "module.h"

#include "classfactory.h"
#include "vlscom/errorinfo.h"
#include "vlscom/pointers.h"
#include "vlscom/regedit.h"
#include "vlscom/registry.h"

#include <atomic>
#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <memory>

namespace vlsshell {

namespace {
std::atomic<long> g_objects { 0 };
std::atomic<long> g_locks { 0 };

std::string typeLibScript(const TypeLibDescription& typeLib, const std::string& path)
{
    const std::string libid = vlscom::formatGuid(typeLib.libid);
    const std::string version
        = std::to_string(typeLib.majorVersion) + "." + std::to_string(typeLib.minorVersion);
    const std::string root = "HKEY_CLASSES_ROOT\\TypeLib\\" + libid;
    const std::string key = root + "\\" + version;
    const std::string folder = std::filesystem::path(path).parent_path().string();
    std::string text = "REGEDIT4\n";
    text += "\n[" + root + "]\n";
    text += "\n[-" + key + "]\n";
    text += "\n[" + key + "]\n@=" + vlscom::quoteRegEditString(typeLib.helpString) + "\n";
    text += "\n[" + key + "\\0\\linux]\n@=" + vlscom::quoteRegEditString(path) + "\n";
    text += "\n[" + key + "\\FLAGS]\n@=\"0\"\n";
    text += "\n[" + key + "\\HELPDIR]\n@=" + vlscom::quoteRegEditString(folder) + "\n";
    for (const InterfaceDescription* description : typeLib.interfaces) {
        const std::string interfaceKey
            = "HKEY_CLASSES_ROOT\\Interface\\" + vlscom::formatGuid(description->iid);
        text += "\n[-" + interfaceKey + "]\n";
        text += "\n[" + interfaceKey + "]\n@=" + vlscom::quoteRegEditString(description->name) + "\n";
        text.append("\n[").append(interfaceKey).append("\\TypeLib]\n@=\"").append(libid);
        text.append("\"\n\"Version\"=\"").append(version).append("\"\n");
    }
    return text;
}

HRESULT applyServer(const ServerDescription& server, vlscom::ScriptAction action)
{
    try {
        const std::string path = modulePath();
        if (path.empty()) {
            vlscom::setErrorInfo(u"vlscom", u"the server cannot find its own path");
            return E_UNEXPECTED;
        }
        std::vector<std::string> scripts;
        for (const ClassDescription* description : server.classes) {
            std::string expanded;
            if (const HRESULT hr
                = vlscom::expandRegistryScript(description->registrationScript, path, expanded);
                FAILED(hr))
                return hr;
            scripts.push_back(std::move(expanded));
        }
        if (server.typeLib)
            scripts.push_back(typeLibScript(*server.typeLib, path));
        return vlscom::applyRegistryScripts(scripts, action);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
} // namespace

ModuleObject::ModuleObject()
{
    g_objects.fetch_add(1, std::memory_order_relaxed);
}

ModuleObject::ModuleObject(const ModuleObject&)
{
    g_objects.fetch_add(1, std::memory_order_relaxed);
}

ModuleObject::~ModuleObject()
{
    g_objects.fetch_sub(1, std::memory_order_acq_rel);
}

void lockModule()
{
    g_locks.fetch_add(1, std::memory_order_relaxed);
}

void unlockModule()
{
    long locks = g_locks.load(std::memory_order_relaxed);
    while (locks > 0 && !g_locks.compare_exchange_weak(locks, locks - 1, std::memory_order_acq_rel)) { }
}

long liveObjectCount()
{
    return g_objects.load(std::memory_order_acquire);
}

HRESULT canUnloadNow()
{
    return g_objects.load(std::memory_order_acquire) == 0 && g_locks.load(std::memory_order_acquire) == 0
        ? S_OK
        : S_FALSE;
}

std::string modulePath()
{
    Dl_info info {};
    if (!::dladdr(reinterpret_cast<void*>(&modulePath), &info) || !info.dli_fname)
        return {};
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(info.dli_fname, nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

HRESULT getClassObject(const ServerDescription& server, REFCLSID clsid, REFIID riid, void** object)
{
    if (const HRESULT hr = vlscom::checkPointers(object); FAILED(hr))
        return hr;
    *object = nullptr;
    for (const ClassDescription* description : server.classes) {
        if (description->clsid != clsid)
            continue;
        if (!description->create)
            break;
        auto factory = vlscom::makeObject<ClassFactory>(description->create);
        if (!factory)
            return E_OUTOFMEMORY;
        return factory->QueryInterface(riid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT registerServer(const ServerDescription& server)
{
    return applyServer(server, vlscom::ScriptAction::Register);
}

HRESULT unregisterServer(const ServerDescription& server)
{
    return applyServer(server, vlscom::ScriptAction::Unregister);
}

} // namespace vlsshell
