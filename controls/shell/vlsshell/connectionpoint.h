#pragma once

// The connection point of a control for its event interface. It lives inside the control: its
// QueryInterface answers IConnectionPoint, its lifetime is the control's.

#include "vlscom/comobject.h"
#include "vlscom/connectionpoint.h"
#include "vlscom/dispatch.h"

#include <mutex>
#include <utility>
#include <vector>

namespace vlsshell {

class ConnectionPoint final : public vlscom::ComMember<IConnectionPoint> {
public:
    ConnectionPoint(IConnectionPointContainer* container, REFIID events);

    HRESULT GetConnectionInterface(IID* iid) override;
    HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT Unadvise(DWORD cookie) override;
    HRESULT EnumConnections(IEnumConnections** connections) override;

    const IID& events() const { return m_events; }
    std::size_t connectionCount() const;

    // Calls Invoke(event) on every connected sink, in the order they connected, with params;
    // their results are ignored. Sinks connected or disconnected by a sink during the call take
    // effect from the next event.
    void fire(DISPID event, DISPPARAMS& params);

    // Releases every sink (the control is going away).
    void disconnectAll();

private:
    IConnectionPointContainer* m_container;
    IID m_events;
    mutable std::mutex m_mutex;
    std::vector<std::pair<DWORD, vlscom::ComPtr<IDispatch>>> m_sinks;
    DWORD m_nextCookie = 1;
};

} // namespace vlsshell
