#include "dispatchcall.h"

#include "errorinfo.h"
#include "pointers.h"

#include <vector>

namespace vlscom {

void clearExcepInfo(EXCEPINFO& info)
{
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    info = EXCEPINFO {};
}

HRESULT invoke(IDispatch* object, DISPID member, WORD flags, const Variant* args, UINT count, Variant* result)
{
    if (const HRESULT hr = vlscom::checkPointers(object); FAILED(hr))
        return hr;
    // Invoke takes the arguments last to first; the copies are shallow, the Variants keep ownership.
    std::vector<VARIANT> reversed;
    reversed.reserve(count);
    for (UINT i = count; i > 0; --i)
        reversed.push_back(args[i - 1]);
    DISPID named = DISPID_PROPERTYPUT;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS params { reversed.data(), put ? &named : nullptr, count, put ? 1U : 0U };
    EXCEPINFO info {};
    UINT argErr = 0;
    if (result)
        VariantClear(result);
    HRESULT hr = object->Invoke(member, IID_NULL, 0, flags, &params, result, &info, &argErr);
    if (hr == DISP_E_EXCEPTION) {
        if (info.scode != 0)
            hr = info.scode;
        if (info.bstrSource || info.bstrDescription)
            setErrorInfo(bstrView(info.bstrSource), bstrView(info.bstrDescription));
    }
    clearExcepInfo(info);
    return hr;
}

HRESULT invokeMethod(IDispatch* object, DISPID member, std::initializer_list<Variant> args, Variant* result)
{
    return invoke(object, member, DISPATCH_METHOD, args.begin(), static_cast<UINT>(args.size()), result);
}

HRESULT getProperty(IDispatch* object, DISPID member, Variant& value)
{
    return invoke(object, member, DISPATCH_PROPERTYGET, nullptr, 0, &value);
}

HRESULT putProperty(IDispatch* object, DISPID member, const Variant& value)
{
    return invoke(object, member, DISPATCH_PROPERTYPUT, &value, 1, nullptr);
}

} // namespace vlscom
