#include "componenterror.h"

#include "vlscom/bstr.h"
#include "vlscom/errorinfo.h"
#include "vlscom/systemerror.h"

#include <cwctype>
#include <filesystem>
#include <locale.h> // NOLINT(modernize-deprecated-headers): newlocale and locale_t are POSIX
#include <system_error>

namespace tmbr::audiotools {

namespace {

std::string failureText(HRESULT hr)
{
    const auto error = vlscom::takeErrorInfo();
    if (error && !error->description.empty())
        return vlscom::toUtf8(error->description);
    return vlscom::describeHresult(hr);
}

// Where the file would lie relative to this program's folder, when it is there.
std::string besideProgram(const std::filesystem::path& relative)
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    const std::filesystem::path candidate = (program.parent_path() / relative).lexically_normal();
    return std::filesystem::is_regular_file(candidate, error) ? candidate.string() : std::string();
}

// A word for a POSIX shell: quoted unless it holds only characters that need no quoting.
std::string shellWord(const std::string& text)
{
    const bool plain = !text.empty()
        && text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                  "0123456789/._+-")
            == std::string::npos;
    if (plain)
        return text;
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

void check(HRESULT hr)
{
    if (FAILED(hr))
        throw ComponentError(failureText(hr));
}

std::string registrationHint(const ControlClass& control)
{
    std::string registrar = besideProgram("vlsregsvr");
    if (registrar.empty())
        registrar = "vlsregsvr";
    std::string server = besideProgram(std::filesystem::path("../lib/tmbrsa") / control.server);
    if (server.empty())
        server = std::string("PATH/") + control.server;
    return std::string(control.name) + " (" + control.server
        + ") is not registered. Register it with: " + shellWord(registrar) + " " + shellWord(server);
}

void checkCreated(HRESULT hr, const ControlClass& control)
{
    if (SUCCEEDED(hr))
        return;
    const bool unregistered = hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG;
    throw ComponentError(failureText(hr), unregistered ? registrationHint(control) : std::string());
}

std::string descriptionOf(const std::exception& error)
{
    const auto* component = dynamic_cast<const ComponentError*>(&error);
    return component ? component->description() : std::string(error.what());
}

std::string hintBelow(const std::exception& error)
{
    const auto* component = dynamic_cast<const ComponentError*>(&error);
    return component && !component->hint().empty() ? "\n\n" + component->hint() : std::string();
}

std::string upperCase(const std::string& utf8)
{
    // The process locale may be "C"; case mapping must not depend on it.
    static const locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return l ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
    }();
    std::u16string text = vlscom::toUtf16(utf8);
    for (char16_t& c : text) {
        if (locale && (c < 0xD800 || c > 0xDFFF)) {
            const auto upper = towupper_l(static_cast<wint_t>(c), locale);
            // A mapping that leaves the basic plane would need a surrogate pair; keep the letter.
            if (upper <= 0xFFFF && (upper < 0xD800 || upper > 0xDFFF))
                c = static_cast<char16_t>(upper);
        }
    }
    return vlscom::toUtf8(text);
}

} // namespace tmbr::audiotools
