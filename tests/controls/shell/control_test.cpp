#include "controlfixture.h"
#include "vlscom/classinfo.h"
#include "vlscom/connectionpoint.h"
#include "vlscom/dispatchcall.h"
#include "vlscom/errorinfo.h"
#include "vlscom/eventsink.h"
#include "vlscom/messagebox.h"
#include "vlscom/messagequeue.h"
#include "vlscom/persist.h"
#include "vlscom/regedit.h"
#include "vlscom/registry.h"

#include <gtest/gtest.h>

using namespace vlscom;

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

} // namespace

using Control = ControlFixture;

TEST_F(Control, IsCreatedByProgIdAndByClassIdentity)
{
    ComPtr<IVlsTestControl> byProgId;
    ASSERT_EQ(createInstance(u"Vls.TestControl", byProgId), S_OK);
    ComPtr<IVlsTestControl> byVersionedProgId;
    ASSERT_EQ(createInstance(u"Vls.TestControl.1", byVersionedProgId), S_OK);
    auto byClsid = createControl();
    ASSERT_TRUE(byClsid);
    EXPECT_NE(byProgId.get(), byClsid.get());
    CLSID clsid {};
    ASSERT_EQ(query<IPersist>(byProgId.get())->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_VlsTestControl);
    Bstr name;
    ASSERT_EQ(byClsid->get_Name(name.put()), S_OK);
    EXPECT_EQ(name.view(), u"untitled");
}

TEST_F(Control, AnswersItsInterfaceSetWithOneIdentityAndCountsReferences)
{
    auto control = createControl();
    EXPECT_EQ(referenceCount(control.get()), 1U);
    IUnknown* identity = query<IUnknown>(control.get()).get();
    EXPECT_EQ(query<IDispatch>(control.get()).get(), static_cast<IDispatch*>(control.get()));
    for (const IID& iid : { IVlsTestTag::iid, IPersistStreamInit::iid, IPersist::iid, ISupportErrorInfo::iid,
             IConnectionPointContainer::iid, IProvideClassInfo::iid, IProvideClassInfo2::iid }) {
        ComPtr<IUnknown> answer;
        ASSERT_EQ(control->QueryInterface(iid, answer.putVoid()), S_OK) << formatGuid(iid);
        EXPECT_EQ(query<IUnknown>(answer.get()).get(), identity);
    }
    EXPECT_EQ(referenceCount(control.get()), 1U);
    // Embedding interfaces of a visual host are not offered.
    for (const char* iid :
        { "{00000112-0000-0000-C000-000000000046}", "{0000010D-0000-0000-C000-000000000046}",
            "{0000010E-0000-0000-C000-000000000046}", "{0000010A-0000-0000-C000-000000000046}",
            "{B196B288-BAB4-101A-B69C-00AA00341D07}", "{B196B28B-BAB4-101A-B69C-00AA00341D07}",
            "{CF51ED10-62FE-11CF-BF86-00A0C9034836}", "{00000113-0000-0000-C000-000000000046}" }) {
        void* answer = reinterpret_cast<void*>(1);
        EXPECT_EQ(control->QueryInterface(*parseGuid(iid), &answer), E_NOINTERFACE) << iid;
        EXPECT_EQ(answer, nullptr);
    }
}

TEST_F(Control, NullOutPointersGiveEPointerWithoutErrorInformation)
{
    auto control = createControl();
    takeErrorInfo();
    EXPECT_EQ(control->get_Name(nullptr), E_POINTER);
    EXPECT_EQ(control->get_Count(nullptr), E_POINTER);
    EXPECT_EQ(control->get_Enabled(nullptr), E_POINTER);
    EXPECT_EQ(control->get_Partner(nullptr), E_POINTER);
    std::int32_t total = 5;
    EXPECT_EQ(control->Sum(nullptr, 3, &total), E_POINTER);
    EXPECT_EQ(total, 0);
    Bstr text;
    EXPECT_EQ(control->Describe(nullptr, text.put()), E_POINTER);
    EXPECT_EQ(text.get(), nullptr);
    EXPECT_EQ(control->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
    EXPECT_EQ(query<IPersist>(control.get())->GetClassID(nullptr), E_POINTER);
    EXPECT_EQ(query<IConnectionPointContainer>(control.get())
                  ->FindConnectionPoint(DIID__IVlsTestControlEvents, nullptr),
        E_POINTER);
    EXPECT_EQ(query<IProvideClassInfo2>(control.get())->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, nullptr),
        E_POINTER);
    EXPECT_EQ(errorText(), "none");
}

TEST_F(Control, FailuresCarryTheRegisteredVersionedProgIdAndTheMessage)
{
    auto control = createControl();
    EXPECT_EQ(control->Fail(1), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(),
        "Vls.TestControl.1 | Internal error #3. Cannot create file. System error message: No such file or "
        "directory. | {00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(control->put_Count(-1), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(),
        "Vls.TestControl.1 | Count must not be negative. | {00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(control->Fail(2), HRESULT_FROM_WIN32(EACCES));
    EXPECT_EQ(control->Fail(3), E_OUTOFMEMORY);
    EXPECT_EQ(control->Fail(4), E_UNEXPECTED);
    EXPECT_EQ(errorText(), "none");
    EXPECT_EQ(control->Fail(0), S_OK);
    auto support = query<ISupportErrorInfo>(control.get());
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IVlsTestControl::iid), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IVlsTestTag::iid), S_FALSE);

    // The source is whatever ProgID the registry holds for the class.
    ASSERT_EQ(updateRegistry([](RegistryKey& root) {
        root.find(splitKeyPath("CLSID\\" + formatGuid(CLSID_VlsTestControl) + "\\ProgID"))
            ->setValue("", "Renamed.7");
        return S_OK;
    }),
        S_OK);
    control->Fail(5);
    EXPECT_EQ(errorText(), "Renamed.7 | Cancelled by user. | {00000000-0000-0000-0000-000000000000}");
}

TEST_F(Control, FailedFinalConstructionDestroysTheObjectAndReportsWhy)
{
    ::setenv("VLSTEST_FAIL_CONSTRUCT", "1", 1);
    ComPtr<IVlsTestControl> control;
    EXPECT_EQ(createInstance(CLSID_VlsTestControl, control), DISP_E_EXCEPTION);
    ::unsetenv("VLSTEST_FAIL_CONSTRUCT");
    EXPECT_FALSE(control);
    EXPECT_EQ(errorText(),
        "Vls.TestControl.1 | Internal error #1. Test library could not be loaded. | "
        "{00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(server().canUnloadNow(), S_OK);
}

TEST_F(Control, InvokeReachesEveryMemberByDispidWithConvertedArguments)
{
    auto control = createControl();
    IDispatch* dispatch = control.get();
    ASSERT_EQ(putProperty(dispatch, DISPID_Name, Variant::fromString(std::string_view("by dispid"))), S_OK);
    ASSERT_EQ(putProperty(dispatch, DISPID_Count, Variant::fromString(std::string_view("12"))), S_OK);
    ASSERT_EQ(putProperty(dispatch, DISPID_Enabled, Variant::fromInt(0)), S_OK);
    Variant value;
    ASSERT_EQ(getProperty(dispatch, DISPID_Name, value), S_OK);
    EXPECT_EQ(bstrView(value.bstrVal), u"by dispid");
    ASSERT_EQ(getProperty(dispatch, DISPID_Count, value), S_OK);
    EXPECT_EQ(value.vt, VT_I4);
    EXPECT_EQ(value.lVal, 12);
    ASSERT_EQ(getProperty(dispatch, DISPID_Enabled, value), S_OK);
    EXPECT_EQ(value.vt, VT_BOOL);
    EXPECT_EQ(value.boolVal, VARIANT_FALSE);

    std::uint8_t bytes[] = { 1, 2, 250 };
    ASSERT_EQ(invokeMethod(
                  dispatch, DISPID_Sum, { Variant::byReference(VT_UI1, bytes), Variant::fromInt(3) }, &value),
        S_OK);
    EXPECT_EQ(value.lVal, 253);
    TestRecord record { -4, 9 };
    ASSERT_EQ(
        invokeMethod(dispatch, DISPID_Describe, { Variant::byReference(VT_RECORD, &record) }, &value), S_OK);
    EXPECT_EQ(bstrView(value.bstrVal), u"number=-4 small=9");
    ASSERT_EQ(invokeMethod(dispatch, DISPID_Echo, { Variant::fromInt64(0x123456789AB) }, &value), S_OK);
    EXPECT_EQ(value.vt, VT_I8);
    EXPECT_EQ(value.llVal, 0x123456789AB);
    // An out-parameter passed by reference instead of as the result.
    std::int32_t total = 0;
    ASSERT_EQ(invokeMethod(dispatch, DISPID_Sum,
                  { Variant::byReference(VT_UI1, bytes), Variant::fromInt(2),
                      Variant::byReference(VT_I4, &total) }),
        DISP_E_BADPARAMCOUNT);

    auto partner = createControl();
    ASSERT_EQ(putProperty(dispatch, DISPID_Partner, Variant::fromObject(partner.get())), S_OK);
    ASSERT_EQ(getProperty(dispatch, DISPID_Partner, value), S_OK);
    EXPECT_EQ(value.vt, VT_DISPATCH);
    EXPECT_EQ(query<IUnknown>(value.pdispVal).get(), query<IUnknown>(partner.get()).get());
    value = Variant();
    ASSERT_EQ(putProperty(dispatch, DISPID_Partner, Variant()), S_OK);
    EXPECT_EQ(referenceCount(partner.get()), 1U);
}

TEST_F(Control, InvokeChecksMembersArgumentsAndReportsFailuresInExcepInfo)
{
    auto control = createControl();
    IDispatch* dispatch = control.get();
    VARIANT args[2];
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    args[0].vt = VT_BSTR;
    args[0].bstrVal = allocBstr(std::string_view("not a number"));
    DISPPARAMS params { args, nullptr, 1, 0 };
    UINT argErr = 99;
    EXPECT_EQ(dispatch->Invoke(DISPID_Fail, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, &argErr),
        DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0U);
    VariantClear(&args[0]);
    EXPECT_EQ(dispatch->Invoke(99, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
        DISP_E_MEMBERNOTFOUND);
    params.cArgs = 2;
    EXPECT_EQ(dispatch->Invoke(DISPID_Fail, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
        DISP_E_BADPARAMCOUNT);
    params.cArgs = 1;
    EXPECT_EQ(
        dispatch->Invoke(DISPID_Fail, IID_IDispatch, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
        DISP_E_UNKNOWNINTERFACE);
    args[0] = Variant::fromInt(3);
    EXPECT_EQ(
        dispatch->Invoke(DISPID_Count, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr),
        DISP_E_PARAMNOTOPTIONAL);

    args[0].lVal = 1;
    EXCEPINFO info {};
    ASSERT_EQ(dispatch->Invoke(DISPID_Fail, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, &info, nullptr),
        DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, DISP_E_EXCEPTION);
    EXPECT_EQ(bstrView(info.bstrSource), u"Vls.TestControl.1");
    EXPECT_EQ(toUtf8(bstrView(info.bstrDescription)),
        "Internal error #3. Cannot create file. System error message: No such file or directory.");
    clearExcepInfo(info);
    // The client helper turns it back into the member's own status and error information.
    EXPECT_EQ(invokeMethod(dispatch, DISPID_Fail, { Variant::fromInt(5) }), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), "Vls.TestControl.1 | Cancelled by user. | {00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(invokeMethod(dispatch, DISPID_Fail, { Variant::fromInt(2) }), HRESULT_FROM_WIN32(EACCES));
}

TEST_F(Control, NamesMapToDispidsPerInterface)
{
    auto control = createControl();
    const auto ids
        = [](IDispatch* dispatch, std::initializer_list<const char16_t*> names, std::vector<DISPID>& out) {
              std::vector<LPOLESTR> pointers;
              for (const char16_t* name : names)
                  pointers.push_back(const_cast<LPOLESTR>(name));
              out.assign(names.size(), 0);
              return dispatch->GetIDsOfNames(
                  IID_NULL, pointers.data(), static_cast<UINT>(pointers.size()), 0, out.data());
          };
    std::vector<DISPID> out;
    EXPECT_EQ(ids(control.get(), { u"SUM", u"count", u"Total" }, out), S_OK);
    EXPECT_EQ(out, (std::vector<DISPID> { DISPID_Sum, 1, 2 }));
    EXPECT_EQ(ids(control.get(), { u"name" }, out), S_OK);
    EXPECT_EQ(out, std::vector<DISPID> { DISPID_Name });
    EXPECT_EQ(ids(control.get(), { u"Sum", u"nothing" }, out), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(out, (std::vector<DISPID> { DISPID_Sum, DISPID_UNKNOWN }));
    EXPECT_EQ(ids(control.get(), { u"Title" }, out), DISP_E_UNKNOWNNAME);

    // The tag interface has its own dispatch: DISPID 1 is Title there, Name on the main interface.
    auto tag = query<IVlsTestTag>(control.get());
    EXPECT_EQ(ids(tag.get(), { u"title" }, out), S_OK);
    EXPECT_EQ(out, std::vector<DISPID> { 1 });
    ASSERT_EQ(putProperty(tag.get(), 1, Variant::fromString(std::string_view("A title"))), S_OK);
    Variant value;
    ASSERT_EQ(getProperty(control.get(), 1, value), S_OK);
    EXPECT_EQ(bstrView(value.bstrVal), u"untitled");
    ASSERT_EQ(getProperty(tag.get(), 1, value), S_OK);
    EXPECT_EQ(bstrView(value.bstrVal), u"A title");
    UINT count = 9;
    EXPECT_EQ(tag->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0U);
}

TEST_F(Control, PersistenceSavesAndLoadsThePropertiesInOrder)
{
    auto original = createControl();
    auto persist = query<IPersistStreamInit>(original.get());
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    original->put_Enabled(VARIANT_FALSE);
    original->put_Count(7);
    Bstr name(std::string_view("Saved näme"));
    original->put_Name(name.get());
    original->put_Ratio(0.25F);
    EXPECT_EQ(persist->IsDirty(), S_OK);

    ComPtr<IStream> stream;
    ASSERT_EQ(createMemoryStream(stream.put()), S_OK);
    ASSERT_EQ(persist->Save(stream.get(), 1), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    std::uint64_t size = 0;
    ASSERT_EQ(persist->GetSizeMax(&size), S_OK);
    STATSTG stat {};
    stream->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(stat.cbSize, size);
    EXPECT_EQ(size, 8U + 8U + 10U + (10U + 20U) + 10U);

    auto restored = createControl();
    auto restoredPersist = query<IPersistStreamInit>(restored.get());
    ASSERT_EQ(restoredPersist->InitNew(), S_OK);
    stream->Seek(0, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(restoredPersist->Load(stream.get()), S_OK);
    EXPECT_EQ(restoredPersist->IsDirty(), S_FALSE);
    VARIANT_BOOL enabled = VARIANT_TRUE;
    std::int32_t count = 0;
    float ratio = 0;
    Bstr restoredName;
    restored->get_Enabled(&enabled);
    restored->get_Count(&count);
    restored->get_Ratio(&ratio);
    restored->get_Name(restoredName.put());
    EXPECT_EQ(enabled, VARIANT_FALSE);
    EXPECT_EQ(count, 7);
    EXPECT_EQ(ratio, 0.25F);
    EXPECT_EQ(restoredName.utf8(), "Saved näme");

    // Saved into a file and loaded from it, too.
    const std::string path = m_registry.folder() + "/control.bin";
    ComPtr<IStream> file;
    ASSERT_EQ(createFileStream(path, FileStreamMode::Create, file.put()), S_OK);
    ASSERT_EQ(restoredPersist->Save(file.get(), 0), S_OK);
    ASSERT_EQ(file->Commit(STGC_DEFAULT), S_OK);
    file.reset();
    auto third = createControl();
    ASSERT_EQ(createFileStream(path, FileStreamMode::Read, file.put()), S_OK);
    ASSERT_EQ(query<IPersistStreamInit>(third.get())->Load(file.get()), S_OK);
    third->get_Count(&count);
    EXPECT_EQ(count, 7);
}

TEST_F(Control, LoadingForeignBytesFailsAndChangesNothing)
{
    auto control = createControl();
    ComPtr<IStream> stream;
    ASSERT_EQ(createMemoryStream(stream.put()), S_OK);
    // Four properties announced, but the first one is not Enabled (DISPID 3).
    stream->Write("VLSP\x01\x00\x04\x00\x02\x00\x00\x00\x0B\x00", 14, nullptr);
    stream->Seek(0, STREAM_SEEK_SET, nullptr);
    auto persist = query<IPersistStreamInit>(control.get());
    EXPECT_EQ(persist->Load(stream.get()), STG_E_DOCFILECORRUPT);
    EXPECT_EQ(persist->Load(nullptr), E_POINTER);
    std::int32_t count = -1;
    control->get_Count(&count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
}

TEST_F(Control, ConnectionPointAndClassInfoNameTheEventInterface)
{
    auto control = createControl();
    auto container = query<IConnectionPointContainer>(control.get());
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(DIID__IVlsTestControlEvents, point.put()), S_OK);
    EXPECT_EQ(container->FindConnectionPoint(makeGuid("{F9ADEB91-8A20-4CB8-9D2D-3B7E96A09E8A}"), point.put()),
        CONNECT_E_NOCONNECTION);
    EXPECT_FALSE(point);
    ASSERT_EQ(container->FindConnectionPoint(DIID__IVlsTestControlEvents, point.put()), S_OK);
    IID iid {};
    EXPECT_EQ(point->GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, DIID__IVlsTestControlEvents);
    ComPtr<IConnectionPointContainer> back;
    ASSERT_EQ(point->GetConnectionPointContainer(back.put()), S_OK);
    EXPECT_EQ(query<IUnknown>(back.get()).get(), query<IUnknown>(control.get()).get());

    auto sink = makeObject<EventSink>(DIID__IVlsTestControlEvents, [](DISPID, const DISPPARAMS&) {});
    auto stranger = makeObject<EventSink>(makeGuid("{00000000-0000-0000-0000-0000000000EE}"), nullptr);
    DWORD first = 0;
    DWORD second = 0;
    DWORD refused = 7;
    ASSERT_EQ(point->Advise(sink->identity(), &first), S_OK);
    ASSERT_EQ(point->Advise(sink->identity(), &second), S_OK);
    EXPECT_NE(first, 0U);
    EXPECT_NE(first, second);
    EXPECT_EQ(point->Advise(stranger->identity(), &refused), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(refused, 0U);
    EXPECT_EQ(referenceCount(sink.get()), 3U);
    EXPECT_EQ(point->Unadvise(first), S_OK);
    EXPECT_EQ(point->Unadvise(first), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(unadvise(control.get(), DIID__IVlsTestControlEvents, second), S_OK);
    EXPECT_EQ(referenceCount(sink.get()), 1U);

    auto classInfo = query<IProvideClassInfo2>(control.get());
    GUID source {};
    EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_EQ(source, DIID__IVlsTestControlEvents);
    EXPECT_EQ(classInfo->GetGUID(0, &source), E_INVALIDARG);
    ITypeInfo* typeInfo = nullptr;
    EXPECT_EQ(classInfo->GetClassInfo(&typeInfo), E_NOTIMPL);
}

TEST_F(Control, AggregationFollowsTheStandardRulesUnlessRefused)
{
    auto outer = makeObject<EventSink>(GUID_NULL, nullptr);
    IUnknown* outerIdentity = outer->identity();
    ComPtr<IUnknown> inner;
    ASSERT_EQ(CoCreateInstance(
                  CLSID_VlsTestControl, outerIdentity, CLSCTX_INPROC_SERVER, IID_IUnknown, inner.putVoid()),
        S_OK);
    ComPtr<IVlsTestControl> control;
    ASSERT_EQ(inner->QueryInterface(IVlsTestControl::iid, control.putVoid()), S_OK);
    EXPECT_EQ(query<IUnknown>(control.get()).get(), outerIdentity);
    EXPECT_EQ(referenceCount(outer.get()), 2U);
    control.reset();
    EXPECT_EQ(referenceCount(inner.get()), 1U);

    void* refused = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(
                  CLSID_VlsTestControl, outerIdentity, CLSCTX_INPROC_SERVER, IVlsTestControl::iid, &refused),
        CLASS_E_NOAGGREGATION);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(
        CoCreateInstance(CLSID_VlsTestSolo, outerIdentity, CLSCTX_INPROC_SERVER, IID_IUnknown, &refused),
        CLASS_E_NOAGGREGATION);

    ComPtr<IVlsTestSolo> solo;
    ASSERT_EQ(createInstance(u"Vls.TestSolo.1", solo), S_OK);
    std::int32_t value = 0;
    EXPECT_EQ(solo->get_Value(&value), S_OK);
    EXPECT_EQ(value, 42);
    ComPtr<IConnectionPoint> none;
    EXPECT_EQ(query<IConnectionPointContainer>(solo.get())->FindConnectionPoint(GUID_NULL, none.put()),
        CONNECT_E_NOCONNECTION);
    GUID source {};
    EXPECT_EQ(
        query<IProvideClassInfo2>(solo.get())->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), E_FAIL);
}

TEST_F(Control, QuestionsGoToTheHostHandlerWithTheHelperWindowAsOwner)
{
    auto control = createControl();
    Bstr question(std::string_view("Overwrite?"));
    VARIANT_BOOL yes = VARIANT_TRUE;
    SetMessageBoxHandler({});
    ASSERT_EQ(control->Ask(question.get(), &yes), S_OK);
    EXPECT_EQ(yes, VARIANT_FALSE);
    std::string seen;
    SetMessageBoxHandler([&](HWND owner, const std::string& text, const std::string& caption, UINT style) {
        seen = WindowClassName(owner) + "|" + caption + "|" + text + "|" + std::to_string(style);
        return IDYES;
    });
    ASSERT_EQ(control->Ask(question.get(), &yes), S_OK);
    SetMessageBoxHandler({});
    EXPECT_EQ(yes, VARIANT_TRUE);
    EXPECT_EQ(seen, "VlsTestControlHelper|Test Control|Overwrite?|36");
    EXPECT_EQ(control->Ask(question.get(), nullptr), E_POINTER);
}
