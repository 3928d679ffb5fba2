#pragma once

// Calls by DISPID for clients. A member that fails through Invoke (DISP_E_EXCEPTION with an
// EXCEPINFO) is reported as a direct call would be: its own status is returned and its source and
// description become the thread's error information again.

#include "dispatch.h"
#include "variant.h"

#include <initializer_list>

namespace vlscom {

// args in declaration order; result may be null.
HRESULT invokeMethod(
    IDispatch* object, DISPID member, std::initializer_list<Variant> args = {}, Variant* result = nullptr);
HRESULT getProperty(IDispatch* object, DISPID member, Variant& value);
HRESULT putProperty(IDispatch* object, DISPID member, const Variant& value);

// The general form: flags DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT.
HRESULT invoke(
    IDispatch* object, DISPID member, WORD flags, const Variant* args, UINT count, Variant* result);

} // namespace vlscom
