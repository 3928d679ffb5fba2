#pragma once

// The server module: its live objects and locks, its path, and the four exported entry points.
// Each server links this shell statically, so these counts are the server's own.

#include "classdescription.h"

#include <string>

namespace vlsshell {

// Counts an object of this server for as long as it lives (a base of every object it creates).
class ModuleObject {
protected:
    ModuleObject();
    ModuleObject(const ModuleObject&);
    ModuleObject& operator=(const ModuleObject&) = default;
    ~ModuleObject();
};

void lockModule();
void unlockModule();
long liveObjectCount();

// S_OK when no object and no lock of this server is alive, else S_FALSE.
HRESULT canUnloadNow();

// The absolute path of the library that holds this shell (the server); empty if unknown.
std::string modulePath();

// DllGetClassObject: a class factory for a creatable class of the server; CLASS_E_CLASSNOTAVAILABLE
// for any other class.
HRESULT getClassObject(const ServerDescription& server, REFCLSID clsid, REFIID riid, void** object);

// DllRegisterServer / DllUnregisterServer: every class's registration script and the type
// library's entries, in one registry update.
HRESULT registerServer(const ServerDescription& server);
HRESULT unregisterServer(const ServerDescription& server);

} // namespace vlsshell

// Defines the four exports of a server, and nothing else is exported (the server links with a
// version script that hides all other symbols). describe: a function returning the server's
// ServerDescription.
#define VLSSHELL_SERVER_EXPORTS(describe)                                                                    \
    extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow()                              \
    {                                                                                                        \
        return ::vlsshell::canUnloadNow();                                                                   \
    }                                                                                                        \
    extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(                             \
        REFCLSID clsid, REFIID riid, void** object)                                                          \
    {                                                                                                        \
        return ::vlsshell::getClassObject(describe(), clsid, riid, object);                                  \
    }                                                                                                        \
    extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer()                            \
    {                                                                                                        \
        return ::vlsshell::registerServer(describe());                                                       \
    }                                                                                                        \
    extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer()                          \
    {                                                                                                        \
        return ::vlsshell::unregisterServer(describe());                                                     \
    }
