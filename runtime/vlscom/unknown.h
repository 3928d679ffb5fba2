#pragma once

// The root interfaces. Every interface is an abstract class whose members all return HRESULT
// (except AddRef and Release) and carries its identity as `iid` and its parent as `Base`, which is
// how ComObject answers QueryInterface.

#include "guid.h"
#include "types.h"

struct IUnknown {
    static constexpr IID iid = vlscom::makeGuid("{00000000-0000-0000-C000-000000000046}");

    // Returns S_OK and an added reference in *object, or E_NOINTERFACE and null.
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
};

struct IClassFactory : IUnknown {
    static constexpr IID iid = vlscom::makeGuid("{00000001-0000-0000-C000-000000000046}");
    using Base = IUnknown;

    // outer: the controlling unknown when the new object is aggregated (riid must then be IUnknown).
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) = 0;
    // Keeps the server from reporting that it can unload while locked.
    virtual HRESULT LockServer(BOOL lock) = 0;
};

inline constexpr IID IID_IUnknown = IUnknown::iid;
inline constexpr IID IID_IClassFactory = IClassFactory::iid;
