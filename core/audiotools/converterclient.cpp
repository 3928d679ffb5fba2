#include "converterclient.h"

#include "componenterror.h"
#include "vlscom/activation.h"
#include "vlscom/dispatchcall.h"

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
    : m_converter(createControl<IVlsAudioConverter>(audioConverterControl))
    , m_events(m_converter.get(), DIID__IVlsAudioConverterEvents,
          { DISPID_Converter_OnError, DISPID_Converter_OnStart, DISPID_Converter_OnProgress,
              DISPID_Converter_OnFinish },
          { &ConverterEventHandlers::OnError, &ConverterEventHandlers::OnStart,
              &ConverterEventHandlers::OnProgress, &ConverterEventHandlers::OnFinish })
{
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
