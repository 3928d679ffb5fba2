#include "vlsaudioconverter.h"

#include "convertermessages.h"
#include "decoderselection.h"
#include "vlscom/activation.h"
#include "vlscom/bstr.h"
#include "vlscom/connectionpoint.h"
#include "vlscom/systemerror.h"
#include "waveprobe.h"

#include <sys/stat.h>
#include <system_error>

// The server's registration script for the converter class (embedded from converter.reg).
extern const char vlsconvConverterScript[];

namespace vlsshell {

const InterfaceDescription& InterfaceInfo<IVlsAudioConverter>::description()
{
    using I = IVlsAudioConverter;
    static const InterfaceDescription d { I::iid, "IVlsAudioConverter", "IVlsAudioConverter Interface",
        InterfaceKind::Dual,
        {
            propget<&I::get_Source>(DISPID_Converter_Source, "Source", "Decoder to read samples from."),
            propput<&I::put_Source>(DISPID_Converter_Source, "Source", "Decoder to read samples from."),
            propget<&I::get_Destination>(
                DISPID_Converter_Destination, "Destination", "Audio encoder to write samples to."),
            propput<&I::put_Destination>(
                DISPID_Converter_Destination, "Destination", "Audio encoder to write samples to."),
            propget<&I::get_KeepTags>(DISPID_Converter_KeepTags, "KeepTags",
                "This property defines whether converter should read tag information from decoder and send "
                "it to encoder."),
            propput<&I::put_KeepTags>(DISPID_Converter_KeepTags, "KeepTags",
                "This property defines whether converter should read tag information from decoder and send "
                "it to encoder."),
            method<&I::OpenDestination>(DISPID_Converter_OpenDestination, "OpenDestination",
                " Either use this method to automatically create file with same name but different "
                "extension or call <Encoder>.Open directly."),
            method<&I::Go>(DISPID_Converter_Go, "Go", "Start converting. This method works asynchronously."),
            method<&I::GoSync>(DISPID_Converter_GoSync, "GoSync",
                "Start converting. This method works synchronously and intended to be called from scripts."),
            method<&I::CancelConversion>(
                DISPID_Converter_CancelConversion, "CancelConversion", "Cancel conversion process."),
            method<&I::CreateDecoderFor>(DISPID_Converter_CreateDecoderFor, "CreateDecoderFor",
                "Detects format of file, creates appropriate decoder and opens file.", { "szFilename" }),
        } };
    return d;
}

} // namespace vlsshell

namespace vlsconv {

using vlsshell::ControlError;
using vlsshell::requirePointer;

namespace {

bool endsWithMp3(std::u16string_view name)
{
    if (name.size() < 4)
        return false;
    for (std::size_t i = 0; i < 4; ++i) {
        const char16_t c = name[name.size() - 4 + i];
        if ((c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c) != u".mp3"[i])
            return false;
    }
    return true;
}

// Whether the encoder's Open of `name` would create the very file the source reads (same device
// and inode): its AddExtension adds ".mp3" to a name that does not end in it; an encoder that
// cannot say is taken both ways.
bool opensTheSource(IVlsAudioEncoder& encoder, std::u16string_view source, std::u16string_view name)
{
    struct stat read { };
    if (::stat(vlscom::toUtf8(source).c_str(), &read) != 0)
        return false;
    VARIANT_BOOL addExtension = VARIANT_TRUE;
    const bool known = SUCCEEDED(encoder.get_AddExtension(&addExtension));
    std::u16string candidates[2];
    if (!known || addExtension == VARIANT_FALSE || endsWithMp3(name))
        candidates[0] = name;
    if ((!known || addExtension != VARIANT_FALSE) && !endsWithMp3(name))
        candidates[1] = std::u16string(name) + u".mp3";
    for (const std::u16string& candidate : candidates) {
        struct stat written { };
        if (!candidate.empty() && ::stat(vlscom::toUtf8(candidate).c_str(), &written) == 0
            && written.st_dev == read.st_dev && written.st_ino == read.st_ino)
            return true;
    }
    return false;
}

// A new reference to the held object, through its QueryInterface; null when it holds none.
template <class I> HRESULT queryHeld(const vlscom::ComPtr<I>& held, I** pVal)
{
    I*& out = requirePointer(pVal);
    out = nullptr;
    return held ? held->QueryInterface(I::iid, reinterpret_cast<void**>(&out)) : S_OK;
}

} // namespace

const vlsshell::InterfaceDescription& converterEventsDescription()
{
    using vlsshell::event;
    using vlsshell::PARAMFLAG_FIN;
    static const vlsshell::InterfaceDescription d { DIID__IVlsAudioConverterEvents,
        "_IVlsAudioConverterEvents", "_IVlsAudioConverterEvents Interface",
        vlsshell::InterfaceKind::DispInterface,
        {
            event(DISPID_Converter_OnError, "OnError", "Conversion aborted due to error.",
                { { "ErrorMessage", VT_BSTR, PARAMFLAG_FIN } }),
            event(DISPID_Converter_OnStart, "OnStart", "Conversion is started."),
            event(DISPID_Converter_OnProgress, "OnProgress", "Reports conversion progress.",
                { { "Percent", VT_I4, PARAMFLAG_FIN } }),
            event(DISPID_Converter_OnFinish, "OnFinish", "Conversion is finished."),
        } };
    return d;
}

const vlsshell::ClassDescription& converterClass()
{
    static const vlsshell::ClassDescription c { CLSID_VlsAudioConverter, "Aurikit.AudioConverter.1",
        vlsconvConverterScript, &VlsAudioConverter::create };
    return c;
}

const vlsshell::ControlDescription& VlsAudioConverter::description()
{
    static const vlsshell::ControlDescription control { &converterClass(), &converterEventsDescription(),
        "VlsAudioConverterHelper", { DISPID_Converter_KeepTags }, vlsshell::Aggregation::Allowed };
    return control;
}

VlsAudioConverter::~VlsAudioConverter()
{
    m_cancel = true;
    joinWorker();
    unsubscribe(m_encoderSubscription);
    unsubscribe(m_decoderSubscription);
}

bool VlsAudioConverter::onWindowMessage(UINT message, vlscom::WPARAM wParam)
{
    switch (message) {
    case WM_CONVERTER_ERROR: {
        const auto text = vlscom::Bstr::adopt(reinterpret_cast<BSTR>(wParam));
        fire(DISPID_Converter_OnError, text);
        return true;
    }
    case WM_CONVERTER_START:
        fire(DISPID_Converter_OnStart);
        return true;
    case WM_CONVERTER_PROGRESS:
        fire(DISPID_Converter_OnProgress, static_cast<std::int32_t>(static_cast<std::uint32_t>(wParam)));
        return true;
    case WM_CONVERTER_FINISH:
        // The worker posts this last; unless a new Go has started since, it has ended.
        if (!m_running) {
            joinWorker();
            unsubscribe(m_encoderSubscription);
            unsubscribe(m_decoderSubscription);
        }
        fire(DISPID_Converter_OnFinish);
        return true;
    default:
        return false;
    }
}

void VlsAudioConverter::refuseWhileRunning(std::string_view message) const
{
    if (m_running)
        throw ControlError(std::string(message));
}

void VlsAudioConverter::requireSourceAndDestination() const
{
    if (!m_source)
        throw ControlError(std::string(noDecoderMessage));
    if (!m_destination)
        throw ControlError(std::string(noEncoderMessage));
}

void VlsAudioConverter::joinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

void VlsAudioConverter::subscribe(IUnknown* source, REFIID events, Side side, Subscription& subscription)
{
    unsubscribe(subscription);
    // The listener holds the texts, not the converter: a source that fires after the converter is
    // gone reaches nothing that has been freed.
    std::weak_ptr<ListenerTexts> texts = m_texts;
    auto sink
        = vlscom::makeObject<vlscom::EventSink>(events, [texts, side](DISPID id, const DISPPARAMS& params) {
              const auto shared = texts.lock();
              // OnError is DISPID 1 in both listener interfaces.
              if (!shared || id != DISPID_Encoder_OnError)
                  return;
              std::u16string text = vlscom::stringArgument(params, 0).value_or(u"");
              const std::lock_guard lock(shared->mutex);
              (side == Side::Encoder ? shared->encoder : shared->decoder) = std::move(text);
          });
    if (!sink)
        return;
    DWORD cookie = 0;
    // Sources that publish their errors under other identities refuse this; their failures still
    // arrive as the calls' results.
    if (FAILED(vlscom::advise(source, events, sink->identity(), &cookie)))
        return;
    subscription.source = vlscom::ComPtr<IUnknown>(source);
    subscription.sink = std::move(sink);
    subscription.events = events;
    subscription.cookie = cookie;
}

void VlsAudioConverter::unsubscribe(Subscription& subscription)
{
    if (subscription.source)
        vlscom::unadvise(subscription.source.get(), subscription.events, subscription.cookie);
    subscription = Subscription {};
}

HRESULT VlsAudioConverter::get_Source(IVlsAudioDecoder** pVal)
{
    return guard([&] { return queryHeld(m_source, pVal); });
}

HRESULT VlsAudioConverter::put_Source(IVlsAudioDecoder* newVal)
{
    return guard([&] {
        refuseWhileRunning(propertyWhileRunningMessage);
        m_source = vlscom::ComPtr<IVlsAudioDecoder>(newVal);
    });
}

HRESULT VlsAudioConverter::get_Destination(IVlsAudioEncoder** pVal)
{
    return guard([&] { return queryHeld(m_destination, pVal); });
}

HRESULT VlsAudioConverter::put_Destination(IVlsAudioEncoder* newVal)
{
    return guard([&] {
        refuseWhileRunning(propertyWhileRunningMessage);
        m_destination = vlscom::ComPtr<IVlsAudioEncoder>(newVal);
    });
}

HRESULT VlsAudioConverter::get_KeepTags(VARIANT_BOOL* pVal)
{
    return guard([&] { requirePointer(pVal) = m_keepTags; });
}

HRESULT VlsAudioConverter::put_KeepTags(VARIANT_BOOL newVal)
{
    return guard([&] {
        refuseWhileRunning(propertyWhileRunningMessage);
        m_keepTags = newVal;
    });
}

HRESULT VlsAudioConverter::OpenDestination()
{
    return guard([&] {
        refuseWhileRunning();
        if (!m_source)
            throw ControlError(std::string(openWithoutDecoderMessage));
        if (!m_destination)
            throw ControlError(std::string(openWithoutEncoderMessage));
        vlscom::Bstr sourceName;
        if (const HRESULT hr = m_source->get_Filename(sourceName.put()); FAILED(hr))
            return hr;
        const vlscom::Bstr name(destinationNameFor(sourceName.view()));
        if (!name.get())
            throw std::bad_alloc();
        // With the prompt off the encoder's Open would empty the source before a sample is read.
        if (opensTheSource(*m_destination, sourceName.view(), name.view()))
            throw ControlError(std::string(destinationIsSourceMessage));
        return m_destination->Open(name.get());
    });
}

HRESULT VlsAudioConverter::Go()
{
    return guard([&] {
        requireSourceAndDestination();
        refuseWhileRunning();
        // The previous worker has posted its finish; joining reclaims it.
        joinWorker();
        m_cancel = false;
        {
            const std::lock_guard lock(m_texts->mutex);
            m_texts->encoder.clear();
            m_texts->decoder.clear();
        }
        subscribe(m_source.get(), DIID_VlsConv_IVlsAudioDecoderEvents, Side::Decoder, m_decoderSubscription);
        subscribe(
            m_destination.get(), DIID_VlsConv_IVlsAudioEncoderEvents, Side::Encoder, m_encoderSubscription);
        // Running is set here rather than by the worker, so that a second Go is refused at once.
        m_running = true;
        try {
            m_worker
                = std::thread(&VlsAudioConverter::runWorker, this, m_source, m_destination, m_keepTags != 0);
        } catch (const std::system_error& error) {
            m_running = false;
            unsubscribe(m_encoderSubscription);
            unsubscribe(m_decoderSubscription);
            throw ControlError::status(vlscom::hresultFromErrno(error.code().value()));
        }
    });
}

HRESULT VlsAudioConverter::GoSync()
{
    return guard([&] {
        requireSourceAndDestination();
        refuseWhileRunning();
        return convertSync(*m_source, *m_destination);
    });
}

HRESULT VlsAudioConverter::CancelConversion()
{
    return guard([&] {
        if (!m_running)
            throw ControlError(std::string(cancelWhileIdleMessage));
        m_cancel = true;
    });
}

HRESULT VlsAudioConverter::CreateDecoderFor(BSTR szFilename)
{
    return guard([&] {
        refuseWhileRunning();
        m_source.reset();
        const std::u16string_view name = vlscom::bstrView(szFilename);
        const FileKind kind = fileKindOf(name);
        CLSID decoderClass = GUID_NULL;
        if (kind == FileKind::Wave) {
            const auto tag = probeWaveFileFormatTag(vlscom::toUtf8(name));
            if (tag) {
                const auto chosen = decoderClassForFormatTag(*tag);
                if (!chosen)
                    throw ControlError(std::string(noDecoderFoundMessage));
                decoderClass = *chosen;
            }
        } else if (kind != FileKind::Unknown) {
            decoderClass = decoderClassFor(kind);
        }
        if (decoderClass != GUID_NULL) {
            vlscom::ComPtr<IVlsAudioDecoder> decoder;
            if (const HRESULT hr = CoCreateInstance(
                    decoderClass, nullptr, CLSCTX_ALL, IVlsAudioDecoder::iid, decoder.putVoid());
                FAILED(hr))
                return hr;
            m_source = std::move(decoder);
        }
        if (!m_source)
            throw ControlError(std::string(noDecoderFoundMessage));
        return m_source->Open(szFilename);
    });
}

} // namespace vlsconv
