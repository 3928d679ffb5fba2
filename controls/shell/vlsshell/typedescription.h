#pragma once

// The embedded type description of a server: for each interface its identity, name, help string
// and members (DISPID, kind, name, help string, parameter names and types). Dual interfaces also
// carry, per member, a thunk that converts Invoke's arguments and calls the member through the
// interface's own slot; event (dispatch) interfaces carry no thunks.
//
//   InterfaceDescription d { IID_IThing, "IThing", "Thing interface", InterfaceKind::Dual, {
//       method<&IThing::Open>(1, "Open", "Open a file.", { "szFilename" }),
//       propget<&IThing::get_Size>(2, "Size", "Size in bytes."),
//       propput<&IThing::put_Size>(2, "Size", "Size in bytes."),
//   } };

#include "argtraits.h"
#include "vlscom/dispatch.h"
#include "vlscom/guid.h"

#include <cstddef>
#include <initializer_list>
#include <vector>

namespace vlsshell {

enum class MemberKind : WORD {
    Method = DISPATCH_METHOD,
    PropertyGet = DISPATCH_PROPERTYGET,
    PropertyPut = DISPATCH_PROPERTYPUT,
};

inline constexpr WORD PARAMFLAG_FIN = 0x1;
inline constexpr WORD PARAMFLAG_FOUT = 0x2;
inline constexpr WORD PARAMFLAG_FRETVAL = 0x8;

struct ParamDescription {
    const char* name;
    VARTYPE type;
    WORD flags;
};

struct MemberDescription {
    DISPID id;
    MemberKind kind;
    const char* name;
    const char* helpString;
    std::vector<ParamDescription> params;
    MemberThunk thunk = nullptr;

    // Parameters that Invoke's caller passes (all but the return value).
    UINT inputCount() const;
};

enum class InterfaceKind { Dual, DispInterface };

struct InterfaceDescription {
    IID iid;
    const char* name;
    const char* helpString;
    InterfaceKind kind;
    std::vector<MemberDescription> members;

    // The member with that DISPID and kind; null when there is none.
    const MemberDescription* find(DISPID id, MemberKind kind) const;
};

struct TypeLibDescription {
    GUID libid;
    const char* name;
    const char* helpString;
    WORD majorVersion;
    WORD minorVersion;
    // The interfaces this library defines (registered under Interface\{iid}).
    std::vector<const InterfaceDescription*> interfaces;
};

namespace detail {
template <auto M, std::size_t N>
MemberDescription makeMember(
    DISPID id, MemberKind kind, const char* name, const char* help, const char* const (&names)[N])
{
    using T = Thunk<decltype(M)>;
    static_assert(N == T::arity, "one name per parameter");
    MemberDescription member { id, kind, name, help, {}, &T::template call<M> };
    const auto types = T::types();
    const auto outs = T::outs();
    for (std::size_t i = 0; i < N; ++i) {
        WORD flags = outs[i] ? PARAMFLAG_FOUT : PARAMFLAG_FIN;
        if (T::hasRetval && i + 1 == N)
            flags |= PARAMFLAG_FRETVAL;
        member.params.push_back(ParamDescription { names[i], types[i], flags });
    }
    return member;
}
} // namespace detail

template <auto M, std::size_t N>
MemberDescription method(DISPID id, const char* name, const char* help, const char* const (&params)[N])
{
    return detail::makeMember<M>(id, MemberKind::Method, name, help, params);
}

template <auto M> MemberDescription method(DISPID id, const char* name, const char* help)
{
    static_assert(Thunk<decltype(M)>::arity == 0, "name the parameters");
    MemberDescription member { id, MemberKind::Method, name, help, {},
        &Thunk<decltype(M)>::template call<M> };
    return member;
}

// A property read: one parameter, the value ("pVal").
template <auto M> MemberDescription propget(DISPID id, const char* name, const char* help)
{
    static_assert(Thunk<decltype(M)>::arity == 1, "a property get takes the value only");
    return detail::makeMember<M>(id, MemberKind::PropertyGet, name, help, { "pVal" });
}

// A property write: one parameter, the new value ("newVal").
template <auto M> MemberDescription propput(DISPID id, const char* name, const char* help)
{
    static_assert(Thunk<decltype(M)>::arity == 1 && !Thunk<decltype(M)>::hasRetval,
        "a property put takes the new value only");
    return detail::makeMember<M>(id, MemberKind::PropertyPut, name, help, { "newVal" });
}

// An event of a dispatch interface (implemented by sinks, so no thunk).
MemberDescription event(
    DISPID id, const char* name, const char* help, std::initializer_list<ParamDescription> params = {});

// IDispatch::Invoke over a description: checks the interface id, member, kind, named and counted
// arguments; converts the arguments; calls the member on self (the interface pointer). A failing
// member makes Invoke return DISP_E_EXCEPTION with the member's status in excepInfo->scode and the
// thread's error information (taken) in its source and description.
HRESULT invokeMember(const InterfaceDescription& description, void* self, DISPID id, REFIID riid, WORD flags,
    DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);

// Calls one member by DISPID and kind, returning the member's own status (no EXCEPINFO).
HRESULT callMember(const InterfaceDescription& description, void* self, DISPID id, MemberKind kind,
    const DISPPARAMS& params, VARIANT* result);

// IDispatch::GetIDsOfNames over a description: member names and parameter names, ASCII case ignored.
HRESULT idsOfNames(
    const InterfaceDescription& description, REFIID riid, LPOLESTR* names, UINT count, DISPID* ids);

} // namespace vlsshell
