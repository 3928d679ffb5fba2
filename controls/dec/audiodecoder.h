#pragma once

// A decoder object of vlsdec: IVlsAudioDecoder and IAudioTag over the PcmStream of one file
// format, with the output format conversion, the error information and the OnError event that
// all vlsdec decoders share. Kind names the class:
//
//   struct Kind {
//       static const vlsshell::ControlDescription& description();
//       static void bind();                                        // at creation; throws to fail it
//       static std::unique_ptr<PcmStream> open(const std::string& utf8Path);
//   };
//
// Units: Position, Seek and Duration in whole seconds (truncated toward zero), Bitrate in bits per
// second. A failing Read also posts its message to the helper window, which fires OnError on the
// thread that created the object.

#include "audiotagmembers.h"
#include "decodererror.h"
#include "decoderinterface.h"
#include "decoderoutput.h"
#include "ioerror.h"
#include "pcmformatconverter.h"
#include "pcmstream.h"
#include "vlscom/systemerror.h"
#include "vlsshell/control.h"
#include "vlsshell/controlerror.h"

#include <memory>
#include <optional>
#include <string>

namespace vlsdec {

// The helper window's message that carries a failed Read's text (a BSTR owned by the message).
inline constexpr UINT WM_DECODER_READ_ERROR = 1104;

template <class Kind>
class AudioDecoder final : public vlsshell::Control<AudioDecoder<Kind>, IVlsAudioDecoder,
                               vlsmp3::AudioTagMembers<AudioDecoder<Kind>>> {
public:
    static const vlsshell::ControlDescription& description() { return Kind::description(); }

    AudioDecoder() = default;
    // Closes an open file (a decoding thread is joined here).
    ~AudioDecoder() override;
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    HRESULT finalConstruct();
    bool onWindowMessage(UINT message, vlscom::WPARAM wParam);

    // IVlsAudioDecoder
    HRESULT Open(BSTR szFilename) override;
    HRESULT OpenHandle(std::int64_t hSource) override;
    HRESULT get_Position(std::int32_t* pVal) override;
    HRESULT put_Position(std::int32_t newVal) override;
    HRESULT get_Format(WAVEFORMATEX* pVal) override;
    HRESULT get_Bitrate(std::int32_t* pVal) override;
    HRESULT get_Duration(std::int32_t* pVal) override;
    HRESULT get_TagData(IAudioTag** pVal) override;
    HRESULT get_Filename(BSTR* pVal) override;
    HRESULT Seek(std::int32_t Position) override;
    HRESULT Read(std::uint8_t* data, std::int32_t count, std::int32_t* Read) override;
    HRESULT Close() override;
    HRESULT SetOutputFormat(
        std::int32_t nChannels, std::int32_t nSamplesPerSec, std::int32_t nBitsPerSample) override;
    HRESULT SetOutputFormatWFX(const WAVEFORMATEX* pWfx) override;

private:
    using Base = vlsshell::Control<AudioDecoder<Kind>, IVlsAudioDecoder,
        vlsmp3::AudioTagMembers<AudioDecoder<Kind>>>;

    // guard() that also turns the MP3 engine's DecoderError into the control's error.
    template <class Body> HRESULT call(Body&& body);
    friend vlsmp3::AudioTagMembers<AudioDecoder<Kind>>;
    vlsmp3::TagFields& tagFields() { return m_tags; }
    bool isOpen() const { return m_stream != nullptr; }
    PcmStream& openStream() const;
    void closeFile();
    void seekTo(std::int32_t seconds);
    std::size_t readPlain(std::uint8_t* data, std::size_t count);
    void reportReadFailure(const std::string& message);

    std::u16string m_fileName;
    std::unique_ptr<PcmStream> m_stream;
    // A reading run is under way: from the first Read until a Read delivers 0 bytes.
    bool m_reading = false;
    vlsmp3::DecoderOutput m_output;
    vlsmp3::TagFields m_tags;
};

// The guard of every member: the engine's errors become the control's (defined here so that
// the tag members, instantiated where the classes are made, see it).
template <class Kind> template <class Body> HRESULT AudioDecoder<Kind>::call(Body&& body)
{
    return this->guard([&] {
        try {
            return body();
        } catch (const vlsmp3::DecoderError& error) {
            if (error.id())
                throw vlsshell::ControlError(error.message());
            throw vlsshell::ControlError::status(vlscom::hresultFromErrno(error.errorCode()));
        } catch (const vlsmp3::IoError& error) {
            throw vlsshell::ControlError::status(vlscom::hresultFromErrno(error.errorCode()));
        }
    });
}

} // namespace vlsdec
