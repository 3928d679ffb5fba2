#include "eventsink.h"

#include "pointers.h"

namespace vlscom {

EventSink::EventSink(REFIID events, EventHandler handler)
    : m_events(events)
    , m_handler(std::move(handler))
{
}

HRESULT EventSink::GetTypeInfoCount(UINT* count)
{
    if (const HRESULT hr = vlscom::checkPointers(count); FAILED(hr))
        return hr;
    *count = 0;
    return S_OK;
}

HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (const HRESULT hr = vlscom::checkPointers(info); FAILED(hr))
        return hr;
    *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT EventSink::Invoke(
    DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*)
{
    if (result)
        VariantInit(result);
    if (!m_handler)
        return S_OK;
    const DISPPARAMS none { nullptr, nullptr, 0, 0 };
    try {
        m_handler(member, params ? *params : none);
    } catch (...) {
        return E_UNEXPECTED;
    }
    return S_OK;
}

void* EventSink::findExtraInterface(REFIID iid)
{
    return iid == m_events ? static_cast<IDispatch*>(this) : nullptr;
}

const VARIANT* argument(const DISPPARAMS& params, UINT index)
{
    if (index >= params.cArgs || !params.rgvarg)
        return nullptr;
    return &params.rgvarg[params.cArgs - 1 - index];
}

std::optional<std::int32_t> intArgument(const DISPPARAMS& params, UINT index)
{
    const VARIANT* value = argument(params, index);
    Variant converted;
    if (!value || FAILED(VariantChangeType(&converted, value, 0, VT_I4)))
        return std::nullopt;
    return converted.lVal;
}

std::optional<std::u16string> stringArgument(const DISPPARAMS& params, UINT index)
{
    const VARIANT* value = argument(params, index);
    Variant converted;
    if (!value || FAILED(VariantChangeType(&converted, value, 0, VT_BSTR)))
        return std::nullopt;
    return std::u16string(bstrView(converted.bstrVal));
}

} // namespace vlscom
