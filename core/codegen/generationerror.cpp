#include "generationerror.h"

#include "utf8.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <cwctype>
#include <locale.h> // NOLINT(modernize-deprecated-headers): newlocale and locale_t are POSIX

namespace tmbr::codegen {

namespace {

// Classic run-time error numbers and their texts.
constexpr int kFileNotFound = 53;
constexpr int kDiskFull = 61;
constexpr int kPermissionDenied = 70;
constexpr int kPathFileAccessError = 75;
constexpr int kPathNotFound = 76;

// Upper-casing follows Unicode, independent of the process locale.
locale_t upperCaseLocale()
{
    static const locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return l ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
    }();
    return locale;
}

// Upper-cases UTF-8 text; bytes that form no valid sequence pass unchanged.
std::string toUpper(const std::string& text)
{
    const locale_t locale = upperCaseLocale();
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const Utf8Char ch = decodeUtf8(text, i);
        if (!ch.valid) {
            out += text[i];
            ++i;
            continue;
        }
        const char32_t c = ch.value;
        const std::size_t length = ch.length;
        char32_t upper = c;
        if (locale)
            upper = static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), locale));
        appendUtf8(out, upper);
        i += length;
    }
    return out;
}

std::string describe(const char* text, const std::string& path)
{
    return std::string(text) + ": " + path;
}

} // namespace

GenerationError::GenerationError(int number, std::string description)
    : std::runtime_error(description)
    , m_number(number)
    , m_description(std::move(description))
{
}

GenerationError GenerationError::fromErrno(int error, const std::string& path)
{
    char text[256];
    switch (error) {
    case ENOENT:
        return GenerationError(kFileNotFound, describe("File not found", path));
    case ENOTDIR:
        return pathNotFound(path);
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
        return GenerationError(kPermissionDenied, describe("Permission denied", path));
    case ENOSPC:
    case EDQUOT:
        return GenerationError(kDiskFull, describe("Disk full", path));
    default:
        return GenerationError(kPathFileAccessError,
            describe("Path/File access error", path) + " (" + strerror_r(error, text, sizeof text) + ")");
    }
}

GenerationError GenerationError::pathNotFound(const std::string& path)
{
    return GenerationError(kPathNotFound, describe("Path not found", path));
}

std::string standardErrorText(int number, const std::string& description)
{
    return "INTERNAL ERROR OCCURED - ERROR NUMBER: " + std::to_string(number) + " - " + toUpper(description)
        + ". PLEASE CONTACT SUPPORT.";
}

} // namespace tmbr::codegen
