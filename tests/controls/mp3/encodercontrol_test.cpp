#include "mp3testsupport.h"
#include "testsupport.h"
#include "vlsaudioencoder.h"
#include "vlscom/activation.h"
#include "vlscom/classinfo.h"
#include "vlscom/connectionpoint.h"
#include "vlscom/dispatchcall.h"
#include "vlscom/errorinfo.h"
#include "vlscom/eventsink.h"
#include "vlscom/messagebox.h"
#include "vlscom/messagequeue.h"
#include "vlscom/persist.h"
#include "vlscom/stream.h"
#include "vlsmp3x1.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using namespace vlscom;
using mp3test::readBytes;
using mp3test::TempFolder;

namespace {
template <class I> ComPtr<I> query(IUnknown* object)
{
    ComPtr<I> result;
    object->QueryInterface(I::iid, result.putVoid());
    return result;
}

std::string errorText()
{
    const auto error = takeErrorInfo();
    if (!error)
        return "none";
    return toUtf8(error->source) + " | " + toUtf8(error->description) + " | " + formatGuid(error->iid);
}

std::string encoderError(const std::string& message)
{
    return "Aurikit.MP3Encoderx1.1 | " + message + " | {00000000-0000-0000-0000-000000000000}";
}

struct Question {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};

struct Event {
    std::thread::id thread;
    DISPID id;
    std::u16string text;
};

class EncoderControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(server().registerServer(), S_OK);
        ASSERT_EQ(createInstance(VlsMP3Encoderx1_ProgID, m_encoder), S_OK);
        ASSERT_TRUE(m_encoder);
    }

    void TearDown() override
    {
        SetMessageBoxHandler({});
        m_encoder.reset();
        PumpMessages();
    }

    static ServerLibrary& server()
    {
        static ServerLibrary library(VLS_MP3_SERVER);
        return library;
    }

    // Connects a sink that records every event with the thread it arrived on.
    DWORD recordEvents(std::vector<Event>& events)
    {
        m_sink = makeObject<EventSink>(
            DIID__IVlsAudioEncoderEvents, [&events](DISPID id, const DISPPARAMS& params) {
                events.push_back({ std::this_thread::get_id(), id, stringArgument(params, 0).value_or(u"") });
            });
        DWORD cookie = 0;
        EXPECT_EQ(advise(m_encoder.get(), DIID__IVlsAudioEncoderEvents, m_sink->identity(), &cookie), S_OK);
        return cookie;
    }

    HRESULT open(const std::string& path)
    {
        const Bstr name(std::string_view { path });
        return m_encoder->Open(name.get());
    }

    HRESULT write(const std::vector<std::uint8_t>& pcm)
    {
        return m_encoder->Write(pcm.data(), static_cast<std::int32_t>(pcm.size()));
    }

    TemporaryRegistry m_registry;
    TempFolder m_folder;
    ComPtr<IVlsAudioEncoder> m_encoder;
    ComPtr<EventSink> m_sink;
};
} // namespace

// Created by ProgID, the object answers both dual interfaces with one identity; TagData is that
// same object, with a new reference.
TEST_F(EncoderControl, AnswersItsInterfacesOnOneObject)
{
    EXPECT_EQ(referenceCount(m_encoder.get()), 1U);
    auto tag = query<IAudioTag>(m_encoder.get());
    ASSERT_TRUE(tag);
    EXPECT_EQ(query<IUnknown>(tag.get()).get(), query<IUnknown>(m_encoder.get()).get());
    tag.reset();
    ComPtr<IAudioTag> tagData;
    ASSERT_EQ(m_encoder->get_TagData(tagData.put()), S_OK);
    EXPECT_EQ(referenceCount(m_encoder.get()), 2U);
    EXPECT_EQ(query<IUnknown>(tagData.get()).get(), query<IUnknown>(m_encoder.get()).get());
    tagData.reset();
    EXPECT_EQ(referenceCount(m_encoder.get()), 1U);
    for (const IID& iid : { IDispatch::iid, IPersistStreamInit::iid, IPersist::iid, ISupportErrorInfo::iid,
             IConnectionPointContainer::iid, IProvideClassInfo2::iid }) {
        ComPtr<IUnknown> answer;
        EXPECT_EQ(m_encoder->QueryInterface(iid, answer.putVoid()), S_OK) << formatGuid(iid);
    }
    CLSID clsid {};
    ASSERT_EQ(query<IPersist>(m_encoder.get())->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_VlsMP3Encoderx1);
    EXPECT_EQ(
        query<ISupportErrorInfo>(m_encoder.get())->InterfaceSupportsErrorInfo(IVlsAudioEncoder::iid), S_OK);
}

// Failures carry the catalogue message as error information from the versioned ProgID; null
// out-pointers give E_POINTER without any.
TEST_F(EncoderControl, ReportsFailuresAsErrorInformation)
{
    EXPECT_EQ(m_encoder->SetInputFormat(3, 44000, 16), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), encoderError("Input must have 1 or 2 channels."));
    EXPECT_EQ(m_encoder->SetInputFormat(2, 44000, 16), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(),
        encoderError("Wrong input sample rate. Possible values are: 8000, 11025, 12000, 16000, "
                     "22050, 24000, 32000, 44100, 48000."));
    const WAVEFORMATEX adpcm { 2, 2, 44100, 0, 0, 4, 0 };
    EXPECT_EQ(m_encoder->SetInputFormatWFX(&adpcm), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), encoderError("Only uncompressed PCM wave format is supported."));
    EXPECT_EQ(m_encoder->SetOutputFormatCBR(100000), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), encoderError("Wrong bitrate specified for this input format."));
    const std::uint8_t byte = 0;
    EXPECT_EQ(m_encoder->Write(&byte, 1), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), encoderError("Error: cannot write: file is not open."));
    Bstr name;
    EXPECT_EQ(m_encoder->get_Filename(name.put()), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), encoderError("Error: cannot access property: file is not open."));
    EXPECT_EQ(m_encoder->OpenHandle(-1), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), encoderError("Internal error #4. Null handle passed to OpenHandle method."));
    EXPECT_EQ(m_encoder->Close(), S_OK);

    EXPECT_EQ(m_encoder->get_Filename(nullptr), E_POINTER);
    EXPECT_EQ(m_encoder->get_AddExtension(nullptr), E_POINTER);
    EXPECT_EQ(m_encoder->get_OverwritePrompt(nullptr), E_POINTER);
    EXPECT_EQ(m_encoder->get_TagData(nullptr), E_POINTER);
    EXPECT_EQ(m_encoder->SetInputFormatWFX(nullptr), E_POINTER);
    EXPECT_EQ(m_encoder->Write(nullptr, 0), E_POINTER);
    EXPECT_EQ(query<IAudioTag>(m_encoder.get())->get_Title(nullptr), E_POINTER);
    EXPECT_EQ(errorText(), "none");
}

// Every member is reachable by name and DISPID through IDispatch, and failures come back the same.
TEST_F(EncoderControl, InvokeReachesTheMembersByDispid)
{
    IDispatch* dispatch = m_encoder.get();
    const std::pair<const char16_t*, DISPID> names[] = { { u"Open", 1 }, { u"OpenHandle", 2 },
        { u"SetInputFormat", 3 }, { u"SetInputFormatWFX", 4 }, { u"SetOutputFormatVBR", 5 },
        { u"SetOutputFormatABR", 6 }, { u"SetOutputFormatCBR", 7 }, { u"Write", 8 }, { u"Close", 9 },
        { u"Filename", 10 }, { u"AddExtension", 11 }, { u"TagData", 12 }, { u"OverwritePrompt", 13 },
        { u"EncodeFromWave", 15 }, { u"EncodeFromWaveSync", 16 }, { u"ForceEncodedSamplerate", 17 } };
    for (const auto& [name, id] : names) {
        std::u16string text(name);
        LPOLESTR names[] = { text.data() };
        DISPID found = 0;
        ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &found), S_OK) << toUtf8(text);
        EXPECT_EQ(found, id) << toUtf8(text);
    }
    EXPECT_EQ(invokeMethod(dispatch, DISPID_Encoder_SetOutputFormatABR, { Variant::fromInt(79999) }),
        DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), encoderError("Bitrate must be between 80000 and 320000 in ABR mode."));
    EXPECT_EQ(invokeMethod(dispatch, DISPID_Encoder_SetOutputFormatVBR, { Variant::fromFloat(0.75F) }), S_OK);
    ASSERT_EQ(putProperty(dispatch, DISPID_Encoder_AddExtension, Variant::fromBool(false)), S_OK);
    Variant value;
    ASSERT_EQ(getProperty(dispatch, DISPID_Encoder_AddExtension, value), S_OK);
    EXPECT_EQ(value.vt, VT_BOOL);
    EXPECT_EQ(value.boolVal, VARIANT_FALSE);
    ASSERT_EQ(getProperty(dispatch, DISPID_Encoder_OverwritePrompt, value), S_OK);
    EXPECT_EQ(value.boolVal, VARIANT_TRUE);
    ASSERT_EQ(invokeMethod(dispatch, DISPID_Encoder_OpenHandle, { Variant::fromInt64(1) }), S_OK);
    ASSERT_EQ(getProperty(dispatch, DISPID_Encoder_Filename, value), S_OK);
    EXPECT_EQ(value.vt, VT_BSTR);
    EXPECT_EQ(bstrView(value.bstrVal), u"<Custom Application Handle>");
    EXPECT_EQ(invokeMethod(dispatch, DISPID_Encoder_Close), S_OK);

    // The tag interface keeps its own DISPIDs.
    auto tag = query<IAudioTag>(m_encoder.get());
    ASSERT_EQ(
        putProperty(tag.get(), DISPID_AudioTag_Genre, Variant::fromString(std::string_view("Rock"))), S_OK);
    ASSERT_EQ(getProperty(tag.get(), DISPID_AudioTag_Genre, value), S_OK);
    EXPECT_EQ(bstrView(value.bstrVal), u"Rock");
}

// The tag properties store any text as given and keep it across outputs.
TEST_F(EncoderControl, TagPropertiesKeepTheirText)
{
    auto tag = query<IAudioTag>(m_encoder.get());
    Bstr text;
    ASSERT_EQ(tag->get_Comment(text.put()), S_OK);
    EXPECT_EQ(text.view(), u"");
    const Bstr value(std::u16string_view(u"  \u041f\u0435\u0441\u043d\u044f  "));
    ASSERT_EQ(tag->put_Comment(value.get()), S_OK);
    ASSERT_EQ(tag->get_Comment(text.put()), S_OK);
    EXPECT_EQ(text.view(), value.view());
    ASSERT_EQ(tag->put_Comment(nullptr), S_OK);
    ASSERT_EQ(tag->get_Comment(text.put()), S_OK);
    EXPECT_EQ(text.view(), u"");
}

// The overwrite question goes to the host's handler, owned by the control's helper window; No
// leaves no output open, Yes replaces the file.
TEST_F(EncoderControl, AsksTheHostBeforeOverwriting)
{
    std::vector<Question> questions;
    int answer = IDNO;
    SetMessageBoxHandler([&](HWND owner, const std::string& text, const std::string& caption, UINT style) {
        questions.push_back({ owner, text, caption, style });
        return answer;
    });
    const std::string path = m_folder.file("song.mp3");
    mp3test::writeBytes(path, { 1, 2, 3 });
    EXPECT_EQ(open(m_folder.file("song")), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), encoderError("Cancelled by user."));
    ASSERT_EQ(questions.size(), 1U);
    EXPECT_EQ(questions[0].text, "File already exists. Do you wish to overwrite it?");
    EXPECT_EQ(questions[0].caption, "MP3 Encoder Control");
    EXPECT_EQ(questions[0].style, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(WindowClassName(questions[0].owner), "VlsMP3EncoderHelper");
    Bstr name;
    EXPECT_EQ(m_encoder->get_Filename(name.put()), DISP_E_EXCEPTION);
    takeErrorInfo();
    EXPECT_EQ(readBytes(path).size(), 3U);

    answer = IDYES;
    ASSERT_EQ(open(path), S_OK);
    ASSERT_EQ(m_encoder->get_Filename(name.put()), S_OK);
    EXPECT_EQ(toUtf8(name.view()), path);
    EXPECT_EQ(m_encoder->Close(), S_OK);
    EXPECT_EQ(readBytes(path).size(), 0U);

    // A folder that cannot hold the file.
    EXPECT_EQ(open(m_folder.file("song.mp3/inner")), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(),
        encoderError("Internal error #3. Cannot create file. System error message: Not a directory."));
}

// Encoding through the control writes a file that plays, with both tags.
TEST_F(EncoderControl, EncodesATaggedFile)
{
    auto tag = query<IAudioTag>(m_encoder.get());
    const Bstr title(std::string_view("Song"));
    ASSERT_EQ(tag->put_Title(title.get()), S_OK);
    ASSERT_EQ(m_encoder->SetInputFormat(1, 22050, 16), S_OK);
    ASSERT_EQ(m_encoder->SetOutputFormatABR(96000), S_OK);
    ASSERT_EQ(open(m_folder.file("tone")), S_OK);
    const auto pcm = mp3test::tone(1000.0, 22050, 1, 16, 22050);
    ASSERT_EQ(write(pcm), S_OK);
    ASSERT_EQ(m_encoder->Close(), S_OK);
    const auto bytes = readBytes(m_folder.file("tone.mp3"));
    ASSERT_GT(bytes.size(), 1024U + 128U);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "ID3");
    EXPECT_EQ(std::string(bytes.end() - 128, bytes.end() - 125), "TAG");
    const auto decoded = mp3test::decodeWithMpg123(m_folder.file("tone.mp3"));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.channels, 1);
    EXPECT_GT(mp3test::toneShare(decoded, 0, 1000.0), 0.8);
}

// A failure on the encoding thread arrives as OnError on the owner's thread, only while it
// dispatches messages; later writes fail with #9 and Close with #11, and the process lives on.
TEST_F(EncoderControl, EncodingThreadFailuresArriveAsOnError)
{
    std::vector<Event> events;
    const DWORD cookie = recordEvents(events);
    ASSERT_EQ(m_encoder->put_AddExtension(VARIANT_FALSE), S_OK);
    ASSERT_EQ(m_encoder->put_OverwritePrompt(VARIANT_FALSE), S_OK);
    ASSERT_EQ(open("/dev/full"), S_OK);
    const auto pcm = mp3test::tone(440.0, 44100, 2, 16, 44100);
    // The thread may fail while this first second is still being written, so
    // the pipe can break during any of these writes, the first included.
    HRESULT hr = write(pcm);
    for (int i = 0; i < 1000 && hr == S_OK; ++i) {
        hr = m_encoder->Write(pcm.data(), 4096);
        if (hr == S_OK)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(hr, DISP_E_EXCEPTION);
    const std::string broken = errorText();
    EXPECT_EQ(
        broken.rfind("Aurikit.MP3Encoderx1.1 | Internal error #9. Pipe broken. System error message: ", 0),
        0U)
        << broken;
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(PumpMessages(), 1U);
    ASSERT_EQ(events.size(), 1U);
    EXPECT_EQ(events[0].id, DISPID_Encoder_OnError);
    EXPECT_EQ(events[0].thread, std::this_thread::get_id());
    EXPECT_EQ(toUtf8(events[0].text),
        "Internal error #20. Cannot write. System error message: No space left on device");
    EXPECT_EQ(m_encoder->Close(), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(),
        encoderError("Internal error #11. Write error. System error message: No space left on device."));
    unadvise(m_encoder.get(), DIID__IVlsAudioEncoderEvents, cookie);
}

// A caller's descriptor receives the frames alone and stays the caller's.
TEST_F(EncoderControl, OpenHandleLeavesTheDescriptorToTheCaller)
{
    const std::string path = m_folder.file("handle.mp3");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    const Bstr title(std::string_view("Song"));
    ASSERT_EQ(query<IAudioTag>(m_encoder.get())->put_Title(title.get()), S_OK);
    ASSERT_EQ(m_encoder->OpenHandle(fd), S_OK);
    ASSERT_EQ(write(mp3test::tone(440.0, 44100, 2, 16, 44100)), S_OK);
    ASSERT_EQ(m_encoder->Close(), S_OK);
    EXPECT_NE(::fcntl(fd, F_GETFD), -1);
    ::close(fd);
    const auto bytes = readBytes(path);
    const auto walk = mp3test::walkFrames(bytes, 0);
    EXPECT_EQ(walk.end, bytes.size());
    EXPECT_EQ(walk.headerKind, "");
}

// AddExtension and OverwritePrompt are saved and loaded by the persistence interface.
TEST_F(EncoderControl, PersistsItsTwoProperties)
{
    ASSERT_EQ(m_encoder->put_AddExtension(VARIANT_FALSE), S_OK);
    ASSERT_EQ(m_encoder->put_OverwritePrompt(VARIANT_FALSE), S_OK);
    ComPtr<IStream> stream;
    ASSERT_EQ(createMemoryStream(stream.put()), S_OK);
    ASSERT_EQ(query<IPersistStreamInit>(m_encoder.get())->Save(stream.get(), 1), S_OK);

    ComPtr<IVlsAudioEncoder> restored;
    ASSERT_EQ(createInstance(CLSID_VlsMP3Encoderx1, restored), S_OK);
    VARIANT_BOOL value = VARIANT_FALSE;
    ASSERT_EQ(restored->get_AddExtension(&value), S_OK);
    EXPECT_EQ(value, VARIANT_TRUE);
    stream->Seek(0, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(query<IPersistStreamInit>(restored.get())->Load(stream.get()), S_OK);
    ASSERT_EQ(restored->get_AddExtension(&value), S_OK);
    EXPECT_EQ(value, VARIANT_FALSE);
    ASSERT_EQ(restored->get_OverwritePrompt(&value), S_OK);
    EXPECT_EQ(value, VARIANT_FALSE);
}

// Releasing the control with an output open finishes the file; events posted for it are dropped.
TEST_F(EncoderControl, ReleaseFinishesTheOutput)
{
    ASSERT_EQ(open(m_folder.file("released")), S_OK);
    ASSERT_EQ(write(mp3test::tone(440.0, 44100, 2, 16, 44100)), S_OK);
    m_encoder.reset();
    const auto bytes = readBytes(m_folder.file("released.mp3"));
    const auto walk = mp3test::walkFrames(bytes, 0);
    EXPECT_GT(walk.frames, 30U);
    EXPECT_EQ(walk.end, bytes.size());
    EXPECT_EQ(walk.headerKind, "Xing");
}
