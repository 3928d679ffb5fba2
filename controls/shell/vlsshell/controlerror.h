#pragma once

// The one internal error type of the controls, and the boundary where it becomes a status:
//
//   HRESULT Thing::Open(BSTR name)
//   {
//       return guarded(classDescription, [&] {
//           if (failed) throw ControlError("Cannot open.");
//           return S_OK;
//       });
//   }
//
// A ControlError with a message becomes DISP_E_EXCEPTION with error information (source: the
// versioned ProgID registered for the class's CLSID, description: the message, interface: the null
// GUID); one without a message returns its status alone (E_POINTER, a system error). Running out
// of memory gives E_OUTOFMEMORY, anything else E_UNEXPECTED: no exception leaves a member.

#include "classdescription.h"
#include "vlscom/pointers.h"

#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

namespace vlsshell {

class ControlError : public std::exception {
public:
    // A catalogue message (UTF-8), reported as DISP_E_EXCEPTION with error information.
    explicit ControlError(std::string message);
    // A status returned as it is, without error information.
    static ControlError status(HRESULT hr);
    // A message whose "%s" takes the system's text for errorCode (errno).
    static ControlError system(std::string_view pattern, int errorCode);

    HRESULT code() const { return m_code; }
    bool hasMessage() const { return m_hasMessage; }
    const std::string& message() const { return m_message; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    ControlError(HRESULT code, std::string message, bool hasMessage);

    HRESULT m_code;
    std::string m_message;
    bool m_hasMessage;
};

// The pointer's target; a null pointer throws ControlError::status(E_POINTER). Every member checks
// its pointer parameters with this and nothing else.
template <class T> T& requirePointer(T* pointer)
{
    if (const HRESULT hr = vlscom::checkPointers(pointer); FAILED(hr))
        throw ControlError::status(hr);
    return *pointer;
}

// Installs the error information for a failure of the class and returns DISP_E_EXCEPTION.
HRESULT reportError(const ClassDescription& reporter, std::string_view message) noexcept;

// Runs body (returning HRESULT, or nothing for S_OK) and converts whatever it throws.
template <class Body> HRESULT guarded(const ClassDescription& reporter, Body&& body) noexcept
{
    try {
        if constexpr (std::is_void_v<decltype(body())>) {
            body();
            return S_OK;
        } else {
            return body();
        }
    } catch (const ControlError& error) {
        return error.hasMessage() ? reportError(reporter, error.message()) : error.code();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace vlsshell
