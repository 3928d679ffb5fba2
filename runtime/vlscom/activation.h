#pragma once

// Object creation by class identity or ProgID through the class registry. In-process servers only:
// HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32 names the server library (an absolute path), which
// is loaded once with dlopen and stays loaded; its DllGetClassObject gives the class object.

#include "comptr.h"
#include "guid.h"
#include "unknown.h"

#include <cstddef>
#include <string_view>

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_ALL = 0x17;

void* CoTaskMemAlloc(std::size_t bytes);
void CoTaskMemFree(void* block);

// HKEY_CLASSES_ROOT\<progId>\CLSID. CO_E_CLASSSTRING when the ProgID is not registered.
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);
// HKEY_CLASSES_ROOT\CLSID\{clsid}\ProgID as a new string (free with CoTaskMemFree).
// REGDB_E_CLASSNOTREG when there is none.
HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* progId);

// The server's class object. REGDB_E_CLASSNOTREG when the class or its server is not registered;
// the system error (0x8007xxxx) when the server file cannot be found; CO_E_ERRORINDLL when it is
// not a loadable library or lacks DllGetClassObject; otherwise whatever DllGetClassObject returns.
// Load failures also set error information describing them.
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* reserved, REFIID riid, void** object);
// CoGetClassObject, then IClassFactory::CreateInstance.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** object);

namespace vlscom {

// Typed forms: the created object as T (identified by T::iid).
template <class T> HRESULT createInstance(REFCLSID clsid, ComPtr<T>& object)
{
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, T::iid, object.putVoid());
}

template <class T> HRESULT createInstance(std::u16string_view progId, ComPtr<T>& object)
{
    object.reset();
    std::u16string text(progId);
    CLSID clsid {};
    if (const HRESULT hr = CLSIDFromProgID(text.c_str(), &clsid); FAILED(hr))
        return hr;
    return createInstance(clsid, object);
}

} // namespace vlscom
