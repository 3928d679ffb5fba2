#pragma once

// Late-bound calls by DISPID.

#include "bstr.h"
#include "unknown.h"
#include "variant.h"

// Arguments of Invoke, in reverse order: rgvarg[0] is the last argument. A property put passes
// its value as the one named argument DISPID_PROPERTYPUT.
struct DISPPARAMS {
    VARIANT* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

// What Invoke reports when it returns DISP_E_EXCEPTION: the member's status in scode and the
// error information (source and description) it left. The caller frees the strings
// (vlscom::clearExcepInfo).
struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    HRESULT scode;
};

// Type information objects are not provided by this runtime; the name is declared for the slots
// that would return one.
struct ITypeInfo;

inline constexpr WORD DISPATCH_METHOD = 1;
inline constexpr WORD DISPATCH_PROPERTYGET = 2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 4;
inline constexpr WORD DISPATCH_PROPERTYPUTREF = 8;

inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;

struct IDispatch : IUnknown {
    static constexpr IID iid = vlscom::makeGuid("{00020400-0000-0000-C000-000000000046}");
    using Base = IUnknown;

    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) = 0;
    // names[0] is a member name, names[1...] its parameter names; unknown names give
    // DISPID_UNKNOWN in their slot and DISP_E_UNKNOWNNAME. riid must be IID_NULL.
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
        VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr)
        = 0;
};

inline constexpr IID IID_IDispatch = IDispatch::iid;

namespace vlscom {

// Frees the strings of an EXCEPINFO and zeroes it.
void clearExcepInfo(EXCEPINFO& info);

} // namespace vlscom
