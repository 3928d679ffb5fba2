#include "controlerror.h"

#include "vlscom/activation.h"
#include "vlscom/bstr.h"
#include "vlscom/errorinfo.h"
#include "vlscom/systemerror.h"

namespace vlsshell {

ControlError::ControlError(std::string message)
    : ControlError(DISP_E_EXCEPTION, std::move(message), true)
{
}

ControlError::ControlError(HRESULT code, std::string message, bool hasMessage)
    : m_code(code)
    , m_message(std::move(message))
    , m_hasMessage(hasMessage)
{
}

ControlError ControlError::status(HRESULT hr)
{
    return ControlError(hr, vlscom::describeHresult(hr), false);
}

ControlError ControlError::system(std::string_view pattern, int errorCode)
{
    return ControlError(vlscom::formatSystemError(pattern, errorCode));
}

namespace {
void installErrorInfo(const ClassDescription& reporter, std::string_view message)
{
    std::u16string source;
    LPOLESTR registered = nullptr;
    if (SUCCEEDED(ProgIDFromCLSID(reporter.clsid, &registered)) && registered) {
        source = registered;
        CoTaskMemFree(registered);
    } else {
        source = vlscom::toUtf16(reporter.versionedProgId ? reporter.versionedProgId : "");
    }
    vlscom::setErrorInfo(source, vlscom::toUtf16(message), GUID_NULL);
}
} // namespace

HRESULT reportError(const ClassDescription& reporter, std::string_view message) noexcept
{
    try {
        installErrorInfo(reporter, message);
    } catch (...) {
        // The status still says what kind of failure it was.
    }
    return DISP_E_EXCEPTION;
}

} // namespace vlsshell
