#pragma once

// The published interface of the test server: one control that uses every feature of the server
// shell, and one plain class that refuses aggregation.

#include "vlscom/dispatch.h"
#include "vlscom/guid.h"

#include <cstdint>

inline constexpr GUID LIBID_VLSTestLib = vlscom::makeGuid("{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D50}");
inline constexpr CLSID CLSID_VlsTestControl = vlscom::makeGuid("{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D51}");
inline constexpr CLSID CLSID_VlsTestSolo = vlscom::makeGuid("{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D52}");
inline constexpr IID DIID__IVlsTestControlEvents = vlscom::makeGuid("{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D62}");

// A plain record passed by address.
struct TestRecord {
    std::int32_t number;
    std::int16_t small;
};

enum TestControlDispid : DISPID {
    DISPID_Name = 1,
    DISPID_Count = 2,
    DISPID_Enabled = 3,
    DISPID_Ratio = 4,
    DISPID_Fail = 5,
    DISPID_Sum = 6,
    DISPID_Start = 7,
    DISPID_Wait = 8,
    DISPID_Ask = 9,
    DISPID_Partner = 10,
    DISPID_Describe = 11,
    DISPID_Echo = 12,
};

enum TestEventDispid : DISPID {
    DISPID_OnTick = 1,
    DISPID_OnText = 2,
    DISPID_OnDone = 3,
};

// Fail(kind): 0 succeeds; 1 a catalogue message with the system's text for ENOENT; 2 the system
// status for EACCES without a message; 3 out of memory; 4 an unexpected exception; 5 "Cancelled by
// user.".
struct IVlsTestControl : IDispatch {
    static constexpr IID iid = vlscom::makeGuid("{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D60}");
    using Base = IDispatch;

    virtual HRESULT get_Name(BSTR* pVal) = 0;
    virtual HRESULT put_Name(BSTR newVal) = 0;
    virtual HRESULT get_Count(std::int32_t* pVal) = 0;
    virtual HRESULT put_Count(std::int32_t newVal) = 0;
    virtual HRESULT get_Enabled(VARIANT_BOOL* pVal) = 0;
    virtual HRESULT put_Enabled(VARIANT_BOOL newVal) = 0;
    virtual HRESULT get_Ratio(float* pVal) = 0;
    virtual HRESULT put_Ratio(float newVal) = 0;
    virtual HRESULT Fail(std::int32_t kind) = 0;
    // total = the sum of count bytes.
    virtual HRESULT Sum(const std::uint8_t* data, std::int32_t count, std::int32_t* total) = 0;
    // A worker thread posts ticks OnTick(1..ticks), each followed by OnText("tick N"), then OnDone.
    virtual HRESULT Start(std::int32_t ticks) = 0;
    // Joins the worker.
    virtual HRESULT Wait() = 0;
    // Asks the host's message box handler a Yes/No question.
    virtual HRESULT Ask(BSTR question, VARIANT_BOOL* yes) = 0;
    virtual HRESULT get_Partner(IVlsTestControl** pVal) = 0;
    virtual HRESULT put_Partner(IVlsTestControl* newVal) = 0;
    // text = "number=N small=S".
    virtual HRESULT Describe(const TestRecord* record, BSTR* text) = 0;
    virtual HRESULT Echo(std::int64_t handle, std::int64_t* same) = 0;
};

// A second dual interface on the same object, with its own DISPIDs.
struct IVlsTestTag : IDispatch {
    static constexpr IID iid = vlscom::makeGuid("{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D61}");
    using Base = IDispatch;

    virtual HRESULT get_Title(BSTR* pVal) = 0; // DISPID 1
    virtual HRESULT put_Title(BSTR newVal) = 0;
};

struct IVlsTestSolo : IDispatch {
    static constexpr IID iid = vlscom::makeGuid("{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D63}");
    using Base = IDispatch;

    virtual HRESULT get_Value(std::int32_t* pVal) = 0; // DISPID 1, always 42
};

// Helper-window messages of the test control.
inline constexpr UINT WM_TEST_TICK = 1201;
inline constexpr UINT WM_TEST_TEXT = 1202;
inline constexpr UINT WM_TEST_DONE = 1203;
