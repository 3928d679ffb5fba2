#include "connectionpoint.h"

#include "pointers.h"

namespace vlscom {

namespace {
HRESULT findPoint(IUnknown* source, REFIID events, ComPtr<IConnectionPoint>& point)
{
    if (const HRESULT hr = vlscom::checkPointers(source); FAILED(hr))
        return hr;
    ComPtr<IConnectionPointContainer> container;
    if (const HRESULT hr = source->QueryInterface(IConnectionPointContainer::iid, container.putVoid());
        FAILED(hr))
        return hr;
    return container->FindConnectionPoint(events, point.put());
}
} // namespace

HRESULT advise(IUnknown* source, REFIID events, IUnknown* sink, DWORD* cookie)
{
    if (const HRESULT hr = vlscom::checkPointers(cookie); FAILED(hr))
        return hr;
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
