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
    return call([] {
        Mpg123Binding::bound();
        return S_OK;
    });
}

void VlsMP3Decoderx1::closeFile()
{
    m_thread.reset();
    m_source.reset();
    m_native = WAVEFORMATEX {};
    m_info = StreamInfo {};
    m_target.reset();
    m_converter.reset();
    m_pipeEnded = false;
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
        m_native.wFormatTag = WAVE_FORMAT_PCM;
        m_native.nChannels = static_cast<std::uint16_t>(m_info.channels);
        m_native.nSamplesPerSec = static_cast<std::uint32_t>(m_info.sampleRate);
        m_native.wBitsPerSample = 16;
        m_native.nBlockAlign = static_cast<std::uint16_t>(m_info.channels * 2);
        m_native.nAvgBytesPerSec = m_native.nBlockAlign * m_native.nSamplesPerSec;
        m_native.cbSize = 0;
        m_source = std::move(source);
        m_thread = std::make_unique<DecodingThread>(*m_source, m_info);
        m_fileName = name;
        return S_OK;
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
    return call([&] {
        closeFile();
        return S_OK;
    });
}

HRESULT VlsMP3Decoderx1::get_Position(std::int32_t* pVal)
{
    return call([&] {
        std::int32_t& out = requirePointer(pVal);
        if (!isOpen())
            throw DecoderError(DecoderMessage::PropertyFileNotOpen);
        out = static_cast<std::int32_t>(std::min(m_thread->positionMs() * 0.001, double(INT32_MAX)));
        return S_OK;
    });
}

void VlsMP3Decoderx1::seekTo(std::int32_t seconds)
{
    if (!isOpen())
        throw DecoderError(DecoderMessage::SeekFileNotOpen);
    m_thread->seek(std::int64_t(std::max(seconds, 0)) * 1000);
}

HRESULT VlsMP3Decoderx1::put_Position(std::int32_t newVal)
{
    return call([&] {
        seekTo(newVal);
        return S_OK;
    });
}

HRESULT VlsMP3Decoderx1::Seek(std::int32_t Position)
{
    return call([&] {
        seekTo(Position);
        return S_OK;
    });
}

HRESULT VlsMP3Decoderx1::get_Format(WAVEFORMATEX* pVal)
{
    return call([&] {
        WAVEFORMATEX& out = requirePointer(pVal);
        if (!isOpen())
            throw DecoderError(DecoderMessage::PropertyFileNotOpen);
        out = m_target ? *m_target : m_native;
        return S_OK;
    });
}

HRESULT VlsMP3Decoderx1::get_Bitrate(std::int32_t* pVal)
{
    return call([&] {
        std::int32_t& out = requirePointer(pVal);
        if (!isOpen())
            throw DecoderError(DecoderMessage::PropertyFileNotOpen);
        out = m_info.bitrate;
        return S_OK;
    });
}

HRESULT VlsMP3Decoderx1::get_Duration(std::int32_t* pVal)
{
    return call([&] {
        std::int32_t& out = requirePointer(pVal);
        if (!isOpen())
            throw DecoderError(DecoderMessage::PropertyFileNotOpen);
        out = static_cast<std::int32_t>(std::min(m_info.duration, double(INT32_MAX)));
        return S_OK;
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

std::size_t VlsMP3Decoderx1::readConverted(std::uint8_t* data, std::size_t count)
{
    PcmFormatConverter& converter = *m_converter;
    if (count >= converter.held()) {
        std::vector<std::uint8_t> piece(16384);
        while (converter.held() < count && !m_pipeEnded) {
            if (converter.inputRoom() < piece.size())
                converter.processWholeBlocks();
            const std::size_t room = std::min(piece.size(), converter.inputRoom());
            if (room == 0)
                break;
            const std::size_t n = m_thread->readSome(piece.data(), room);
            if (n == 0) {
                m_pipeEnded = true;
                break;
            }
            converter.push(std::span(piece.data(), n));
        }
        if (m_pipeEnded)
            converter.flush();
    }
    return converter.take(std::span(data, count));
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
            m_pipeEnded = false;
            m_thread->start();
        }
        const std::size_t delivered = m_converter ? readConverted(data, static_cast<std::size_t>(count))
                                                  : m_thread->read(data, static_cast<std::size_t>(count));
        if (delivered == 0) {
            m_thread->finish();
            m_pipeEnded = false;
        }
        out = static_cast<std::int32_t>(delivered);
        return S_OK;
    });
}

void VlsMP3Decoderx1::setTarget(const WAVEFORMATEX& target)
{
    if (m_thread && m_thread->active())
        throw ControlError::status(E_UNEXPECTED);
    try {
        auto converter = std::make_unique<PcmFormatConverter>(
            PcmFormat { m_native.nChannels, m_native.nSamplesPerSec, m_native.wBitsPerSample },
            PcmFormat { target.nChannels, target.nSamplesPerSec, target.wBitsPerSample });
        m_converter = std::move(converter);
        m_target = target;
    } catch (const std::invalid_argument&) {
        // A rate of 0 (or a record without a file open) has nothing to convert to.
        throw ControlError::status(E_UNEXPECTED);
    }
}

HRESULT VlsMP3Decoderx1::SetOutputFormat(
    std::int32_t nChannels, std::int32_t nSamplesPerSec, std::int32_t nBitsPerSample)
{
    return call([&] {
        if (nChannels < 0 || nChannels > 2
            || (nBitsPerSample != 0 && nBitsPerSample != 8 && nBitsPerSample != 16) || nSamplesPerSec < 0)
            return E_UNEXPECTED;
        WAVEFORMATEX target = m_target ? *m_target : m_native;
        if (nChannels)
            target.nChannels = static_cast<std::uint16_t>(nChannels);
        if (nSamplesPerSec)
            target.nSamplesPerSec = static_cast<std::uint32_t>(nSamplesPerSec);
        if (nBitsPerSample)
            target.wBitsPerSample = static_cast<std::uint16_t>(nBitsPerSample);
        target.nBlockAlign = static_cast<std::uint16_t>(target.nChannels * target.wBitsPerSample / 8);
        target.nAvgBytesPerSec = target.nSamplesPerSec * target.nBlockAlign;
        setTarget(target);
        return S_OK;
    });
}

HRESULT VlsMP3Decoderx1::SetOutputFormatWFX(const WAVEFORMATEX* pWfx)
{
    return call([&] {
        const WAVEFORMATEX& format = requirePointer(pWfx);
        if ((format.nChannels != 1 && format.nChannels != 2)
            || (format.wBitsPerSample != 8 && format.wBitsPerSample != 16))
            return E_UNEXPECTED;
        setTarget(format);
        return S_OK;
    });
}

} // namespace vlsmp3
