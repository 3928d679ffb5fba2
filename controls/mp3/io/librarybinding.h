#pragma once

// A library loaded at run time by name and never unloaded, its entry points looked up into a
// binding (a struct of function pointers), and the one binding of the process.
//
//   Binding load()
//   {
//       LibrarySymbols symbols(libraryFile(Binding::libraryName, Binding::libraryVariable));
//       if (!symbols.loaded())
//           throw ...;                                   // the library cannot be loaded
//       Binding binding;
//       symbols.find("entry_one", binding.one).find("entry_two", binding.two);
//       if (!symbols.complete())
//           throw ...;                                   // an entry point is missing
//       return binding;
//   }
//   const Binding& Binding::bound() { return processBinding<Binding>(load); }

#include <cstdlib>
#include <dlfcn.h>
#include <mutex>
#include <optional>

namespace vlsmp3 {

// The library to open: the environment variable's value (a name or a path) when it is set and not
// empty, else the library's own file name.
inline const char* libraryFile(const char* name, const char* variable)
{
    const char* configured = std::getenv(variable);
    return configured && *configured ? configured : name;
}

class LibrarySymbols {
public:
    // Opens the library (RTLD_NOW, RTLD_LOCAL); it stays loaded for the process's life.
    explicit LibrarySymbols(const char* library)
        : m_handle(::dlopen(library, RTLD_NOW | RTLD_LOCAL))
    {
    }

    bool loaded() const { return m_handle != nullptr; }

    // Looks up one entry point; a missing one is null and leaves the lookup incomplete.
    template <class Function> LibrarySymbols& find(const char* name, Function& entry)
    {
        entry = m_handle ? reinterpret_cast<Function>(::dlsym(m_handle, name)) : nullptr;
        m_complete = m_complete && entry != nullptr;
        return *this;
    }

    // The library was loaded and every entry point looked up so far was found.
    bool complete() const { return loaded() && m_complete; }

private:
    void* m_handle;
    bool m_complete = true;
};

namespace detail {
template <class Binding> struct ProcessBinding {
    static inline std::mutex mutex;
    static inline std::optional<Binding> binding;
};
} // namespace detail

// The process-wide binding: made by load() on the first call that succeeds and kept for the
// process's life; a load that throws leaves no binding, and a later call tries again. Safe from any
// thread (load runs under the binding's lock).
template <class Binding, class Load> const Binding& processBinding(Load&& load)
{
    using State = detail::ProcessBinding<Binding>;
    const std::lock_guard lock(State::mutex);
    if (!State::binding)
        State::binding.emplace(load());
    return *State::binding;
}

} // namespace vlsmp3
