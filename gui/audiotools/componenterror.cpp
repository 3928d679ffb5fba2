#include "componenterror.h"

#include "vlscom/bstr.h"
#include "vlscom/errorinfo.h"
#include "vlscom/systemerror.h"

#include <cwctype>
#include <locale.h>

namespace tmbr::audiotools {

void check(HRESULT hr)
{
    if (SUCCEEDED(hr))
        return;
    const auto error = vlscom::takeErrorInfo();
    if (error && !error->description.empty())
        throw ComponentError(vlscom::toUtf8(error->description));
    throw ComponentError(vlscom::describeHresult(hr));
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
