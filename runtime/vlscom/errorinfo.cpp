#include "errorinfo.h"

#include "comobject.h"
#include "pointers.h"

namespace {

class ErrorInfo final : public vlscom::ComObject<ICreateErrorInfo, IErrorInfo> {
public:
    HRESULT SetGUID(REFGUID guid) override
    {
        m_guid = guid;
        return S_OK;
    }
    HRESULT SetSource(LPOLESTR source) override { return assign(m_source, source); }
    HRESULT SetDescription(LPOLESTR description) override { return assign(m_description, description); }
    HRESULT SetHelpFile(LPOLESTR helpFile) override { return assign(m_helpFile, helpFile); }
    HRESULT SetHelpContext(DWORD helpContext) override
    {
        m_helpContext = helpContext;
        return S_OK;
    }

    HRESULT GetGUID(GUID* guid) override
    {
        if (const HRESULT hr = vlscom::checkPointers(guid); FAILED(hr))
            return hr;
        *guid = m_guid;
        return S_OK;
    }
    HRESULT GetSource(BSTR* source) override { return copyOut(m_source, source); }
    HRESULT GetDescription(BSTR* description) override { return copyOut(m_description, description); }
    HRESULT GetHelpFile(BSTR* helpFile) override { return copyOut(m_helpFile, helpFile); }
    HRESULT GetHelpContext(DWORD* helpContext) override
    {
        if (const HRESULT hr = vlscom::checkPointers(helpContext); FAILED(hr))
            return hr;
        *helpContext = m_helpContext;
        return S_OK;
    }

private:
    static HRESULT assign(std::u16string& field, LPOLESTR text)
    {
        try {
            field = text ? std::u16string(text) : std::u16string();
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    static HRESULT copyOut(const std::u16string& field, BSTR* out)
    {
        if (const HRESULT hr = vlscom::checkPointers(out); FAILED(hr))
            return hr;
        *out = vlscom::allocBstr(std::u16string_view(field));
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    GUID m_guid = GUID_NULL;
    std::u16string m_source;
    std::u16string m_description;
    std::u16string m_helpFile;
    DWORD m_helpContext = 0;
};

thread_local vlscom::ComPtr<IErrorInfo> t_errorInfo;

} // namespace

HRESULT CreateErrorInfo(ICreateErrorInfo** info)
{
    if (const HRESULT hr = vlscom::checkPointers(info); FAILED(hr))
        return hr;
    *info = nullptr;
    auto object = vlscom::makeObject<ErrorInfo>();
    if (!object)
        return E_OUTOFMEMORY;
    *info = object.detach();
    return S_OK;
}

HRESULT SetErrorInfo(DWORD reserved, IErrorInfo* info)
{
    if (reserved != 0)
        return E_INVALIDARG;
    t_errorInfo = vlscom::ComPtr<IErrorInfo>(info);
    return S_OK;
}

HRESULT GetErrorInfo(DWORD reserved, IErrorInfo** info)
{
    if (const HRESULT hr = vlscom::checkPointers(info); FAILED(hr))
        return hr;
    *info = nullptr;
    if (reserved != 0)
        return E_INVALIDARG;
    *info = t_errorInfo.detach();
    return *info ? S_OK : S_FALSE;
}

namespace vlscom {

HRESULT setErrorInfo(std::u16string_view source, std::u16string_view description, REFGUID iid)
{
    ComPtr<ICreateErrorInfo> create;
    if (const HRESULT hr = CreateErrorInfo(create.put()); FAILED(hr))
        return hr;
    std::u16string sourceText(source);
    std::u16string descriptionText(description);
    create->SetGUID(iid);
    create->SetSource(sourceText.data());
    create->SetDescription(descriptionText.data());
    return SetErrorInfo(0, create.as<IErrorInfo>().get());
}

std::optional<ErrorRecord> takeErrorInfo()
{
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK)
        return std::nullopt;
    ErrorRecord record;
    Bstr source;
    Bstr description;
    info->GetSource(source.put());
    info->GetDescription(description.put());
    info->GetGUID(&record.iid);
    record.source = source.view();
    record.description = description.view();
    return record;
}

} // namespace vlscom
