#include "encoderclient.h"

#include "componenterror.h"
#include "vlscom/activation.h"
#include "vlscom/dispatchcall.h"
#include "vlsmp3x1.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace tmbr::audiotools {

namespace {

using TagGetter = HRESULT (IAudioTag::*)(BSTR*);
using TagPutter = HRESULT (IAudioTag::*)(BSTR);

// The tag object is a second dual interface on the encoder, so its members are called directly.
std::pair<TagGetter, TagPutter> tagMembers(TagField field)
{
    switch (field) {
    case TagField::Title:
        return { &IAudioTag::get_Title, &IAudioTag::put_Title };
    case TagField::Artist:
        return { &IAudioTag::get_Artist, &IAudioTag::put_Artist };
    case TagField::Album:
        return { &IAudioTag::get_Album, &IAudioTag::put_Album };
    case TagField::Year:
        return { &IAudioTag::get_Year, &IAudioTag::put_Year };
    case TagField::Genre:
        return { &IAudioTag::get_Genre, &IAudioTag::put_Genre };
    case TagField::TrackNo:
        return { &IAudioTag::get_TrackNo, &IAudioTag::put_TrackNo };
    case TagField::Comment:
        break;
    }
    return { &IAudioTag::get_Comment, &IAudioTag::put_Comment };
}

vlscom::ComPtr<IAudioTag> tagData(IVlsAudioEncoder* encoder)
{
    vlscom::ComPtr<IAudioTag> tags;
    check(encoder->get_TagData(tags.put()));
    if (!tags)
        throw ComponentError("The encoder has no tag object.");
    return tags;
}

} // namespace

std::string mp3OutputName(const std::string& path)
{
    if (path.size() >= 4) {
        bool endsInMp3 = true;
        for (std::size_t i = 0; i < 4; ++i) {
            const char c = path[path.size() - 4 + i];
            endsInMp3
                = endsInMp3 && (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == ".mp3"[i];
        }
        if (endsInMp3)
            return path;
    }
    return path + ".mp3";
}

bool sameFile(const std::string& input, const std::string& output)
{
    std::error_code error;
    return std::filesystem::equivalent(input, output, error) && !error;
}

EncoderClient::EncoderClient()
    : m_encoder(createControl<IVlsAudioEncoder>(mp3EncoderControl))
    , m_events(m_encoder.get(), DIID__IVlsAudioEncoderEvents,
          { DISPID_Encoder_OnError, DISPID_Encoder_OnWaveEncodeStart, DISPID_Encoder_OnWaveEncodeProgress,
              DISPID_Encoder_OnWaveEncodeFinish },
          { &EncoderEventHandlers::OnError, &EncoderEventHandlers::OnWaveEncodeStart,
              &EncoderEventHandlers::OnWaveEncodeProgress, &EncoderEventHandlers::OnWaveEncodeFinish })
{
}

void EncoderClient::setOverwritePrompt(Setting prompt)
{
    check(vlscom::putProperty(
        m_encoder.get(), DISPID_Encoder_OverwritePrompt, vlscom::Variant::fromBool(prompt == Setting::On)));
}

bool EncoderClient::overwritePrompt() const
{
    vlscom::Variant value;
    check(vlscom::getProperty(m_encoder.get(), DISPID_Encoder_OverwritePrompt, value));
    return value.vt == VT_BOOL && value.boolVal != VARIANT_FALSE;
}

void EncoderClient::setAddExtension(Setting add)
{
    check(vlscom::putProperty(
        m_encoder.get(), DISPID_Encoder_AddExtension, vlscom::Variant::fromBool(add == Setting::On)));
}

void EncoderClient::Open(const std::string& path)
{
    check(vlscom::invokeMethod(
        m_encoder.get(), DISPID_Encoder_Open, { vlscom::Variant::fromString(std::string_view(path)) }));
}

std::string EncoderClient::Filename() const
{
    vlscom::Variant value;
    check(vlscom::getProperty(m_encoder.get(), DISPID_Encoder_Filename, value));
    return value.vt == VT_BSTR ? vlscom::toUtf8(vlscom::bstrView(value.bstrVal)) : std::string();
}

void EncoderClient::SetInputFormat(
    std::int32_t channels, std::int32_t samplesPerSec, std::int32_t bitsPerSample)
{
    check(vlscom::invokeMethod(m_encoder.get(), DISPID_Encoder_SetInputFormat,
        { vlscom::Variant::fromInt(channels), vlscom::Variant::fromInt(samplesPerSec),
            vlscom::Variant::fromInt(bitsPerSample) }));
}

void EncoderClient::SetInputFormatWFX(const WAVEFORMATEX& format)
{
    WAVEFORMATEX copy = format;
    check(vlscom::invokeMethod(m_encoder.get(), DISPID_Encoder_SetInputFormatWFX,
        { vlscom::Variant::byReference(VT_RECORD, &copy) }));
}

void EncoderClient::SetOutputFormatVBR(float quality)
{
    check(vlscom::invokeMethod(
        m_encoder.get(), DISPID_Encoder_SetOutputFormatVBR, { vlscom::Variant::fromFloat(quality) }));
}

void EncoderClient::SetOutputFormatABR(std::int32_t averageBitrate)
{
    check(vlscom::invokeMethod(
        m_encoder.get(), DISPID_Encoder_SetOutputFormatABR, { vlscom::Variant::fromInt(averageBitrate) }));
}

void EncoderClient::SetOutputFormatCBR(std::int32_t bitrate)
{
    check(vlscom::invokeMethod(
        m_encoder.get(), DISPID_Encoder_SetOutputFormatCBR, { vlscom::Variant::fromInt(bitrate) }));
}

void EncoderClient::ForceEncodedSamplerate(std::int32_t sampleRate)
{
    check(vlscom::invokeMethod(
        m_encoder.get(), DISPID_Encoder_ForceEncodedSamplerate, { vlscom::Variant::fromInt(sampleRate) }));
}

void EncoderClient::setTag(TagField field, const std::string& utf8)
{
    const vlscom::Bstr value(std::string_view { utf8 });
    check((tagData(m_encoder.get()).get()->*tagMembers(field).second)(value.get()));
}

std::string EncoderClient::tag(TagField field) const
{
    vlscom::Bstr value;
    check((tagData(m_encoder.get()).get()->*tagMembers(field).first)(value.put()));
    return value.utf8();
}

void EncoderClient::EncodeFromWave(const std::string& wavePath)
{
    check(vlscom::invokeMethod(m_encoder.get(), DISPID_Encoder_EncodeFromWave,
        { vlscom::Variant::fromString(std::string_view(wavePath)) }));
}

void EncoderClient::EncodeFromWaveSync(const std::string& wavePath)
{
    check(vlscom::invokeMethod(m_encoder.get(), DISPID_Encoder_EncodeFromWaveSync,
        { vlscom::Variant::fromString(std::string_view(wavePath)) }));
}

void EncoderClient::Write(const std::uint8_t* data, std::int32_t count)
{
    check(vlscom::invokeMethod(m_encoder.get(), DISPID_Encoder_Write,
        { vlscom::Variant::byReference(VT_UI1, const_cast<std::uint8_t*>(data)),
            vlscom::Variant::fromInt(count) }));
}

void EncoderClient::Close()
{
    check(vlscom::invokeMethod(m_encoder.get(), DISPID_Encoder_Close));
}

} // namespace tmbr::audiotools
