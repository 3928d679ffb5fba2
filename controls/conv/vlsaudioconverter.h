#pragma once

// The audio converter control: IVlsAudioConverter, the event source of _IVlsAudioConverterEvents.
// Go runs the conversion on a worker thread that reports through the helper window (messages
// 1114 to 1117), so every event fires on the thread that owns the converter; GoSync runs it on the
// caller's thread without events. While a Go conversion runs, the source and destination are used
// by the worker: property puts and the other methods are refused.

#include "convertermessages.h"
#include "vlscom/comptr.h"
#include "vlscom/eventsink.h"
#include "vlsconv.h"
#include "vlsshell/control.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

template <> struct vlsshell::InterfaceInfo<IVlsAudioConverter> {
    static const InterfaceDescription& description();
};

namespace vlsconv {

// Helper-window messages. wParam: the error text (a BSTR the window procedure frees), 0, the
// percentage, 0.
inline constexpr UINT WM_CONVERTER_ERROR = 1114;
inline constexpr UINT WM_CONVERTER_START = 1115;
inline constexpr UINT WM_CONVERTER_PROGRESS = 1116;
inline constexpr UINT WM_CONVERTER_FINISH = 1117;

// The sample buffer of one conversion, bytes.
inline constexpr std::int32_t conversionBlockBytes = 65536;

const vlsshell::InterfaceDescription& converterEventsDescription();
const vlsshell::ClassDescription& converterClass();

class VlsAudioConverter final : public vlsshell::Control<VlsAudioConverter, IVlsAudioConverter> {
public:
    static const vlsshell::ControlDescription& description();

    VlsAudioConverter() = default;
    // Requests cancellation of a running conversion and joins its worker (which then closes source
    // and destination as a cancelled conversion does); posted events that were not yet dispatched
    // are dropped with the helper window.
    ~VlsAudioConverter() override;
    VlsAudioConverter(const VlsAudioConverter&) = delete;
    VlsAudioConverter& operator=(const VlsAudioConverter&) = delete;

    bool onWindowMessage(UINT message, vlscom::WPARAM wParam);

    HRESULT get_Source(IVlsAudioDecoder** pVal) override;
    HRESULT put_Source(IVlsAudioDecoder* newVal) override;
    HRESULT get_Destination(IVlsAudioEncoder** pVal) override;
    HRESULT put_Destination(IVlsAudioEncoder* newVal) override;
    HRESULT get_KeepTags(VARIANT_BOOL* pVal) override;
    HRESULT put_KeepTags(VARIANT_BOOL newVal) override;
    HRESULT OpenDestination() override;
    HRESULT Go() override;
    HRESULT GoSync() override;
    HRESULT CancelConversion() override;
    HRESULT CreateDecoderFor(BSTR szFilename) override;

private:
    // The last texts of the source's and destination's own OnError events during a conversion:
    // written by the listeners on the owning thread, polled by the worker.
    struct ListenerTexts {
        std::mutex mutex;
        std::u16string encoder;
        std::u16string decoder;
    };
    enum class Side { Encoder, Decoder };

    struct Subscription {
        vlscom::ComPtr<IUnknown> source;
        vlscom::ComPtr<vlscom::EventSink> sink;
        IID events {};
        DWORD cookie = 0;
    };

    // Refuses a call while a Go conversion runs, with the message.
    void refuseWhileRunning(std::string_view message = methodWhileRunningMessage) const;
    void requireSourceAndDestination() const;
    void subscribe(IUnknown* source, REFIID events, Side side, Subscription& subscription);
    void unsubscribe(Subscription& subscription);
    void joinWorker();

    // Worker-thread side (conversion.cpp).
    void runWorker(
        vlscom::ComPtr<IVlsAudioDecoder> source, vlscom::ComPtr<IVlsAudioEncoder> destination, bool keepTags);
    void convert(IVlsAudioDecoder& source, IVlsAudioEncoder& destination, bool keepTags);
    // The listener text of one side, or empty.
    std::u16string listenerText(Side side) const;
    // Sleeps 100 ms at a time, up to 1 s, while the side's listener text is empty.
    void waitForListenerText(Side side) const;
    void postError(std::u16string_view text) const;
    HRESULT convertSync(IVlsAudioDecoder& source, IVlsAudioEncoder& destination);

    vlscom::ComPtr<IVlsAudioDecoder> m_source;
    vlscom::ComPtr<IVlsAudioEncoder> m_destination;
    VARIANT_BOOL m_keepTags = 1;

    std::thread m_worker;
    std::atomic<bool> m_running { false };
    std::atomic<bool> m_cancel { false };
    std::shared_ptr<ListenerTexts> m_texts = std::make_shared<ListenerTexts>();
    Subscription m_encoderSubscription;
    Subscription m_decoderSubscription;
};

} // namespace vlsconv
