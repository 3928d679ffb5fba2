#include "decodertestsupport.h"
#include "testsupport.h"
#include "vlsaudiodecoder.h"
#include "vlscom/activation.h"
#include "vlscom/dispatchcall.h"
#include "vlscom/errorinfo.h"
#include "vlsmp3x1.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vlscom;
using namespace mp3test;

namespace {

std::string errorText()
{
    const auto error = takeErrorInfo();
    if (!error)
        return "none";
    return toUtf8(error->source) + " | " + toUtf8(error->description);
}

std::string decoderError(const std::string& message)
{
    return "Aurikit.MP3Decoderx1.1 | " + message;
}

class DecoderControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(server().registerServer(), S_OK);
        ASSERT_EQ(createInstance(VlsMP3Decoderx1_ProgID, m_decoder), S_OK);
        ASSERT_TRUE(m_decoder);
    }

    static ServerLibrary& server()
    {
        static ServerLibrary library(VLS_MP3_SERVER);
        return library;
    }

    HRESULT open(const std::string& path) { return m_decoder->Open(Bstr(path).get()); }

    std::vector<std::uint8_t> readAll(std::int32_t piece = 10000)
    {
        std::vector<std::uint8_t> out;
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(piece));
        for (;;) {
            std::int32_t got = 0;
            EXPECT_EQ(m_decoder->Read(buffer.data(), piece, &got), S_OK);
            if (got <= 0)
                break;
            out.insert(out.end(), buffer.begin(), buffer.begin() + got);
        }
        return out;
    }

    std::u16string tag(HRESULT (IAudioTag::*get)(BSTR*))
    {
        ComPtr<IAudioTag> tags;
        EXPECT_EQ(m_decoder->get_TagData(tags.put()), S_OK);
        BSTR value = nullptr;
        EXPECT_EQ((tags.get()->*get)(&value), S_OK);
        std::u16string text(bstrView(value));
        SysFreeString(value);
        return text;
    }

    TemporaryRegistry m_registry;
    TempFolder m_folder;
    ComPtr<IVlsAudioDecoder> m_decoder;
};

} // namespace

// Properties of an open file; the output format is the stream's own at 16 bits.
TEST_F(DecoderControl, PropertiesAndFormat)
{
    const std::string path
        = makeMp3(m_folder, "tone", "-r 44100 -c 2", 3, "-b 128 -t --id3v1-only --tt Song --tn 3");
    ASSERT_EQ(open(path), S_OK);
    std::int32_t value = 0;
    EXPECT_EQ(m_decoder->get_Bitrate(&value), S_OK);
    EXPECT_EQ(value, 128000);
    EXPECT_EQ(m_decoder->get_Duration(&value), S_OK);
    EXPECT_EQ(value, 3);
    WAVEFORMATEX format {};
    EXPECT_EQ(m_decoder->get_Format(&format), S_OK);
    EXPECT_EQ(format.wFormatTag, 1);
    EXPECT_EQ(format.nChannels, 2);
    EXPECT_EQ(format.nSamplesPerSec, 44100u);
    EXPECT_EQ(format.nAvgBytesPerSec, 176400u);
    EXPECT_EQ(format.nBlockAlign, 4);
    EXPECT_EQ(format.wBitsPerSample, 16);
    BSTR name = nullptr;
    EXPECT_EQ(m_decoder->get_Filename(&name), S_OK);
    EXPECT_EQ(toUtf8(bstrView(name)), path);
    SysFreeString(name);
    EXPECT_EQ(tag(&IAudioTag::get_Title), u"Song");
    EXPECT_EQ(tag(&IAudioTag::get_TrackNo), u"3");

    // A file without tags clears the earlier file's fields.
    ASSERT_EQ(open(makeMp3(m_folder, "plain", "-r 44100 -c 1", 1, "-b 64 -t")), S_OK);
    EXPECT_EQ(tag(&IAudioTag::get_Title), u"");
    EXPECT_EQ(tag(&IAudioTag::get_TrackNo), u"");
}

// Messages with no file open, null pointers, system errors and stream errors.
TEST_F(DecoderControl, Errors)
{
    std::int32_t value = 0;
    std::uint8_t byte = 0;
    EXPECT_EQ(m_decoder->Read(&byte, 1, &value), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), decoderError("Read error: file is not open."));
    EXPECT_EQ(m_decoder->Seek(1), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), decoderError("Seek error: file is not open."));
    EXPECT_EQ(m_decoder->put_Position(1), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), decoderError("Seek error: file is not open."));
    EXPECT_EQ(m_decoder->get_Position(&value), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), decoderError("Error accessing property: file is not open."));
    EXPECT_EQ(m_decoder->get_Duration(&value), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), decoderError("Error accessing property: file is not open."));
    EXPECT_EQ(m_decoder->get_Bitrate(nullptr), E_POINTER);
    EXPECT_EQ(m_decoder->Read(nullptr, 1, &value), E_POINTER);
    EXPECT_EQ(m_decoder->Read(&byte, 1, nullptr), E_POINTER);
    EXPECT_EQ(m_decoder->SetOutputFormatWFX(nullptr), E_POINTER);
    EXPECT_EQ(m_decoder->Close(), S_OK);

    EXPECT_EQ(open(m_folder.file("missing.mp3")), HRESULT(0x80070002));
    // A folder and a FIFO are refused at once (a FIFO would otherwise block the open).
    EXPECT_EQ(open(m_folder.path()), HRESULT(0x80070015));
    ASSERT_EQ(::mkfifo(m_folder.file("fifo.mp3").c_str(), 0600), 0);
    EXPECT_EQ(open(m_folder.file("fifo.mp3")), HRESULT(0x80070016));
    writeBytes(m_folder.file("short.mp3"), { 1, 2, 3 });
    EXPECT_EQ(open(m_folder.file("short.mp3")), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), decoderError("Unexpected end of file."));
    writeBytes(m_folder.file("zeros.mp3"), std::vector<std::uint8_t>(70000, 0));
    EXPECT_EQ(open(m_folder.file("zeros.mp3")), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), decoderError("MP3 stream not found in file."));
    EXPECT_EQ(m_decoder->OpenHandle(0), E_NOTIMPL);
}

// Every member is reachable by name and DISPID through IDispatch, and failures come back with the
// same error information as direct calls.
TEST_F(DecoderControl, InvokeReachesTheMembersByDispid)
{
    IDispatch* dispatch = m_decoder.get();
    const std::pair<const char16_t*, DISPID> names[]
        = { { u"Open", DISPID_Decoder_Open }, { u"OpenHandle", DISPID_Decoder_OpenHandle },
              { u"Position", DISPID_Decoder_Position }, { u"Format", DISPID_Decoder_Format },
              { u"Bitrate", DISPID_Decoder_Bitrate }, { u"Duration", DISPID_Decoder_Duration },
              { u"TagData", DISPID_Decoder_TagData }, { u"Filename", DISPID_Decoder_Filename },
              { u"Seek", DISPID_Decoder_Seek }, { u"Read", DISPID_Decoder_Read },
              { u"Close", DISPID_Decoder_Close }, { u"SetOutputFormat", DISPID_Decoder_SetOutputFormat },
              { u"SetOutputFormatWFX", DISPID_Decoder_SetOutputFormatWFX } };
    for (const auto& [name, id] : names) {
        std::u16string text(name);
        LPOLESTR names[] = { text.data() };
        DISPID found = 0;
        ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &found), S_OK) << toUtf8(text);
        EXPECT_EQ(found, id) << toUtf8(text);
    }

    Variant value;
    EXPECT_EQ(getProperty(dispatch, DISPID_Decoder_Duration, value), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), decoderError("Error accessing property: file is not open."));
    EXPECT_EQ(invokeMethod(dispatch, DISPID_Decoder_Seek, { Variant::fromInt(1) }), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), decoderError("Seek error: file is not open."));
    const std::string missing = m_folder.file("missing.mp3");
    EXPECT_EQ(invokeMethod(dispatch, DISPID_Decoder_Open, { Variant::fromString(std::string_view(missing)) }),
        HRESULT(0x80070002));
    writeBytes(m_folder.file("zeros.mp3"), std::vector<std::uint8_t>(70000, 0));
    EXPECT_EQ(invokeMethod(dispatch, DISPID_Decoder_Open,
                  { Variant::fromString(std::string_view(m_folder.file("zeros.mp3"))) }),
        DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), decoderError("MP3 stream not found in file."));

    const std::string path = makeMp3(m_folder, "tone", "-r 44100 -c 1", 2, "-b 64 -t");
    ASSERT_EQ(
        invokeMethod(dispatch, DISPID_Decoder_Open, { Variant::fromString(std::string_view(path)) }), S_OK);
    ASSERT_EQ(getProperty(dispatch, DISPID_Decoder_Bitrate, value), S_OK);
    EXPECT_EQ(value.vt, VT_I4);
    EXPECT_EQ(value.lVal, 64000);
    ASSERT_EQ(getProperty(dispatch, DISPID_Decoder_Duration, value), S_OK);
    EXPECT_EQ(value.vt, VT_I4);
    EXPECT_EQ(value.lVal, 2);
    ASSERT_EQ(getProperty(dispatch, DISPID_Decoder_Position, value), S_OK);
    EXPECT_EQ(value.vt, VT_I4);
    EXPECT_EQ(value.lVal, 0);
    ASSERT_EQ(getProperty(dispatch, DISPID_Decoder_Filename, value), S_OK);
    EXPECT_EQ(value.vt, VT_BSTR);
    EXPECT_EQ(toUtf8(bstrView(value.bstrVal)), path);
    EXPECT_EQ(invokeMethod(dispatch, DISPID_Decoder_Close), S_OK);
    EXPECT_EQ(getProperty(dispatch, DISPID_Decoder_Bitrate, value), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), decoderError("Error accessing property: file is not open."));
}

// Read without conversion gives the reference decoder's samples; after the end Read gives 0
// again; Seek then Read plays again from the target.
TEST_F(DecoderControl, ReadEndAndSeek)
{
    const std::string path = makeMp3(m_folder, "tone", "-r 44100 -c 2", 4, "-b 128 -t");
    ASSERT_EQ(open(path), S_OK);
    const auto whole = toSamples(readAll(4099));
    const auto reference = referencePcm(path);
    ASSERT_EQ(whole.size(), reference.size());
    int worst = 0;
    for (std::size_t i = 0; i < whole.size(); ++i)
        worst = std::max(worst, std::abs(int(whole[i]) - int(reference[i])));
    EXPECT_LE(worst, 1);
    EXPECT_TRUE(readAll().empty());

    EXPECT_EQ(m_decoder->Seek(2), S_OK);
    std::vector<std::uint8_t> buffer(4608);
    std::int32_t got = 0;
    EXPECT_EQ(m_decoder->Read(buffer.data(), 4608, &got), S_OK);
    EXPECT_EQ(got, 4608);
    std::int32_t position = 0;
    EXPECT_EQ(m_decoder->get_Position(&position), S_OK);
    EXPECT_EQ(position, 2);
    const auto rest = readAll();
    EXPECT_NEAR(double(rest.size() + 4608) / 4, 2 * 44100, 44100 * 0.05);
}

// Conversion: 8-bit mono at half the rate, as long as the stream; format changes refused while
// reading.
TEST_F(DecoderControl, OutputFormatConversion)
{
    const std::string path = makeMp3(m_folder, "tone", "-r 44100 -c 2", 2, "-b 128 -t", 1000);
    ASSERT_EQ(open(path), S_OK);
    EXPECT_EQ(m_decoder->SetOutputFormat(3, 0, 0), E_UNEXPECTED);
    EXPECT_EQ(m_decoder->SetOutputFormat(0, 0, 12), E_UNEXPECTED);
    EXPECT_EQ(m_decoder->SetOutputFormat(1, 22050, 8), S_OK);
    WAVEFORMATEX format {};
    EXPECT_EQ(m_decoder->get_Format(&format), S_OK);
    EXPECT_EQ(format.nChannels, 1);
    EXPECT_EQ(format.nSamplesPerSec, 22050u);
    EXPECT_EQ(format.wBitsPerSample, 8);
    EXPECT_EQ(format.nBlockAlign, 1);
    EXPECT_EQ(format.nAvgBytesPerSec, 22050u);
    std::vector<std::uint8_t> first(1000);
    std::int32_t got = 0;
    EXPECT_EQ(m_decoder->Read(first.data(), 1000, &got), S_OK);
    EXPECT_EQ(got, 1000);
    EXPECT_EQ(m_decoder->SetOutputFormat(2, 0, 0), E_UNEXPECTED);
    auto bytes = readAll(3000);
    bytes.insert(bytes.begin(), first.begin(), first.end());
    const std::size_t native = referencePcm(path).size() / 2;
    // The end of the stream drains the resampler: every target instant of the stream comes out.
    EXPECT_EQ(bytes.size(), (native + 1) / 2);
    std::vector<std::int16_t> widened;
    for (const std::uint8_t b : bytes)
        widened.push_back(static_cast<std::int16_t>((b - 128) * 256));
    EXPECT_NEAR(crossingFrequency(widened, 1, 0, 22050), 1000, 3);

    // After the end the format may change again: 0, 0, 0 keeps the native format through the
    // converter.
    ASSERT_EQ(open(path), S_OK);
    EXPECT_EQ(m_decoder->SetOutputFormat(0, 0, 0), S_OK);
    EXPECT_EQ(toSamples(readAll()), referencePcm(path));
}

// Close while the decoding thread is blocked on a full pipe joins it quickly.
TEST_F(DecoderControl, CloseMidStream)
{
    const std::string path = makeMp3(m_folder, "long", "-r 44100 -c 2", 20, "-b 128");
    ASSERT_EQ(open(path), S_OK);
    std::vector<std::uint8_t> buffer(100);
    std::int32_t got = 0;
    EXPECT_EQ(m_decoder->Read(buffer.data(), 100, &got), S_OK);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(m_decoder->Close(), S_OK);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(2000));
    EXPECT_EQ(m_decoder->Read(buffer.data(), 100, &got), DISP_E_EXCEPTION);
    errorText();
    // Released while reading.
    ASSERT_EQ(open(path), S_OK);
    EXPECT_EQ(m_decoder->Read(buffer.data(), 100, &got), S_OK);
    m_decoder.reset();
}
