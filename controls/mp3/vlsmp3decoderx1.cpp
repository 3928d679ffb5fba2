#include "vlsmp3decoderx1.h"

#include "decodererror.h"
#include "ioerror.h"
#include "mp3streamreader.h"
#include "mpg123binding.h"
#include "vlscom/bstr.h"
#include "vlscom/systemerror.h"
#include "vlsmp3x1.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

// The server's registration script for the decoder class (embedded from decoder.reg).
extern const char vlsmp3x1DecoderScript[];

namespace vlsmp3 {

using vlsshell::ControlError;
using vlsshell::requirePointer;

const vlsshell::InterfaceDescription& decoderEventsDescription()
{
    using vlsshell::event;
    using vlsshell::PARAMFLAG_FIN;
    static const vlsshell::InterfaceDescription d { DIID__IVlsAudioDecoderEvents, "_IVlsAudioDecoderEvents",
        "_IVlsAudioDecoderEvents Interface", vlsshell::InterfaceKind::DispInterface,
        {
            event(DISPID_Decoder_OnError, "OnError", "", { { "ErrorMessage", VT_BSTR, PARAMFLAG_FIN } }),
        } };
    return d;
}

const vlsshell::ClassDescription& decoderClass()
{
    static const vlsshell::ClassDescription c { CLSID_VlsMP3Decoderx1, "Aurikit.MP3Decoderx1.1",
        vlsmp3x1DecoderScript, &VlsMP3Decoderx1::create };
    return c;
}

const vlsshell::ControlDescription& VlsMP3Decoderx1::description()
{
    static const vlsshell::ControlDescription control { &decoderClass(), &decoderEventsDescription(),
        "VlsMP3DecoderHelper", {}, vlsshell::Aggregation::Allowed };
    return control;
}

template <class Body> HRESULT VlsMP3Decoderx1::call(Body&& body)
{
    return guard([&] {
        try {
            return body();
        } catch (const DecoderError& error) {
            if (error.id())
                throw ControlError(error.message());
            throw ControlError::status(vlscom::hresultFromErrno(error.errorCode()));
        } catch (const IoError& error) {
            throw ControlError::status(vlscom::hresultFromErrno(error.errorCode()));
        }
    });
}

VlsMP3Decoderx1::~VlsMP3Decoderx1()
{
    closeFile();
}

HRESULT VlsMP3Decoderx1::finalConstruct()
{
    return call([] { Mpg123Binding::bound(); });
}

void VlsMP3Decoderx1::closeFile()
{
    m_thread.reset();
    m_source.reset();
    m_info = StreamInfo {};
    m_output.clear();
}

HRESULT VlsMP3Decoderx1::Open(BSTR szFilename)
{
    return call([&] {
        closeFile();
        m_tags = TagFields {};
        const std::u16string name(vlscom::bstrView(szFilename));
        auto source = std::make_unique<FileSource>(vlscom::toUtf8(name));
        m_info = readStream(*source);
        m_tags = m_info.tags;
        WAVEFORMATEX native {};
        native.wFormatTag = WAVE_FORMAT_PCM;
        native.nChannels = static_cast<std::uint16_t>(m_info.channels);
        native.nSamplesPerSec = static_cast<std::uint32_t>(m_info.sampleRate);
        native.wBitsPerSample = 16;
        native.nBlockAlign = static_cast<std::uint16_t>(m_info.channels * 2);
        native.nAvgBytesPerSec = native.nBlockAlign * native.nSamplesPerSec;
        m_output.setNative(native);
        m_source = std::move(source);
        m_thread = std::make_unique<DecodingThread>(*m_source, m_info);
        m_fileName = name;
    });
}

HRESULT VlsMP3Decoderx1::OpenHandle(std::int64_t)
{
    return call([&] {
        closeFile();
        return E_NOTIMPL;
    });
}

HRESULT VlsMP3Decoderx1::Close()
{
    return call([&] { closeFile(); });
}

HRESULT VlsMP3Decoderx1::get_Position(std::int32_t* pVal)
{
    return call([&] {
        std::int32_t& out = openProperty(pVal);
        out = static_cast<std::int32_t>(std::min(m_thread->positionMs() * 0.001, double(INT32_MAX)));
    });
}

template <class T> T& VlsMP3Decoderx1::openProperty(T* pVal) const
{
    T& out = requirePointer(pVal);
    if (!isOpen())
        throw DecoderError(DecoderMessage::PropertyFileNotOpen);
    return out;
}

void VlsMP3Decoderx1::seekTo(std::int32_t seconds)
{
    if (!isOpen())
        throw DecoderError(DecoderMessage::SeekFileNotOpen);
    m_thread->seek(std::int64_t(std::max(seconds, 0)) * 1000);
}

HRESULT VlsMP3Decoderx1::put_Position(std::int32_t newVal)
{
    return call([&] { seekTo(newVal); });
}

HRESULT VlsMP3Decoderx1::Seek(std::int32_t Position)
{
    return call([&] { seekTo(Position); });
}

HRESULT VlsMP3Decoderx1::get_Format(WAVEFORMATEX* pVal)
{
    return call([&] { openProperty(pVal) = m_output.format(); });
}

HRESULT VlsMP3Decoderx1::get_Bitrate(std::int32_t* pVal)
{
    return call([&] { openProperty(pVal) = m_info.bitrate; });
}

HRESULT VlsMP3Decoderx1::get_Duration(std::int32_t* pVal)
{
    return call([&] {
        openProperty(pVal) = static_cast<std::int32_t>(std::min(m_info.duration, double(INT32_MAX)));
    });
}

HRESULT VlsMP3Decoderx1::get_TagData(IAudioTag** pVal)
{
    return call([&] {
        IAudioTag*& out = requirePointer(pVal);
        out = nullptr;
        return QueryInterface(IAudioTag::iid, reinterpret_cast<void**>(&out));
    });
}

HRESULT VlsMP3Decoderx1::get_Filename(BSTR* pVal)
{
    return call([&] {
        BSTR& out = requirePointer(pVal);
        out = nullptr;
        if (!isOpen())
            throw DecoderError(DecoderMessage::PropertyFileNotOpen);
        out = vlscom::allocBstr(std::u16string_view(m_fileName));
        return out ? S_OK : E_OUTOFMEMORY;
    });
}

HRESULT VlsMP3Decoderx1::Read(std::uint8_t* data, std::int32_t count, std::int32_t* Read)
{
    return call([&] {
        requirePointer(data);
        std::int32_t& out = requirePointer(Read);
        out = 0;
        if (!isOpen())
            throw DecoderError(DecoderMessage::ReadFileNotOpen);
        if (count <= 0)
            return S_OK;
        if (!m_thread->active()) {
            m_output.startRun();
            m_thread->start();
        }
        const auto wanted = static_cast<std::size_t>(count);
        const std::size_t delivered = m_output.converting()
            ? m_output.readConverted(data, wanted,
                [&](std::uint8_t* piece, std::size_t room) { return m_thread->readSome(piece, room); })
            : m_thread->read(data, wanted);
        if (delivered == 0) {
            m_thread->finish();
            m_output.endRun();
        }
        out = static_cast<std::int32_t>(delivered);
        return S_OK;
    });
}

HRESULT VlsMP3Decoderx1::SetOutputFormat(
    std::int32_t nChannels, std::int32_t nSamplesPerSec, std::int32_t nBitsPerSample)
{
    return call([&] { return m_output.setFormat(nChannels, nSamplesPerSec, nBitsPerSample, reading()); });
}

HRESULT VlsMP3Decoderx1::SetOutputFormatWFX(const WAVEFORMATEX* pWfx)
{
    return call([&] { return m_output.setFormat(requirePointer(pWfx), reading()); });
}

} // namespace vlsmp3
