#include "variant.h"

#include "dispatch.h"

#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

bool ownsNothing(VARTYPE vt)
{
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_ERROR:
    case VT_BOOL:
    case VT_UI1:
    case VT_UI4:
    case VT_I8:
        return true;
    default:
        return false;
    }
}

bool knownByReference(VARTYPE base)
{
    return ownsNothing(base) || base == VT_BSTR || base == VT_UNKNOWN || base == VT_DISPATCH
        || base == VT_VARIANT || base == VT_RECORD;
}

// A source value reduced to what conversions need.
struct Source {
    enum class Kind { Empty, Integer, Real, Boolean, Text, Object } kind = Kind::Empty;
    std::int64_t integer = 0;
    double real = 0;
    bool boolean = false;
    std::u16string_view text;
    IUnknown* object = nullptr;
};

bool readSource(const VARIANT& v, Source& s)
{
    using Kind = Source::Kind;
    const bool byRef = (v.vt & VT_BYREF) != 0;
    const VARTYPE base = v.vt & ~VT_BYREF;
    if (byRef && !v.byref)
        return false;
    switch (base) {
    case VT_EMPTY:
        if (byRef)
            return false;
        s.kind = Kind::Empty;
        return true;
    case VT_I2:
        s.kind = Kind::Integer;
        s.integer = byRef ? *v.piVal : v.iVal;
        return true;
    case VT_I4:
        s.kind = Kind::Integer;
        s.integer = byRef ? *v.plVal : v.lVal;
        return true;
    case VT_I8:
        s.kind = Kind::Integer;
        s.integer = byRef ? *v.pllVal : v.llVal;
        return true;
    case VT_UI1:
        s.kind = Kind::Integer;
        s.integer = byRef ? *v.pbVal : v.bVal;
        return true;
    case VT_UI4:
        s.kind = Kind::Integer;
        s.integer = byRef ? *static_cast<const std::uint32_t*>(v.byref) : v.ulVal;
        return true;
    case VT_R4:
        s.kind = Kind::Real;
        s.real = byRef ? *v.pfltVal : v.fltVal;
        return true;
    case VT_R8:
        s.kind = Kind::Real;
        s.real = byRef ? *v.pdblVal : v.dblVal;
        return true;
    case VT_BOOL:
        s.kind = Kind::Boolean;
        s.boolean = (byRef ? *v.pboolVal : v.boolVal) != VARIANT_FALSE;
        return true;
    case VT_BSTR:
        s.kind = Kind::Text;
        s.text = vlscom::bstrView(byRef ? *v.pbstrVal : v.bstrVal);
        return true;
    case VT_UNKNOWN:
        s.kind = Kind::Object;
        s.object = byRef ? *v.ppunkVal : v.punkVal;
        return true;
    case VT_DISPATCH:
        s.kind = Kind::Object;
        s.object = byRef ? *v.ppdispVal : v.pdispVal;
        return true;
    case VT_VARIANT:
        return byRef && readSource(*v.pvarVal, s);
    default:
        return false;
    }
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// A whole or real number with optional blanks around it and an optional "+".
template <class Number> bool parseNumber(std::string_view text, Number& value)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

HRESULT toReal(const Source& s, double& value)
{
    using Kind = Source::Kind;
    switch (s.kind) {
    case Kind::Empty:
        value = 0;
        return S_OK;
    case Kind::Integer:
        value = static_cast<double>(s.integer);
        return S_OK;
    case Kind::Real:
        value = s.real;
        return S_OK;
    case Kind::Boolean:
        value = s.boolean ? -1 : 0;
        return S_OK;
    case Kind::Text:
        return parseNumber(vlscom::toUtf8(s.text), value) ? S_OK : DISP_E_TYPEMISMATCH;
    case Kind::Object:
        break;
    }
    return DISP_E_TYPEMISMATCH;
}

HRESULT toInteger(const Source& s, std::int64_t& value)
{
    using Kind = Source::Kind;
    if (s.kind == Kind::Integer) {
        value = s.integer;
        return S_OK;
    }
    if (s.kind == Kind::Text && parseNumber(vlscom::toUtf8(s.text), value))
        return S_OK;
    double real = 0;
    if (const HRESULT hr = toReal(s, real); FAILED(hr))
        return hr;
    // Round half to even, as automation conversions do.
    const double rounded = std::nearbyint(real);
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
        return DISP_E_OVERFLOW;
    value = static_cast<std::int64_t>(rounded);
    return S_OK;
}

template <class T> HRESULT narrow(std::int64_t value, T& out)
{
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
        return DISP_E_OVERFLOW;
    out = static_cast<T>(value);
    return S_OK;
}

template <class T> std::u16string numberText(T value)
{
    std::array<char, 64> buffer {};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return vlscom::toUtf16(
        std::string_view(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data())));
}

HRESULT convert(const Source& s, VARTYPE vt, VARIANT& out)
{
    using Kind = Source::Kind;
    HRESULT hr = S_OK;
    switch (vt) {
    case VT_EMPTY:
        return s.kind == Kind::Empty ? S_OK : DISP_E_TYPEMISMATCH;
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_UI1: {
        std::int64_t value = 0;
        if (FAILED(hr = toInteger(s, value)))
            return hr;
        if (vt == VT_I2)
            hr = narrow(value, out.iVal);
        else if (vt == VT_I4)
            hr = narrow(value, out.lVal);
        else if (vt == VT_UI1)
            hr = narrow(value, out.bVal);
        else
            out.llVal = value;
        break;
    }
    case VT_R4:
    case VT_R8: {
        double value = 0;
        if (FAILED(hr = toReal(s, value)))
            return hr;
        if (vt == VT_R8) {
            out.dblVal = value;
        } else {
            if (std::isfinite(value) && std::fabs(value) > FLT_MAX)
                return DISP_E_OVERFLOW;
            out.fltVal = static_cast<float>(value);
        }
        break;
    }
    case VT_BOOL: {
        bool value = false;
        if (s.kind == Kind::Boolean) {
            value = s.boolean;
        } else if (s.kind == Kind::Text && equalsNoCase(vlscom::toUtf8(s.text), "true")) {
            value = true;
        } else if (s.kind == Kind::Text && equalsNoCase(vlscom::toUtf8(s.text), "false")) {
            value = false;
        } else {
            double real = 0;
            if (FAILED(hr = toReal(s, real)))
                return hr;
            value = real != 0;
        }
        out.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    }
    case VT_BSTR: {
        std::u16string text;
        switch (s.kind) {
        case Kind::Empty:
            break;
        case Kind::Integer:
            text = numberText(s.integer);
            break;
        case Kind::Real:
            text = numberText(s.real);
            break;
        case Kind::Boolean:
            text = s.boolean ? u"True" : u"False";
            break;
        case Kind::Text:
            text = s.text;
            break;
        case Kind::Object:
            return DISP_E_TYPEMISMATCH;
        }
        out.bstrVal = vlscom::allocBstr(text);
        if (!out.bstrVal)
            return E_OUTOFMEMORY;
        break;
    }
    case VT_UNKNOWN:
    case VT_DISPATCH: {
        if (s.kind != Kind::Object)
            return DISP_E_TYPEMISMATCH;
        void* object = nullptr;
        if (s.object
            && FAILED(s.object->QueryInterface(vt == VT_DISPATCH ? IDispatch::iid : IUnknown::iid, &object)))
            return DISP_E_TYPEMISMATCH;
        out.punkVal = static_cast<IUnknown*>(object);
        if (vt == VT_DISPATCH)
            out.pdispVal = static_cast<IDispatch*>(object);
        break;
    }
    default:
        return DISP_E_BADVARTYPE;
    }
    if (FAILED(hr))
        return hr;
    out.vt = vt;
    return S_OK;
}

} // namespace

void VariantInit(VARIANT* v)
{
    if (v) {
        std::memset(static_cast<void*>(v), 0, sizeof(VARIANT));
        v->vt = VT_EMPTY;
    }
}

HRESULT VariantClear(VARIANT* v)
{
    if (!v)
        return E_INVALIDARG;
    if (v->vt & VT_BYREF) {
        if (!knownByReference(v->vt & ~VT_BYREF))
            return DISP_E_BADVARTYPE;
    } else if (v->vt == VT_BSTR) {
        SysFreeString(v->bstrVal);
    } else if (v->vt == VT_UNKNOWN || v->vt == VT_DISPATCH) {
        if (v->punkVal)
            v->punkVal->Release();
    } else if (!ownsNothing(v->vt)) {
        return DISP_E_BADVARTYPE;
    }
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src)
{
    if (!dest || !src)
        return E_INVALIDARG;
    if (dest == src)
        return S_OK;
    VARIANT copy = *src;
    if (src->vt & VT_BYREF) {
        if (!knownByReference(src->vt & ~VT_BYREF))
            return DISP_E_BADVARTYPE;
    } else if (src->vt == VT_BSTR) {
        if (src->bstrVal) {
            copy.bstrVal = vlscom::allocBstr(vlscom::bstrView(src->bstrVal));
            if (!copy.bstrVal)
                return E_OUTOFMEMORY;
        }
    } else if (src->vt == VT_UNKNOWN || src->vt == VT_DISPATCH) {
        if (src->punkVal)
            src->punkVal->AddRef();
    } else if (!ownsNothing(src->vt)) {
        return DISP_E_BADVARTYPE;
    }
    VariantClear(dest);
    *dest = copy;
    return S_OK;
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, WORD, VARTYPE vt)
{
    if (!dest || !src)
        return E_INVALIDARG;
    Source source;
    if (!readSource(*src, source))
        return DISP_E_TYPEMISMATCH;
    VARIANT result;
    VariantInit(&result);
    if (const HRESULT hr = convert(source, vt, result); FAILED(hr))
        return hr;
    // The source may be dest itself: it is read completely before dest is cleared.
    VariantClear(dest);
    *dest = result;
    return S_OK;
}

namespace vlscom {

Variant Variant::fromInt(std::int32_t value)
{
    Variant v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

Variant Variant::fromBool(bool value)
{
    Variant v;
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::fromFloat(float value)
{
    Variant v;
    v.vt = VT_R4;
    v.fltVal = value;
    return v;
}

Variant Variant::fromInt64(std::int64_t value)
{
    Variant v;
    v.vt = VT_I8;
    v.llVal = value;
    return v;
}

Variant Variant::fromString(std::u16string_view text)
{
    Variant v;
    v.vt = VT_BSTR;
    v.bstrVal = allocBstr(text);
    return v;
}

Variant Variant::fromString(std::string_view utf8)
{
    return fromString(std::u16string_view(toUtf16(utf8)));
}

Variant Variant::fromObject(IUnknown* object)
{
    Variant v;
    v.vt = VT_UNKNOWN;
    if (!object)
        return v;
    void* dispatch = nullptr;
    if (SUCCEEDED(object->QueryInterface(IDispatch::iid, &dispatch))) {
        v.vt = VT_DISPATCH;
        v.pdispVal = static_cast<IDispatch*>(dispatch);
    } else {
        object->AddRef();
        v.punkVal = object;
    }
    return v;
}

Variant Variant::byReference(VARTYPE type, void* address)
{
    Variant v;
    v.vt = static_cast<VARTYPE>(type | VT_BYREF);
    v.byref = address;
    return v;
}

bool variantEquals(const VARIANT& a, const VARIANT& b)
{
    if (a.vt != b.vt)
        return false;
    if (a.vt & VT_BYREF)
        return a.byref == b.byref;
    switch (a.vt) {
    case VT_EMPTY:
    case VT_NULL:
        return true;
    case VT_I2:
    case VT_BOOL:
        return a.iVal == b.iVal;
    case VT_I4:
    case VT_ERROR:
    case VT_UI4:
        return a.lVal == b.lVal;
    case VT_I8:
        return a.llVal == b.llVal;
    case VT_UI1:
        return a.bVal == b.bVal;
    case VT_R4:
        return a.fltVal == b.fltVal;
    case VT_R8:
        return a.dblVal == b.dblVal;
    case VT_BSTR:
        return bstrView(a.bstrVal) == bstrView(b.bstrVal);
    case VT_UNKNOWN:
    case VT_DISPATCH:
        return a.punkVal == b.punkVal;
    default:
        return false;
    }
}

} // namespace vlscom
