#pragma once

#include "dispatch.h"
#include "unknown.h"

inline constexpr DWORD GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

struct IProvideClassInfo : IUnknown {
    static constexpr IID iid = vlscom::makeGuid("{B196B283-BAB4-101A-B69C-00AA00341D07}");
    using Base = IUnknown;

    // Type information objects are not provided: E_NOTIMPL.
    virtual HRESULT GetClassInfo(ITypeInfo** info) = 0;
};

struct IProvideClassInfo2 : IProvideClassInfo {
    static constexpr IID iid = vlscom::makeGuid("{A6BC3AC0-DBAA-11CE-9DE3-00AA004BB851}");
    using Base = IProvideClassInfo;

    // kind GUIDKIND_DEFAULT_SOURCE_DISP_IID: the identity of the default event interface.
    virtual HRESULT GetGUID(DWORD kind, GUID* guid) = 0;
};
