#pragma once

// The component ABI's scalar types and status codes. They live in the global namespace, as the
// platform's own definitions do, so that interface headers read the same as their type library.

#include <cstdint>

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using WORD = std::uint16_t;
using BOOL = std::int32_t;
using DISPID = std::int32_t;
using LCID = std::uint32_t;
using VARTYPE = std::uint16_t;
using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;

// Automation boolean: true is all bits set.
using VARIANT_BOOL = std::int16_t;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr HRESULT makeHresult(std::uint32_t bits)
{
    return static_cast<HRESULT>(bits);
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = makeHresult(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = makeHresult(0x80004002);
inline constexpr HRESULT E_POINTER = makeHresult(0x80004003);
inline constexpr HRESULT E_ABORT = makeHresult(0x80004004);
inline constexpr HRESULT E_FAIL = makeHresult(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = makeHresult(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = makeHresult(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = makeHresult(0x80070057);

inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = makeHresult(0x80020001);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = makeHresult(0x80020003);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = makeHresult(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = makeHresult(0x80020006);
inline constexpr HRESULT DISP_E_NONAMEDARGS = makeHresult(0x80020007);
inline constexpr HRESULT DISP_E_BADVARTYPE = makeHresult(0x80020008);
inline constexpr HRESULT DISP_E_EXCEPTION = makeHresult(0x80020009);
inline constexpr HRESULT DISP_E_OVERFLOW = makeHresult(0x8002000A);
inline constexpr HRESULT DISP_E_BADINDEX = makeHresult(0x8002000B);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = makeHresult(0x8002000E);
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = makeHresult(0x8002000F);

inline constexpr HRESULT CLASS_E_NOAGGREGATION = makeHresult(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = makeHresult(0x80040111);
inline constexpr HRESULT REGDB_E_READREGDB = makeHresult(0x80040150);
inline constexpr HRESULT REGDB_E_WRITEREGDB = makeHresult(0x80040151);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = makeHresult(0x80040154);
inline constexpr HRESULT CONNECT_E_NOCONNECTION = makeHresult(0x80040200);
inline constexpr HRESULT CONNECT_E_CANNOTCONNECT = makeHresult(0x80040202);
inline constexpr HRESULT CO_E_CLASSSTRING = makeHresult(0x800401F3);
inline constexpr HRESULT CO_E_DLLNOTFOUND = makeHresult(0x800401F8);
inline constexpr HRESULT CO_E_ERRORINDLL = makeHresult(0x800401F9);

inline constexpr HRESULT STG_E_INVALIDFUNCTION = makeHresult(0x80030001);
inline constexpr HRESULT STG_E_INVALIDPOINTER = makeHresult(0x80030009);
inline constexpr HRESULT STG_E_WRITEFAULT = makeHresult(0x8003001D);
inline constexpr HRESULT STG_E_READFAULT = makeHresult(0x8003001E);
inline constexpr HRESULT STG_E_INVALIDPARAMETER = makeHresult(0x80030057);
inline constexpr HRESULT STG_E_DOCFILECORRUPT = makeHresult(0x80030109);

constexpr bool SUCCEEDED(HRESULT hr)
{
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr)
{
    return hr < 0;
}

// A system error code (errno on this platform) as a status of the Win32 facility: 0x80070000 | code.
// Code 0 means success.
constexpr HRESULT HRESULT_FROM_WIN32(std::uint32_t code)
{
    return code == 0 ? S_OK : makeHresult(0x80070000U | (code & 0xFFFFU));
}
