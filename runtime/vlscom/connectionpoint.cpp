#include "connectionpoint.h"

namespace vlscom {

namespace {
HRESULT findPoint(IUnknown* source, REFIID events, ComPtr<IConnectionPoint>& point)
{
    if (!source)
        return E_POINTER;
    ComPtr<IConnectionPointContainer> container;
    if (const HRESULT hr = source->QueryInterface(IConnectionPointContainer::iid, container.putVoid());
        FAILED(hr))
        return hr;
    return container->FindConnectionPoint(events, point.put());
}
} // namespace

HRESULT advise(IUnknown* source, REFIID events, IUnknown* sink, DWORD* cookie)
{
    if (!cookie)
        return E_POINTER;
    *cookie = 0;
    ComPtr<IConnectionPoint> point;
    if (const HRESULT hr = findPoint(source, events, point); FAILED(hr))
        return hr;
    return point->Advise(sink, cookie);
}

HRESULT unadvise(IUnknown* source, REFIID events, DWORD cookie)
{
    ComPtr<IConnectionPoint> point;
    if (const HRESULT hr = findPoint(source, events, point); FAILED(hr))
        return hr;
    return point->Unadvise(cookie);
}

} // namespace vlscom
