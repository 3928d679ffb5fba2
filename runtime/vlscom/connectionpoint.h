#pragma once

// Outgoing (event) interfaces. A source object offers one connection point per event interface;
// a client connects a sink with Advise (getting a cookie) and disconnects it with Unadvise.

#include "comptr.h"
#include "unknown.h"

// Enumerators of connections and connection points are not provided (E_NOTIMPL); the names are
// declared for their slots.
struct IEnumConnections;
struct IEnumConnectionPoints;
struct IConnectionPointContainer;

struct IConnectionPoint : IUnknown {
    static constexpr IID iid = vlscom::makeGuid("{B196B286-BAB4-101A-B69C-00AA00341D07}");
    using Base = IUnknown;

    virtual HRESULT GetConnectionInterface(IID* iid) = 0;
    virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) = 0;
    // The sink must answer QueryInterface for the event interface (CONNECT_E_CANNOTCONNECT if not).
    virtual HRESULT Advise(IUnknown* sink, DWORD* cookie) = 0;
    // CONNECT_E_NOCONNECTION for a cookie that is not connected.
    virtual HRESULT Unadvise(DWORD cookie) = 0;
    virtual HRESULT EnumConnections(IEnumConnections** connections) = 0;
};

struct IConnectionPointContainer : IUnknown {
    static constexpr IID iid = vlscom::makeGuid("{B196B284-BAB4-101A-B69C-00AA00341D07}");
    using Base = IUnknown;

    virtual HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) = 0;
    // CONNECT_E_NOCONNECTION when the object has no connection point for riid.
    virtual HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** point) = 0;
};

namespace vlscom {

// Connects sink to source's connection point for events; the cookie identifies the connection.
HRESULT advise(IUnknown* source, REFIID events, IUnknown* sink, DWORD* cookie);
HRESULT unadvise(IUnknown* source, REFIID events, DWORD cookie);

} // namespace vlscom
