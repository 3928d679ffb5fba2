#include "connectionpoint.h"

#include "vlscom/pointers.h"

#include <algorithm>

namespace vlsshell {

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* container, REFIID events)
    : ComMember(container)
    , m_container(container)
    , m_events(events)
{
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (const HRESULT hr = vlscom::checkPointers(iid); FAILED(hr))
        return hr;
    *iid = m_events;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (const HRESULT hr = vlscom::checkPointers(container); FAILED(hr))
        return hr;
    m_container->AddRef();
    *container = m_container;
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (const HRESULT hr = vlscom::checkPointers(cookie); FAILED(hr))
        return hr;
    *cookie = 0;
    if (const HRESULT hr = vlscom::checkPointers(sink); FAILED(hr))
        return hr;
    // The event interface is a dispatch interface: the pointer answered for it is an IDispatch.
    void* events = nullptr;
    if (FAILED(sink->QueryInterface(m_events, &events)) || !events)
        return CONNECT_E_CANNOTCONNECT;
    auto dispatch = vlscom::ComPtr<IDispatch>::adopt(static_cast<IDispatch*>(events));
    try {
        std::lock_guard lock(m_mutex);
        const DWORD given = m_nextCookie++;
        if (m_nextCookie == 0)
            m_nextCookie = 1;
        m_sinks.emplace_back(given, std::move(dispatch));
        *cookie = given;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie)
{
    // Declared before the lock, so that the sink is released after the lock is.
    vlscom::ComPtr<IDispatch> released;
    std::lock_guard lock(m_mutex);
    const auto it = std::ranges::find(m_sinks, cookie, [](const auto& entry) { return entry.first; });
    if (it == m_sinks.end())
        return CONNECT_E_NOCONNECTION;
    released = std::move(it->second);
    m_sinks.erase(it);
    return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections)
{
    if (connections)
        *connections = nullptr;
    return E_NOTIMPL;
}

std::size_t ConnectionPoint::connectionCount() const
{
    std::lock_guard lock(m_mutex);
    return m_sinks.size();
}

void ConnectionPoint::fire(DISPID event, DISPPARAMS& params)
{
    std::vector<vlscom::ComPtr<IDispatch>> sinks;
    try {
        std::lock_guard lock(m_mutex);
        sinks.reserve(m_sinks.size());
        for (const auto& entry : m_sinks)
            sinks.push_back(entry.second);
    } catch (const std::bad_alloc&) {
        return;
    }
    for (const auto& sink : sinks)
        sink->Invoke(event, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

void ConnectionPoint::disconnectAll()
{
    std::vector<std::pair<DWORD, vlscom::ComPtr<IDispatch>>> released;
    std::lock_guard lock(m_mutex);
    released.swap(m_sinks);
}

} // namespace vlsshell
