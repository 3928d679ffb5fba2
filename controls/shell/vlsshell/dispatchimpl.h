#pragma once

// IDispatch for a dual interface I, answered from I's embedded description. A server describes
// each of its dual interfaces by specialising InterfaceInfo:
//
//   template <> struct vlsshell::InterfaceInfo<IThing> {
//       static const InterfaceDescription& description();
//   };
//
// Listing DispatchImpl<I> instead of I in a ComObject gives each dual interface of an object its
// own Invoke, so that two dual interfaces on one object keep their own DISPIDs.

#include "typedescription.h"
#include "vlscom/pointers.h"

namespace vlsshell {

template <class I> struct InterfaceInfo;

template <class I> class DispatchImpl : public I {
public:
    HRESULT GetTypeInfoCount(UINT* count) override
    {
        if (const HRESULT hr = vlscom::checkPointers(count); FAILED(hr))
            return hr;
        *count = 0;
        return S_OK;
    }

    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (const HRESULT hr = vlscom::checkPointers(info); FAILED(hr))
            return hr;
        *info = nullptr;
        return DISP_E_BADINDEX;
    }

    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        return idsOfNames(InterfaceInfo<I>::description(), riid, names, count, ids);
    }

    HRESULT Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
        EXCEPINFO* excepInfo, UINT* argErr) override
    {
        return invokeMember(InterfaceInfo<I>::description(), static_cast<I*>(this), member, riid, flags,
            params, result, excepInfo, argErr);
    }
};

} // namespace vlsshell
