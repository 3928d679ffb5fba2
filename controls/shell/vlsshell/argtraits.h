#pragma once

// How each parameter type of a dual interface member travels through Invoke:
//
//   std::int32_t             VT_I4         VARIANT_BOOL (std::int16_t)  VT_BOOL
//   float                    VT_R4         double                       VT_R8
//   std::int64_t (handles)   VT_I8         BSTR                         VT_BSTR
//   I* (an interface)        VT_DISPATCH, or VT_UNKNOWN when I is not a dispatch interface
//   std::uint8_t* / const    VT_UI1 | VT_BYREF (sample bytes, passed through)
//   R* / const R* (a plain structure)  VT_RECORD | VT_BYREF (the caller's record, passed through)
//   S* for the scalars above, BSTR*, I**: out-parameters; as the last parameter they are the
//   call's return value (pVarResult), elsewhere the caller passes them VT_BYREF (not I**).
//
// In-arguments of another type are converted with VariantChangeType where the type allows.

#include "vlscom/comptr.h"
#include "vlscom/dispatch.h"
#include "vlscom/variant.h"

#include <array>
#include <concepts>
#include <cstdint>
#include <limits>
#include <tuple>
#include <type_traits>
#include <utility>

namespace vlsshell {

// Converts the arguments and calls a member. badArgument receives the rgvarg index of an argument
// that could not be converted (it is left alone when the member itself ran).
using MemberThunk = HRESULT (*)(void* self, const DISPPARAMS& params, VARIANT* result, UINT* badArgument);

template <class T>
concept Interface = std::is_base_of_v<IUnknown, T> && requires
{
    T::iid;
};

template <class T>
concept Scalar = std::same_as<T, std::int32_t> || std::same_as<T, std::int16_t> || std::same_as<T,
    float> || std::same_as<T, double> || std::same_as<T, std::int64_t>;

template <class T>
concept Record = std::is_class_v<T> && std::is_trivially_copyable_v<T> && !Interface<T>;

template <class T> struct ArgTraits;

namespace detail {
template <class T> constexpr VARTYPE scalarType()
{
    if constexpr (std::same_as<T, std::int32_t>)
        return VT_I4;
    else if constexpr (std::same_as<T, std::int16_t>)
        return VT_BOOL;
    else if constexpr (std::same_as<T, float>)
        return VT_R4;
    else if constexpr (std::same_as<T, double>)
        return VT_R8;
    else
        return VT_I8;
}

template <class T> T& scalarField(VARIANT& v)
{
    if constexpr (std::same_as<T, std::int32_t>)
        return v.lVal;
    else if constexpr (std::same_as<T, std::int16_t>)
        return v.boolVal;
    else if constexpr (std::same_as<T, float>)
        return v.fltVal;
    else if constexpr (std::same_as<T, double>)
        return v.dblVal;
    else
        return v.llVal;
}

template <class I> constexpr VARTYPE interfaceType()
{
    return std::is_base_of_v<IDispatch, I> ? VT_DISPATCH : VT_UNKNOWN;
}

// The object an interface argument carries (by value or VT_BYREF); false if it carries none.
bool objectOf(const VARIANT& v, IUnknown*& object);

// A pointer that passes through untouched as VT_BYREF of the base type; VT_EMPTY passes null.
template <class P, VARTYPE Base> struct PassedPointer {
    static constexpr VARTYPE type = Base | VT_BYREF;
    static constexpr bool out = false;
    static constexpr bool retval = false;
    using Holder = P*;
    static HRESULT fromArgument(const VARIANT& v, Holder& holder)
    {
        if (v.vt == VT_EMPTY) {
            holder = nullptr;
            return S_OK;
        }
        if (v.vt != type)
            return DISP_E_TYPEMISMATCH;
        holder = static_cast<P*>(v.byref);
        return S_OK;
    }
    static P* pass(Holder& holder) { return holder; }
};
} // namespace detail

template <Scalar T> struct ArgTraits<T> {
    static constexpr VARTYPE type = detail::scalarType<T>();
    static constexpr bool out = false;
    static constexpr bool retval = false;
    using Holder = T;
    static HRESULT fromArgument(const VARIANT& v, Holder& holder)
    {
        // A value of the member's own type passes untouched: a VARIANT_BOOL of 1 stays 1.
        if (v.vt == type) {
            VARIANT copy = v;
            holder = detail::scalarField<T>(copy);
            return S_OK;
        }
        vlscom::Variant converted;
        if (const HRESULT hr = VariantChangeType(&converted, &v, 0, type); FAILED(hr))
            return hr;
        holder = detail::scalarField<T>(converted);
        return S_OK;
    }
    static T pass(Holder& holder) { return holder; }
};

template <Scalar T> struct ArgTraits<T*> {
    static constexpr VARTYPE type = detail::scalarType<T>() | VT_BYREF;
    static constexpr bool out = true;
    static constexpr bool retval = true;
    struct Holder {
        T value {};
        T* target = nullptr;
    };
    static HRESULT fromArgument(const VARIANT& v, Holder& holder)
    {
        if (v.vt != type)
            return DISP_E_TYPEMISMATCH;
        holder.target = static_cast<T*>(v.byref);
        return S_OK;
    }
    static T* pass(Holder& holder) { return holder.target ? holder.target : &holder.value; }
    static void toResult(Holder& holder, VARIANT& result)
    {
        result.vt = detail::scalarType<T>();
        detail::scalarField<T>(result) = holder.value;
    }
};

template <> struct ArgTraits<BSTR> {
    static constexpr VARTYPE type = VT_BSTR;
    static constexpr bool out = false;
    static constexpr bool retval = false;
    struct Holder {
        vlscom::Variant converted;
        BSTR text = nullptr;
    };
    static HRESULT fromArgument(const VARIANT& v, Holder& holder);
    static BSTR pass(Holder& holder) { return holder.text; }
};

template <> struct ArgTraits<BSTR*> {
    static constexpr VARTYPE type = VT_BSTR | VT_BYREF;
    static constexpr bool out = true;
    static constexpr bool retval = true;
    struct Holder {
        Holder() = default;
        Holder(const Holder&) = delete;
        Holder& operator=(const Holder&) = delete;
        ~Holder() { SysFreeString(value); }
        BSTR value = nullptr;
        BSTR* target = nullptr;
    };
    static HRESULT fromArgument(const VARIANT& v, Holder& holder)
    {
        if (v.vt != type)
            return DISP_E_TYPEMISMATCH;
        holder.target = v.pbstrVal;
        return S_OK;
    }
    static BSTR* pass(Holder& holder) { return holder.target ? holder.target : &holder.value; }
    static void toResult(Holder& holder, VARIANT& result)
    {
        result.vt = VT_BSTR;
        result.bstrVal = std::exchange(holder.value, nullptr);
    }
};

template <Interface I> struct ArgTraits<I*> {
    static constexpr VARTYPE type = detail::interfaceType<I>();
    static constexpr bool out = false;
    static constexpr bool retval = false;
    using Holder = vlscom::ComPtr<I>;
    static HRESULT fromArgument(const VARIANT& v, Holder& holder)
    {
        IUnknown* object = nullptr;
        if (!detail::objectOf(v, object))
            return DISP_E_TYPEMISMATCH;
        if (object && FAILED(object->QueryInterface(I::iid, holder.putVoid())))
            return DISP_E_TYPEMISMATCH;
        return S_OK;
    }
    static I* pass(Holder& holder) { return holder.get(); }
};

template <Interface I> struct ArgTraits<I**> {
    static constexpr VARTYPE type = detail::interfaceType<I>() | VT_BYREF;
    static constexpr bool out = true;
    static constexpr bool retval = true;
    struct Holder {
        Holder() = default;
        Holder(const Holder&) = delete;
        Holder& operator=(const Holder&) = delete;
        ~Holder()
        {
            if (value)
                value->Release();
        }
        I* value = nullptr;
    };
    // Interface out-parameters are return values only.
    static HRESULT fromArgument(const VARIANT&, Holder&) { return DISP_E_TYPEMISMATCH; }
    static I** pass(Holder& holder) { return &holder.value; }
    static void toResult(Holder& holder, VARIANT& result)
    {
        I* value = std::exchange(holder.value, nullptr);
        result.vt = detail::interfaceType<I>();
        if constexpr (std::is_base_of_v<IDispatch, I>)
            result.pdispVal = value;
        else
            result.punkVal = value;
    }
};

template <class B>
requires std::same_as<std::remove_const_t<B>, std::uint8_t>
struct ArgTraits<B*> : detail::PassedPointer<B, VT_UI1> {
};

template <class R>
requires Record<std::remove_const_t<R>>
struct ArgTraits<R*> : detail::PassedPointer<R, VT_RECORD> {
};

template <class Signature> struct Thunk;

template <class I, class... A> struct Thunk<HRESULT (I::*)(A...)> {
    static constexpr std::size_t arity = sizeof...(A);

    static constexpr bool lastIsRetval()
    {
        if constexpr (arity == 0) {
            return false;
        } else {
            using Last = std::tuple_element_t<arity - 1, std::tuple<A...>>;
            return ArgTraits<Last>::retval;
        }
    }
    static constexpr bool hasRetval = lastIsRetval();
    static constexpr std::size_t inputs = arity - (hasRetval ? 1 : 0);

    static constexpr std::array<VARTYPE, arity> types() { return { ArgTraits<A>::type... }; }
    static constexpr std::array<bool, arity> outs() { return { ArgTraits<A>::out... }; }

    template <auto M>
    static HRESULT call(void* self, const DISPPARAMS& params, VARIANT* result, UINT* badArgument)
    {
        if (params.cArgs != inputs)
            return DISP_E_BADPARAMCOUNT;
        return callWith<M>(
            static_cast<I*>(self), params, result, badArgument, std::index_sequence_for<A...> {});
    }

private:
    template <auto M, std::size_t... Index>
    static HRESULT callWith(I* self, [[maybe_unused]] const DISPPARAMS& params, VARIANT* result,
        [[maybe_unused]] UINT* badArgument, std::index_sequence<Index...>)
    {
        std::tuple<typename ArgTraits<A>::Holder...> holders;
        HRESULT hr = S_OK;
        const bool converted = (convert<Index, A>(params, std::get<Index>(holders), hr, badArgument) && ...);
        if (!converted)
            return hr;
        hr = (self->*M)(ArgTraits<A>::pass(std::get<Index>(holders))...);
        if constexpr (hasRetval) {
            using Last = std::tuple_element_t<arity - 1, std::tuple<A...>>;
            if (SUCCEEDED(hr) && result)
                ArgTraits<Last>::toResult(std::get<arity - 1>(holders), *result);
        }
        return hr;
    }

    template <std::size_t Index, class T>
    static bool convert(
        const DISPPARAMS& params, typename ArgTraits<T>::Holder& holder, HRESULT& hr, UINT* badArgument)
    {
        if constexpr (hasRetval && Index == arity - 1) {
            return true;
        } else {
            const UINT position = params.cArgs - 1 - static_cast<UINT>(Index);
            hr = ArgTraits<T>::fromArgument(params.rgvarg[position], holder);
            if (FAILED(hr)) {
                if (badArgument)
                    *badArgument = position;
                return false;
            }
            return true;
        }
    }
};

} // namespace vlsshell
