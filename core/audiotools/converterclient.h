#pragma once

// The audio converter control ("Aurikit.AudioConverter") as a host drives it: created by ProgID
// through the class registry, called by DISPID, its events handed to plain callbacks.
//
// Events arrive on the thread that created the client, while that thread dispatches its messages.
// Every call throws ComponentError with the control's message when the control refuses it.

#include "encoderclient.h"
#include "vlscom/comptr.h"
#include "vlsconv.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tmbr::audiotools {

// Handlers for the four events of _IVlsAudioConverterEvents; an empty one ignores its event.
// OnFinish follows every conversion that Go started, after OnError too.
struct ConverterEventHandlers {
    std::function<void(const std::string& errorMessage)> OnError;
    std::function<void()> OnStart;
    std::function<void(int percent)> OnProgress;
    std::function<void()> OnFinish;
};

class ConverterClient {
public:
    // Creates the control and connects to its events. Throws ComponentError.
    ConverterClient();
    // Disconnects; destroying the control cancels a running conversion and waits for it.
    ~ConverterClient() = default;
    ConverterClient(const ConverterClient&) = delete;
    ConverterClient& operator=(const ConverterClient&) = delete;

    void setHandlers(ConverterEventHandlers handlers) { m_events.setHandlers(std::move(handlers)); }

    IVlsAudioConverter* control() const { return m_converter.get(); }

    // The decoder to read from (null clears); refused while a conversion runs.
    void setSource(IVlsAudioDecoder* decoder);
    // The current source, asked afresh for IVlsAudioDecoder; null when none.
    vlscom::ComPtr<IVlsAudioDecoder> Source() const;
    void setDestination(IVlsAudioEncoder* encoder);
    vlscom::ComPtr<IVlsAudioEncoder> Destination() const;
    // Copy the source's seven tag fields into the destination before converting (initially On).
    void setKeepTags(Setting keep);
    bool KeepTags() const;

    // Starts converting on the control's thread: OnStart, OnProgress..., [OnError], OnFinish.
    void Go();
    // Converts on the calling thread, without events.
    void GoSync();
    void CancelConversion();

private:
    vlscom::ComPtr<IVlsAudioConverter> m_converter;
    ProgressEvents<ConverterEventHandlers> m_events;
};

} // namespace tmbr::audiotools
