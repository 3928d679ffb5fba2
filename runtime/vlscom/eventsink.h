#pragma once

// A client-side sink for one dispatch event interface: Invoke hands every event to a handler, on
// the thread that fires it (a control's own thread).

#include "comobject.h"
#include "dispatch.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vlscom {

// params holds the event's arguments in reverse order, as Invoke receives them (use argument()).
using EventHandler = std::function<void(DISPID event, const DISPPARAMS& params)>;

class EventSink final : public ComObject<IDispatch> {
public:
    // events: the event interface the sink answers QueryInterface for (besides IDispatch).
    EventSink(REFIID events, EventHandler handler);

    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
        EXCEPINFO* excepInfo, UINT* argErr) override;

private:
    void* findExtraInterface(REFIID iid) override;

    IID m_events;
    EventHandler m_handler;
};

// Argument index (0 = the first declared) of a call; null when there are fewer.
const VARIANT* argument(const DISPPARAMS& params, UINT index);
// The argument converted to a 32-bit integer or to text; nullopt when absent or not convertible.
std::optional<std::int32_t> intArgument(const DISPPARAMS& params, UINT index);
std::optional<std::u16string> stringArgument(const DISPPARAMS& params, UINT index);

} // namespace vlscom
