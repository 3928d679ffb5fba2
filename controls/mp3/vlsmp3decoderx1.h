#pragma once

// The MP3 decoder control: IVlsAudioDecoder and IAudioTag on one object, the event source of
// _IVlsAudioDecoderEvents (declared; no operation raises it: failures are returned).

#include "audiotagmembers.h"
#include "decoderclass.h"
#include "decoderinterface.h"
#include "decoderoutput.h"
#include "decodingthread.h"
#include "filesource.h"
#include "pcmformatconverter.h"
#include "streaminfo.h"
#include "vlsaudiodecoder.h"
#include "vlsaudiotag.h"
#include "vlsshell/control.h"

#include <memory>
#include <optional>

namespace vlsmp3 {

const vlsshell::InterfaceDescription& decoderEventsDescription();

class VlsMP3Decoderx1 final
    : public vlsshell::Control<VlsMP3Decoderx1, IVlsAudioDecoder, AudioTagMembers<VlsMP3Decoderx1>> {
public:
    static const vlsshell::ControlDescription& description();

    VlsMP3Decoderx1() = default;
    // Closes an open file (the decoding thread is joined here).
    ~VlsMP3Decoderx1() override;
    VlsMP3Decoderx1(const VlsMP3Decoderx1&) = delete;
    VlsMP3Decoderx1& operator=(const VlsMP3Decoderx1&) = delete;

    // Binds the decoding engine: fails with its message when the library cannot be used.
    HRESULT finalConstruct();

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
    // guard() that also turns the engine's DecoderError into the control's error.
    template <class Body> HRESULT call(Body&& body);
    friend AudioTagMembers<VlsMP3Decoderx1>;
    TagFields& tagFields() { return m_tags; }
    bool isOpen() const { return m_source != nullptr; }
    void closeFile();
    // The out-parameter of a property that needs an open file. The right side of an assignment is
    // evaluated first: a value that needs the file is computed after this returns.
    template <class T> T& openProperty(T* pVal) const;
    void seekTo(std::int32_t seconds);
    // The decoding thread runs: the output format cannot change.
    bool reading() const { return m_thread && m_thread->active(); }

    std::u16string m_fileName;
    std::unique_ptr<FileSource> m_source;
    StreamInfo m_info;
    std::unique_ptr<DecodingThread> m_thread;
    DecoderOutput m_output;
    TagFields m_tags;
};

} // namespace vlsmp3
