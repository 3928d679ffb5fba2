// vlsregsvr [-u] [--system] SERVER.so: registers (or unregisters) a component server in the class
// registry by calling its DllRegisterServer (DllUnregisterServer); --system writes the machine's
// registry instead of the user's.

#include "vlscom/errorinfo.h"
#include "vlscom/registry.h"
#include "vlscom/systemerror.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr const char* usage
    = "usage: vlsregsvr [-u] [--system] SERVER.so\n"
      "Registers a component server in the class registry; -u unregisters it.\n"
      "The registry is the user's: $VLSCOM_REGISTRY, else $XDG_DATA_HOME/vlscom/classes.reg\n"
      "(default ~/.local/share/vlscom/classes.reg). --system writes the machine's registry of this\n"
      "installation instead ($VLSCOM_SYSTEM_REGISTRY, else share/vlscom/classes.reg), which\n"
      "every user reads after their own.\n";

int failure(const std::string& message)
{
    std::fprintf(stderr, "vlsregsvr: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    bool unregister = false;
    bool system = false;
    const char* server = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            std::fputs(usage, stdout);
            return 0;
        }
        if (argument == "-u" && !unregister && !server) {
            unregister = true;
        } else if (argument == "--system" && !system && !server) {
            system = true;
        } else if (!server && !argument.empty() && argument.front() != '-') {
            server = argv[i];
        } else {
            std::fputs(usage, stderr);
            return 2;
        }
    }
    if (!server) {
        std::fputs(usage, stderr);
        return 2;
    }

    // The server registers itself through this process's runtime, which writes the user's file.
    if (system) {
        const std::string machine = vlscom::systemRegistryPath();
        if (machine.empty())
            return failure("cannot find the machine's class registry of this installation");
        ::setenv("VLSCOM_REGISTRY", machine.c_str(), 1);
    }
    const std::unique_ptr<char, decltype(&std::free)> path(::realpath(server, nullptr), &std::free);
    if (!path)
        return failure(std::string("cannot find ") + server + ": " + vlscom::systemErrorText(errno));
    void* handle = ::dlopen(path.get(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = ::dlerror();
        return failure(
            std::string("cannot load ") + path.get() + ": " + (reason ? reason : "unknown reason"));
    }
    const char* entryName = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    using Entry = HRESULT (*)();
    const auto entry = reinterpret_cast<Entry>(::dlsym(handle, entryName));
    if (!entry)
        return failure(std::string(path.get()) + " does not export " + entryName);
    const HRESULT hr = entry();
    if (FAILED(hr)) {
        std::string message
            = std::string(entryName) + " of " + path.get() + " failed: " + vlscom::describeHresult(hr);
        if (const auto error = vlscom::takeErrorInfo(); error && !error->description.empty())
            message += "\n  " + vlscom::toUtf8(error->description);
        return failure(message);
    }
    std::printf("vlsregsvr: %s %s in %s\n", unregister ? "unregistered" : "registered", path.get(),
        vlscom::registryPath().c_str());
    // The server stays loaded until exit, as it would in any client.
    return 0;
}
