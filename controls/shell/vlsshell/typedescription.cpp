#include "typedescription.h"

#include "vlscom/errorinfo.h"
#include "vlscom/pointers.h"

#include <algorithm>
#include <limits>

namespace vlsshell {

namespace detail {
bool objectOf(const VARIANT& v, IUnknown*& object)
{
    object = nullptr;
    switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL:
        return true;
    case VT_UNKNOWN:
        object = v.punkVal;
        return true;
    case VT_DISPATCH:
        object = v.pdispVal;
        return true;
    case VT_UNKNOWN | VT_BYREF:
        object = v.ppunkVal ? *v.ppunkVal : nullptr;
        return true;
    case VT_DISPATCH | VT_BYREF:
        object = v.ppdispVal ? *v.ppdispVal : nullptr;
        return true;
    default:
        return false;
    }
}
} // namespace detail

HRESULT ArgTraits<BSTR>::fromArgument(const VARIANT& v, Holder& holder)
{
    switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL:
        holder.text = nullptr;
        return S_OK;
    case VT_BSTR:
        holder.text = v.bstrVal;
        return S_OK;
    case VT_BSTR | VT_BYREF:
        holder.text = v.pbstrVal ? *v.pbstrVal : nullptr;
        return S_OK;
    default:
        if (const HRESULT hr = VariantChangeType(&holder.converted, &v, 0, VT_BSTR); FAILED(hr))
            return hr;
        holder.text = holder.converted.bstrVal;
        return S_OK;
    }
}

UINT MemberDescription::inputCount() const
{
    return static_cast<UINT>(std::ranges::count_if(
        params, [](const ParamDescription& param) { return !(param.flags & PARAMFLAG_FRETVAL); }));
}

const MemberDescription* InterfaceDescription::find(DISPID id, MemberKind kind) const
{
    const auto member = std::ranges::find_if(
        members, [&](const MemberDescription& m) { return m.id == id && m.kind == kind; });
    return member == members.end() ? nullptr : &*member;
}

MemberDescription event(
    DISPID id, const char* name, const char* help, std::initializer_list<ParamDescription> params)
{
    return MemberDescription { id, MemberKind::Method, name, help, std::vector<ParamDescription>(params),
        nullptr };
}

namespace {

bool nameMatches(const char* name, LPCOLESTR text)
{
    if (!name || !text)
        return false;
    const auto lower = [](char32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    std::size_t i = 0;
    for (; name[i] && text[i]; ++i) {
        if (lower(static_cast<unsigned char>(name[i])) != lower(text[i]))
            return false;
    }
    return name[i] == 0 && text[i] == 0;
}

const MemberDescription* findForInvoke(const InterfaceDescription& description, DISPID id, WORD flags)
{
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
        return description.find(id, MemberKind::PropertyPut);
    const MemberDescription* member = nullptr;
    if (flags & DISPATCH_METHOD)
        member = description.find(id, MemberKind::Method);
    if (!member && (flags & DISPATCH_PROPERTYGET))
        member = description.find(id, MemberKind::PropertyGet);
    return member;
}

} // namespace

HRESULT callMember(const InterfaceDescription& description, void* self, DISPID id, MemberKind kind,
    const DISPPARAMS& params, VARIANT* result)
{
    const MemberDescription* member = description.find(id, kind);
    if (!member || !member->thunk)
        return DISP_E_MEMBERNOTFOUND;
    if (params.cArgs != member->inputCount())
        return DISP_E_BADPARAMCOUNT;
    UINT bad = 0;
    return member->thunk(self, params, result, &bad);
}

HRESULT invokeMember(const InterfaceDescription& description, void* self, DISPID id, REFIID riid, WORD flags,
    DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr)
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!params)
        return E_INVALIDARG;
    if (params->cArgs && !params->rgvarg)
        return E_INVALIDARG;
    const MemberDescription* member = findForInvoke(description, id, flags);
    if (!member || !member->thunk)
        return DISP_E_MEMBERNOTFOUND;
    if (member->kind == MemberKind::PropertyPut) {
        if (params->cNamedArgs != 1 || !params->rgdispidNamedArgs
            || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_PARAMNOTOPTIONAL;
    } else if (params->cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    if (params->cArgs != member->inputCount())
        return DISP_E_BADPARAMCOUNT;
    if (result)
        VariantInit(result);
    UINT bad = std::numeric_limits<UINT>::max();
    const HRESULT hr = member->thunk(self, *params, result, &bad);
    if (bad != std::numeric_limits<UINT>::max()) {
        if (argErr)
            *argErr = bad;
        return hr;
    }
    if (SUCCEEDED(hr))
        return hr;
    if (excepInfo) {
        *excepInfo = EXCEPINFO {};
        excepInfo->scode = hr;
        if (const auto error = vlscom::takeErrorInfo()) {
            excepInfo->bstrSource = vlscom::allocBstr(std::u16string_view(error->source));
            excepInfo->bstrDescription = vlscom::allocBstr(std::u16string_view(error->description));
        }
    }
    return DISP_E_EXCEPTION;
}

HRESULT idsOfNames(
    const InterfaceDescription& description, REFIID riid, LPOLESTR* names, UINT count, DISPID* ids)
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (const HRESULT hr = vlscom::checkPointers(names, ids); FAILED(hr))
        return hr;
    if (count == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    const MemberDescription* found = nullptr;
    for (const MemberDescription& member : description.members) {
        if (nameMatches(member.name, names[0])) {
            // Parameter names are looked up on the method or the property put (which names them).
            if (!found || member.kind != MemberKind::PropertyGet)
                found = &member;
            if (member.kind == MemberKind::Method)
                break;
        }
    }
    if (!found)
        return DISP_E_UNKNOWNNAME;
    ids[0] = found->id;
    HRESULT hr = S_OK;
    for (UINT i = 1; i < count; ++i) {
        for (std::size_t p = 0; p < found->params.size(); ++p) {
            if (nameMatches(found->params[p].name, names[i]))
                ids[i] = static_cast<DISPID>(p);
        }
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

} // namespace vlsshell
