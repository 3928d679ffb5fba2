#include "systemerror.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace vlscom {

std::string systemErrorText(int errorCode)
{
    std::array<char, 256> buffer {};
    // The GNU strerror_r returns the text, which need not be in the buffer.
    const char* text = strerror_r(errorCode, buffer.data(), buffer.size());
    return text ? std::string(text) : std::string("Unknown error");
}

std::string formatSystemError(std::string_view pattern, int errorCode)
{
    std::string text(pattern);
    if (const auto at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, systemErrorText(errorCode));
    return text;
}

HRESULT hresultFromErrno(int errorCode)
{
    return errorCode > 0 ? HRESULT_FROM_WIN32(static_cast<std::uint32_t>(errorCode)) : E_FAIL;
}

std::string describeHresult(HRESULT hr)
{
    struct Name {
        HRESULT code;
        const char* text;
    };
    static constexpr Name names[] = {
        { S_OK, "success" },
        { S_FALSE, "success (false)" },
        { E_NOTIMPL, "not implemented" },
        { E_NOINTERFACE, "interface not supported" },
        { E_POINTER, "invalid pointer" },
        { E_ABORT, "aborted" },
        { E_FAIL, "unspecified failure" },
        { E_UNEXPECTED, "unexpected failure" },
        { E_OUTOFMEMORY, "out of memory" },
        { E_INVALIDARG, "invalid argument" },
        { DISP_E_EXCEPTION, "exception raised by the component" },
        { DISP_E_MEMBERNOTFOUND, "member not found" },
        { DISP_E_UNKNOWNNAME, "unknown name" },
        { DISP_E_TYPEMISMATCH, "type mismatch" },
        { DISP_E_BADPARAMCOUNT, "wrong number of parameters" },
        { CLASS_E_NOAGGREGATION, "class does not support aggregation" },
        { CLASS_E_CLASSNOTAVAILABLE, "class not available from this server" },
        { REGDB_E_READREGDB, "cannot read the class registry" },
        { REGDB_E_WRITEREGDB, "cannot write the class registry" },
        { REGDB_E_CLASSNOTREG, "class not registered" },
        { CO_E_CLASSSTRING, "invalid class string" },
        { CO_E_DLLNOTFOUND, "server library not found" },
        { CO_E_ERRORINDLL, "server library cannot be used" },
        { CONNECT_E_NOCONNECTION, "no such connection" },
        { CONNECT_E_CANNOTCONNECT, "cannot connect" },
    };
    std::array<char, 16> hex {};
    std::snprintf(hex.data(), hex.size(), "0x%08X", static_cast<unsigned>(hr));
    std::string text(hex.data());
    for (const Name& name : names) {
        if (name.code == hr)
            return text + " (" + name.text + ")";
    }
    if ((static_cast<std::uint32_t>(hr) & 0xFFFF0000U) == 0x80070000U)
        return text + " (" + systemErrorText(static_cast<int>(hr & 0xFFFF)) + ")";
    return text;
}

} // namespace vlscom
