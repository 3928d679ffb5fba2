#pragma once

// The events that the encoder and the converter fire while they work (an error text, a start, a
// percentage, a finish), handed to the members of a record of callbacks; an empty one ignores its
// event. Connected from construction until destruction, which must come before the control's end.

#include "componenterror.h"
#include "vlscom/connectionpoint.h"
#include "vlscom/dispatchcall.h"
#include "vlscom/eventsink.h"

#include <functional>
#include <memory>
#include <string>

namespace tmbr::audiotools {

template <class Handlers> class ProgressEvents {
public:
    struct Ids {
        DISPID error, start, progress, finish;
    };
    struct Members {
        std::function<void(const std::string&)> Handlers::*onError;
        std::function<void()> Handlers::*onStart;
        std::function<void(int)> Handlers::*onProgress;
        std::function<void()> Handlers::*onFinish;
    };

    // Connects to the control's events. Throws ComponentError.
    ProgressEvents(IUnknown* control, REFIID events, Ids ids, Members members)
        : m_control(control)
        , m_events(events)
    {
        std::weak_ptr<Handlers> handlers = m_handlers;
        m_sink = vlscom::makeObject<vlscom::EventSink>(
            events, [handlers, ids, members](DISPID event, const DISPPARAMS& params) {
                const auto live = handlers.lock();
                if (!live)
                    return;
                // Copies: a handler may replace the handlers while it runs.
                if (event == ids.error) {
                    if (auto handler = (*live).*members.onError)
                        handler(vlscom::toUtf8(vlscom::stringArgument(params, 0).value_or(u"")));
                } else if (event == ids.progress) {
                    if (auto handler = (*live).*members.onProgress)
                        handler(vlscom::intArgument(params, 0).value_or(0));
                } else if (event == ids.start || event == ids.finish) {
                    if (auto handler = (*live).*(event == ids.start ? members.onStart : members.onFinish))
                        handler();
                }
            });
        check(vlscom::advise(control, events, m_sink->identity(), &m_cookie));
    }
    ~ProgressEvents()
    {
        m_handlers.reset();
        if (m_cookie != 0)
            vlscom::unadvise(m_control, m_events, m_cookie);
    }
    ProgressEvents(const ProgressEvents&) = delete;
    ProgressEvents& operator=(const ProgressEvents&) = delete;

    void setHandlers(Handlers handlers) { *m_handlers = std::move(handlers); }

private:
    std::shared_ptr<Handlers> m_handlers = std::make_shared<Handlers>();
    IUnknown* m_control;
    IID m_events;
    vlscom::ComPtr<vlscom::EventSink> m_sink;
    DWORD m_cookie = 0;
};

} // namespace tmbr::audiotools
