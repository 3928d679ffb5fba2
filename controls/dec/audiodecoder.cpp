#include "audiodecoder.h"

#include "decodererror.h"
#include "decoderkinds.h"
#include "ioerror.h"
#include "vlscom/bstr.h"
#include "vlscom/systemerror.h"
#include "vlsdecmessages.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <vector>

namespace vlsdec {

using vlsmp3::TagFields;
using vlsshell::ControlError;
using vlsshell::requirePointer;

template <class Kind> AudioDecoder<Kind>::~AudioDecoder()
{
    closeFile();
}

template <class Kind> HRESULT AudioDecoder<Kind>::finalConstruct()
{
    return call([] { Kind::bind(); });
}

template <class Kind> bool AudioDecoder<Kind>::onWindowMessage(UINT message, vlscom::WPARAM wParam)
{
    if (message != WM_DECODER_READ_ERROR)
        return false;
    const auto text = vlscom::Bstr::adopt(reinterpret_cast<BSTR>(wParam));
    this->fire(DISPID_Decoder_OnError, text);
    return true;
}

template <class Kind> void AudioDecoder<Kind>::reportReadFailure(const std::string& message)
{
    // Read may run on a worker thread (a converter's): the event goes through the helper window.
    if (const BSTR text = vlscom::allocBstr(std::string_view(message)))
        this->post(WM_DECODER_READ_ERROR, reinterpret_cast<vlscom::WPARAM>(text), vlscom::freeBstrPayload);
}

template <class Kind> PcmStream& AudioDecoder<Kind>::openStream() const
{
    if (!m_stream)
        fail(DecMessage::PropertyFileNotOpen);
    return *m_stream;
}

template <class Kind> void AudioDecoder<Kind>::closeFile()
{
    if (m_stream && m_reading)
        m_stream->endRun();
    m_stream.reset();
    m_reading = false;
    m_output.clear();
}

template <class Kind> HRESULT AudioDecoder<Kind>::Open(BSTR szFilename)
{
    return call([&] {
        closeFile();
        m_tags = TagFields {};
        const std::u16string name(vlscom::bstrView(szFilename));
        std::unique_ptr<PcmStream> stream = Kind::open(vlscom::toUtf8(name));
        m_output.setNative(stream->format());
        m_tags = stream->tags();
        m_stream = std::move(stream);
        m_fileName = name;
    });
}

template <class Kind> HRESULT AudioDecoder<Kind>::OpenHandle(std::int64_t)
{
    return call([&] {
        closeFile();
        return E_NOTIMPL;
    });
}

template <class Kind> HRESULT AudioDecoder<Kind>::Close()
{
    return call([&] { closeFile(); });
}

template <class Kind> HRESULT AudioDecoder<Kind>::get_Position(std::int32_t* pVal)
{
    return call([&] {
        std::int32_t& out = requirePointer(pVal);
        out = static_cast<std::int32_t>(std::min(openStream().positionMs() * 0.001, double(INT32_MAX)));
    });
}

template <class Kind> void AudioDecoder<Kind>::seekTo(std::int32_t seconds)
{
    if (!isOpen())
        fail(DecMessage::SeekFileNotOpen);
    m_stream->seek(std::int64_t(std::max(seconds, 0)) * 1000);
}

template <class Kind> HRESULT AudioDecoder<Kind>::put_Position(std::int32_t newVal)
{
    return call([&] { seekTo(newVal); });
}

template <class Kind> HRESULT AudioDecoder<Kind>::Seek(std::int32_t Position)
{
    return call([&] { seekTo(Position); });
}

template <class Kind> HRESULT AudioDecoder<Kind>::get_Format(WAVEFORMATEX* pVal)
{
    return call([&] {
        WAVEFORMATEX& out = requirePointer(pVal);
        openStream();
        out = m_output.format();
    });
}

template <class Kind> HRESULT AudioDecoder<Kind>::get_Bitrate(std::int32_t* pVal)
{
    return call([&] {
        std::int32_t& out = requirePointer(pVal);
        out = openStream().bitrate();
    });
}

template <class Kind> HRESULT AudioDecoder<Kind>::get_Duration(std::int32_t* pVal)
{
    return call([&] {
        std::int32_t& out = requirePointer(pVal);
        out = static_cast<std::int32_t>(std::clamp(openStream().duration(), 0.0, double(INT32_MAX)));
    });
}

template <class Kind> HRESULT AudioDecoder<Kind>::get_TagData(IAudioTag** pVal)
{
    return call([&] {
        IAudioTag*& out = requirePointer(pVal);
        out = nullptr;
        return this->QueryInterface(IAudioTag::iid, reinterpret_cast<void**>(&out));
    });
}

template <class Kind> HRESULT AudioDecoder<Kind>::get_Filename(BSTR* pVal)
{
    return call([&] {
        BSTR& out = requirePointer(pVal);
        out = nullptr;
        openStream();
        out = vlscom::allocBstr(std::u16string_view(m_fileName));
        return out ? S_OK : E_OUTOFMEMORY;
    });
}

template <class Kind> std::size_t AudioDecoder<Kind>::readPlain(std::uint8_t* data, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const std::size_t n = m_stream->read(std::span(data + done, count - done));
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

template <class Kind>
HRESULT AudioDecoder<Kind>::Read(std::uint8_t* data, std::int32_t count, std::int32_t* Read)
{
    return call([&] {
        requirePointer(data);
        std::int32_t& out = requirePointer(Read);
        out = 0;
        try {
            if (!isOpen())
                fail(DecMessage::ReadFileNotOpen);
            if (count <= 0)
                return S_OK;
            if (!m_reading) {
                m_output.startRun();
                m_stream->startRun();
                m_reading = true;
            }
            const auto wanted = static_cast<std::size_t>(count);
            const std::size_t delivered = m_output.converting() ? m_output.readConverted(data, wanted,
                                              [&](std::uint8_t* piece, std::size_t room) {
                                                  return m_stream->read(std::span(piece, room));
                                              })
                                                                : readPlain(data, wanted);
            if (delivered == 0) {
                m_reading = false;
                m_output.endRun();
                m_stream->endRun();
            }
            out = static_cast<std::int32_t>(delivered);
            return S_OK;
        } catch (const ControlError& error) {
            reportReadFailure(error.hasMessage() ? error.message()
                                                 : "Read error: " + vlscom::describeHresult(error.code()));
            throw;
        } catch (const vlsmp3::DecoderError& error) {
            reportReadFailure(error.id() ? error.message()
                                         : vlscom::formatSystemError("Read error: %s", error.errorCode()));
            throw;
        } catch (const vlsmp3::IoError& error) {
            reportReadFailure(vlscom::formatSystemError("Read error: %s", error.errorCode()));
            throw;
        }
    });
}

template <class Kind>
HRESULT AudioDecoder<Kind>::SetOutputFormat(
    std::int32_t nChannels, std::int32_t nSamplesPerSec, std::int32_t nBitsPerSample)
{
    return call([&] { return m_output.setFormat(nChannels, nSamplesPerSec, nBitsPerSample, m_reading); });
}

template <class Kind> HRESULT AudioDecoder<Kind>::SetOutputFormatWFX(const WAVEFORMATEX* pWfx)
{
    return call([&] { return m_output.setFormat(requirePointer(pWfx), m_reading); });
}

template class AudioDecoder<WaveKind>;
template class AudioDecoder<Mp3Kind>;
template class AudioDecoder<VorbisKind>;

} // namespace vlsdec
