#pragma once

// Per-thread error information: the source, description and interface of the last failure that a
// component reported on this thread.

#include "bstr.h"
#include "unknown.h"

#include <optional>
#include <string>

struct IErrorInfo : IUnknown {
    static constexpr IID iid = vlscom::makeGuid("{1CF2B120-547D-101B-8E65-08002B2BD119}");
    using Base = IUnknown;

    virtual HRESULT GetGUID(GUID* guid) = 0;
    virtual HRESULT GetSource(BSTR* source) = 0;
    virtual HRESULT GetDescription(BSTR* description) = 0;
    virtual HRESULT GetHelpFile(BSTR* helpFile) = 0;
    virtual HRESULT GetHelpContext(DWORD* helpContext) = 0;
};

struct ICreateErrorInfo : IUnknown {
    static constexpr IID iid = vlscom::makeGuid("{22F03340-547D-101B-8E65-08002B2BD119}");
    using Base = IUnknown;

    virtual HRESULT SetGUID(REFGUID guid) = 0;
    virtual HRESULT SetSource(LPOLESTR source) = 0;
    virtual HRESULT SetDescription(LPOLESTR description) = 0;
    virtual HRESULT SetHelpFile(LPOLESTR helpFile) = 0;
    virtual HRESULT SetHelpContext(DWORD helpContext) = 0;
};

struct ISupportErrorInfo : IUnknown {
    static constexpr IID iid = vlscom::makeGuid("{DF0B3D60-548F-101B-8E65-08002B2BD119}");
    using Base = IUnknown;

    // S_OK when failures of the interface riid come with error information, else S_FALSE.
    virtual HRESULT InterfaceSupportsErrorInfo(REFIID riid) = 0;
};

// A new, empty error information object (it also answers IErrorInfo).
HRESULT CreateErrorInfo(ICreateErrorInfo** info);
// Installs info (null clears) as the calling thread's error information. reserved must be 0.
HRESULT SetErrorInfo(DWORD reserved, IErrorInfo* info);
// Hands over the calling thread's error information and clears it: S_OK with the object, or
// S_FALSE and null when there is none.
HRESULT GetErrorInfo(DWORD reserved, IErrorInfo** info);

namespace vlscom {

struct ErrorRecord {
    std::u16string source;
    std::u16string description;
    GUID iid = GUID_NULL;
};

// Builds and installs error information for the calling thread.
HRESULT setErrorInfo(std::u16string_view source, std::u16string_view description, REFGUID iid = GUID_NULL);
// Takes (and clears) the calling thread's error information.
std::optional<ErrorRecord> takeErrorInfo();

} // namespace vlscom
