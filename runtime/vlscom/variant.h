#pragma once

// The subset of automation variants that this system's interfaces pass through Invoke.

#include "bstr.h"
#include "types.h"
#include "unknown.h"

#include <cstdint>
#include <string_view>

struct IDispatch;

enum : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_UI1 = 17,
    VT_UI4 = 19,
    VT_I8 = 20,
    // A caller-owned record (a plain structure) passed by address: VT_RECORD | VT_BYREF, in `byref`.
    VT_RECORD = 36,
    VT_BYREF = 0x4000,
};

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        std::int64_t llVal;
        std::int32_t lVal;
        std::uint32_t ulVal;
        std::uint8_t bVal;
        std::int16_t iVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        HRESULT scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        std::uint8_t* pbVal;
        std::int16_t* piVal;
        std::int32_t* plVal;
        std::int64_t* pllVal;
        float* pfltVal;
        double* pdblVal;
        VARIANT_BOOL* pboolVal;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        VARIANT* pvarVal;
        void* byref;
    };
};

void VariantInit(VARIANT* v);
// Frees what the variant owns (a BSTR, an interface reference; nothing for VT_BYREF) and empties it.
// DISP_E_BADVARTYPE, leaving it untouched, for a type outside the subset above.
HRESULT VariantClear(VARIANT* v);
// dest becomes an independent copy of src (new BSTR, added reference); dest is cleared first.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// Converts src (by value or VT_BYREF) to type vt into dest; dest may be src. Numbers, booleans,
// decimal text and the empty variant convert among VT_I2, VT_I4, VT_I8, VT_UI1, VT_R4, VT_R8,
// VT_BOOL and VT_BSTR; interfaces between VT_UNKNOWN and VT_DISPATCH. DISP_E_TYPEMISMATCH or
// DISP_E_OVERFLOW otherwise, with dest unchanged.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, WORD flags, VARTYPE vt);

namespace vlscom {

// Owning variant; frees its content on destruction.
class Variant : public VARIANT {
public:
    Variant() { VariantInit(this); }
    Variant(const Variant& other)
        : Variant()
    {
        VariantCopy(this, &other);
    }
    Variant(Variant&& other) noexcept
        : VARIANT(other)
    {
        VariantInit(&other);
    }
    Variant& operator=(const Variant& other)
    {
        if (this != &other)
            VariantCopy(this, &other);
        return *this;
    }
    Variant& operator=(Variant&& other) noexcept
    {
        if (this != &other) {
            VariantClear(this);
            static_cast<VARIANT&>(*this) = other;
            VariantInit(&other);
        }
        return *this;
    }
    ~Variant() { VariantClear(this); }

    static Variant fromInt(std::int32_t value);
    static Variant fromBool(bool value);
    static Variant fromFloat(float value);
    static Variant fromInt64(std::int64_t value);
    static Variant fromString(std::u16string_view text);
    static Variant fromString(std::string_view utf8);
    // Adds a reference; VT_DISPATCH when the object answers IDispatch, else VT_UNKNOWN.
    static Variant fromObject(IUnknown* object);
    // VT_BYREF | type with a caller-owned address (no ownership).
    static Variant byReference(VARTYPE type, void* address);
};

// Equal type and equal value (text compared exactly; objects by identity pointer).
bool variantEquals(const VARIANT& a, const VARIANT& b);

} // namespace vlscom
