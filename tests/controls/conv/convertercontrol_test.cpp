// The converter as a control: identity, properties, persistence, dispatch and the refusals that
// need no conversion.

#include "convtestsupport.h"
#include "vlscom/classinfo.h"
#include "vlscom/dispatchcall.h"
#include "vlscom/persist.h"
#include "vlscom/stream.h"

using namespace vlscom;
using namespace convtest;

namespace {

template <class I> ComPtr<I> query(IUnknown* object)
{
    ComPtr<I> result;
    object->QueryInterface(I::iid, result.putVoid());
    return result;
}

class ConverterControl : public ConverterTest { };

} // namespace

// Created by ProgID, the converter answers its dual interface and the shell's interfaces, but no
// tag interface; its default event interface is _IVlsAudioConverterEvents.
TEST_F(ConverterControl, AnswersItsInterfaces)
{
    EXPECT_EQ(referenceCount(m_converter.get()), 1U);
    for (const IID& iid : { IDispatch::iid, IPersistStreamInit::iid, IPersist::iid, ISupportErrorInfo::iid,
             IConnectionPointContainer::iid, IProvideClassInfo2::iid }) {
        ComPtr<IUnknown> answer;
        EXPECT_EQ(m_converter->QueryInterface(iid, answer.putVoid()), S_OK) << formatGuid(iid);
    }
    ComPtr<IUnknown> tag;
    EXPECT_EQ(m_converter->QueryInterface(IAudioTag::iid, tag.putVoid()), E_NOINTERFACE);
    CLSID clsid {};
    ASSERT_EQ(query<IPersist>(m_converter.get())->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_VlsAudioConverter);
    GUID events {};
    ASSERT_EQ(
        query<IProvideClassInfo2>(m_converter.get())->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events),
        S_OK);
    EXPECT_EQ(events, DIID__IVlsAudioConverterEvents);
    EXPECT_EQ(
        query<ISupportErrorInfo>(m_converter.get())->InterfaceSupportsErrorInfo(IVlsAudioConverter::iid),
        S_OK);
}

// A new converter has no source or destination and KeepTags reads 1; null out-pointers give
// E_POINTER without error information.
TEST_F(ConverterControl, StartsEmptyWithKeepTagsOne)
{
    ComPtr<IVlsAudioDecoder> source;
    ComPtr<IVlsAudioEncoder> destination;
    ASSERT_EQ(m_converter->get_Source(source.put()), S_OK);
    EXPECT_FALSE(source);
    ASSERT_EQ(m_converter->get_Destination(destination.put()), S_OK);
    EXPECT_FALSE(destination);
    VARIANT_BOOL keep = 0;
    ASSERT_EQ(m_converter->get_KeepTags(&keep), S_OK);
    EXPECT_EQ(keep, 1);
    EXPECT_EQ(m_converter->get_Source(nullptr), E_POINTER);
    EXPECT_EQ(m_converter->get_Destination(nullptr), E_POINTER);
    EXPECT_EQ(m_converter->get_KeepTags(nullptr), E_POINTER);
    EXPECT_EQ(takeError(), "none");
}

// Source and Destination hold one reference to their object, give it back asked afresh, release
// the previous object on replacement and clear with null; KeepTags keeps the value as stored.
TEST_F(ConverterControl, PropertiesHoldTheirObjects)
{
    auto first = createFake<IVlsAudioDecoder>(CLSID_FakeDecoder);
    auto second = createFake<IVlsAudioDecoder>(CLSID_FakeMuteDecoder);
    auto encoder = createFake<IVlsAudioEncoder>(CLSID_FakeEncoder);
    ASSERT_EQ(m_converter->put_Source(first.get()), S_OK);
    EXPECT_EQ(referenceCount(first.get()), 2U);
    ComPtr<IVlsAudioDecoder> got;
    ASSERT_EQ(m_converter->get_Source(got.put()), S_OK);
    EXPECT_EQ(got.get(), first.get());
    got.reset();
    ASSERT_EQ(m_converter->put_Source(second.get()), S_OK);
    EXPECT_EQ(referenceCount(first.get()), 1U);
    EXPECT_EQ(referenceCount(second.get()), 2U);
    ASSERT_EQ(m_converter->put_Source(nullptr), S_OK);
    EXPECT_EQ(referenceCount(second.get()), 1U);

    ASSERT_EQ(m_converter->put_Destination(encoder.get()), S_OK);
    EXPECT_EQ(referenceCount(encoder.get()), 2U);
    ComPtr<IVlsAudioEncoder> destination;
    ASSERT_EQ(m_converter->get_Destination(destination.put()), S_OK);
    EXPECT_EQ(destination.get(), encoder.get());
    destination.reset();
    m_converter.reset();
    EXPECT_EQ(referenceCount(encoder.get()), 1U);
}

TEST_F(ConverterControl, KeepTagsReadsBackAsStored)
{
    for (const VARIANT_BOOL value :
        { VARIANT_BOOL { 0 }, VARIANT_TRUE, VARIANT_BOOL { 1 }, VARIANT_BOOL { 7 } }) {
        ASSERT_EQ(m_converter->put_KeepTags(value), S_OK);
        VARIANT_BOOL keep = 99;
        ASSERT_EQ(m_converter->get_KeepTags(&keep), S_OK);
        EXPECT_EQ(keep, value);
    }
}

// KeepTags alone is persisted, its 16 bits as stored; a new converter loads it back.
TEST_F(ConverterControl, PersistsKeepTags)
{
    for (const VARIANT_BOOL value : { VARIANT_FALSE, VARIANT_BOOL { 1 }, VARIANT_BOOL { 5 }, VARIANT_TRUE }) {
        SCOPED_TRACE(value);
        ASSERT_EQ(m_converter->put_KeepTags(value), S_OK);
        ComPtr<IStream> stream;
        ASSERT_EQ(createMemoryStream(stream.put()), S_OK);
        ASSERT_EQ(query<IPersistStreamInit>(m_converter.get())->Save(stream.get(), 1), S_OK);

        ComPtr<IVlsAudioConverter> restored;
        ASSERT_EQ(createInstance(CLSID_VlsAudioConverter, restored), S_OK);
        VARIANT_BOOL keep = 0;
        ASSERT_EQ(stream->Seek(0, STREAM_SEEK_SET, nullptr), S_OK);
        ASSERT_EQ(query<IPersistStreamInit>(restored.get())->Load(stream.get()), S_OK);
        ASSERT_EQ(restored->get_KeepTags(&keep), S_OK);
        EXPECT_EQ(keep, value);
        EXPECT_EQ(query<IPersistStreamInit>(restored.get())->IsDirty(), S_FALSE);
    }
}

// Every member is reachable by name and DISPID through IDispatch, and failures come back with the
// converter's message.
TEST_F(ConverterControl, InvokeReachesTheMembersByDispid)
{
    IDispatch* dispatch = m_converter.get();
    const std::pair<const char16_t*, DISPID> names[]
        = { { u"Source", 1 }, { u"Destination", 2 }, { u"KeepTags", 3 }, { u"OpenDestination", 4 },
              { u"Go", 5 }, { u"GoSync", 6 }, { u"CancelConversion", 7 }, { u"CreateDecoderFor", 8 } };
    for (const auto& [name, id] : names) {
        std::u16string text(name);
        LPOLESTR list[] = { text.data() };
        DISPID found = 0;
        ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, list, 1, 0, &found), S_OK) << toUtf8(text);
        EXPECT_EQ(found, id) << toUtf8(text);
    }
    ASSERT_EQ(putProperty(dispatch, DISPID_Converter_KeepTags, Variant::fromBool(false)), S_OK);
    Variant value;
    ASSERT_EQ(getProperty(dispatch, DISPID_Converter_KeepTags, value), S_OK);
    EXPECT_EQ(value.vt, VT_BOOL);
    EXPECT_EQ(value.boolVal, VARIANT_FALSE);
    EXPECT_EQ(invokeMethod(dispatch, DISPID_Converter_Go, {}), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(), converterError("Cannot run conversion: no decoder connected."));
}

// Go and GoSync need a source, then a destination; CancelConversion needs a running conversion;
// OpenDestination needs both objects.
TEST_F(ConverterControl, RefusesWhatNeedsAMissingPart)
{
    for (auto member : { &IVlsAudioConverter::Go, &IVlsAudioConverter::GoSync }) {
        ASSERT_EQ(m_converter->put_Source(nullptr), S_OK);
        ASSERT_EQ(m_converter->put_Destination(nullptr), S_OK);
        EXPECT_EQ(((*m_converter).*member)(), DISP_E_EXCEPTION);
        EXPECT_EQ(takeError(), converterError("Cannot run conversion: no decoder connected."));
        auto encoder = createFake<IVlsAudioEncoder>(CLSID_FakeEncoder);
        ASSERT_EQ(m_converter->put_Destination(encoder.get()), S_OK);
        EXPECT_EQ(((*m_converter).*member)(), DISP_E_EXCEPTION);
        EXPECT_EQ(takeError(), converterError("Cannot run conversion: no decoder connected."));
        auto decoder = createFake<IVlsAudioDecoder>(CLSID_FakeDecoder);
        ASSERT_EQ(m_converter->put_Source(decoder.get()), S_OK);
        ASSERT_EQ(m_converter->put_Destination(nullptr), S_OK);
        EXPECT_EQ(((*m_converter).*member)(), DISP_E_EXCEPTION);
        EXPECT_EQ(takeError(), converterError("Cannot run conversion: no encoder connected."));
        EXPECT_EQ(logOf(decoder.get()), "");
    }

    EXPECT_EQ(m_converter->CancelConversion(), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(),
        converterError("Cannot cancel conversion because there's no conversion process running..."));

    ASSERT_EQ(m_converter->put_Source(nullptr), S_OK);
    EXPECT_EQ(m_converter->OpenDestination(), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(), converterError("Cannot open destination: no decoder connected."));
    auto decoder = createFake<IVlsAudioDecoder>(CLSID_FakeDecoder);
    ASSERT_EQ(m_converter->put_Source(decoder.get()), S_OK);
    EXPECT_EQ(m_converter->OpenDestination(), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(), converterError("Cannot open destination: no encoder connected."));
    pumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(events(), "");
}
