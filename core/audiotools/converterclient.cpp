#include "converterclient.h"

#include "componenterror.h"
#include "vlscom/activation.h"
#include "vlscom/connectionpoint.h"
#include "vlscom/dispatchcall.h"
#include "vlscom/eventsink.h"

namespace tmbr::audiotools {

namespace {

template <class T> vlscom::ComPtr<T> objectProperty(IDispatch* object, DISPID member)
{
    vlscom::Variant value;
    check(vlscom::getProperty(object, member, value));
    vlscom::ComPtr<T> result;
    if ((value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) && value.punkVal)
        check(value.punkVal->QueryInterface(T::iid, result.putVoid()));
    return result;
}

} // namespace

ConverterClient::ConverterClient()
    : m_handlers(std::make_shared<ConverterEventHandlers>())
{
    m_converter = createControl<IVlsAudioConverter>(audioConverterControl);
    std::weak_ptr<ConverterEventHandlers> handlers = m_handlers;
    m_sink = vlscom::makeObject<vlscom::EventSink>(
        DIID__IVlsAudioConverterEvents, [handlers](DISPID event, const DISPPARAMS& params) {
            const auto live = handlers.lock();
            if (!live)
                return;
            // Copies: a handler may replace the handlers while it runs.
            switch (event) {
            case DISPID_Converter_OnError:
                if (auto handler = live->OnError)
                    handler(vlscom::toUtf8(vlscom::stringArgument(params, 0).value_or(u"")));
                break;
            case DISPID_Converter_OnStart:
                if (auto handler = live->OnStart)
                    handler();
                break;
            case DISPID_Converter_OnProgress:
                if (auto handler = live->OnProgress)
                    handler(vlscom::intArgument(params, 0).value_or(0));
                break;
            case DISPID_Converter_OnFinish:
                if (auto handler = live->OnFinish)
                    handler();
                break;
            default:
                break;
            }
        });
    check(vlscom::advise(m_converter.get(), DIID__IVlsAudioConverterEvents, m_sink->identity(), &m_cookie));
}

ConverterClient::~ConverterClient()
{
    m_handlers.reset();
    if (m_cookie != 0)
        vlscom::unadvise(m_converter.get(), DIID__IVlsAudioConverterEvents, m_cookie);
}

void ConverterClient::setHandlers(ConverterEventHandlers handlers)
{
    *m_handlers = std::move(handlers);
}

void ConverterClient::setSource(IVlsAudioDecoder* decoder)
{
    check(vlscom::putProperty(
        m_converter.get(), DISPID_Converter_Source, vlscom::Variant::fromObject(decoder)));
}

vlscom::ComPtr<IVlsAudioDecoder> ConverterClient::Source() const
{
    return objectProperty<IVlsAudioDecoder>(m_converter.get(), DISPID_Converter_Source);
}

void ConverterClient::setDestination(IVlsAudioEncoder* encoder)
{
    check(vlscom::putProperty(
        m_converter.get(), DISPID_Converter_Destination, vlscom::Variant::fromObject(encoder)));
}

vlscom::ComPtr<IVlsAudioEncoder> ConverterClient::Destination() const
{
    return objectProperty<IVlsAudioEncoder>(m_converter.get(), DISPID_Converter_Destination);
}

void ConverterClient::setKeepTags(Setting keep)
{
    check(vlscom::putProperty(
        m_converter.get(), DISPID_Converter_KeepTags, vlscom::Variant::fromBool(keep == Setting::On)));
}

bool ConverterClient::KeepTags() const
{
    vlscom::Variant value;
    check(vlscom::getProperty(m_converter.get(), DISPID_Converter_KeepTags, value));
    return value.vt == VT_BOOL && value.boolVal != VARIANT_FALSE;
}

void ConverterClient::Go()
{
    check(vlscom::invokeMethod(m_converter.get(), DISPID_Converter_Go));
}

void ConverterClient::GoSync()
{
    check(vlscom::invokeMethod(m_converter.get(), DISPID_Converter_GoSync));
}

void ConverterClient::CancelConversion()
{
    check(vlscom::invokeMethod(m_converter.get(), DISPID_Converter_CancelConversion));
}

} // namespace tmbr::audiotools
