#pragma once

#include <string>
#include <string_view>

namespace tmbr::codegen {

// Escapers for values inserted into generated code. Each one changes only the
// characters that would break its context, so plain names pass unchanged.
// Input and output are UTF-8.

// A file name, or a local folder, that becomes part of a URL: '%', '#', '?',
// '\', control characters (below 0x20 and 0x7F) and every byte of a non-ASCII
// character are percent-encoded with upper-case hex digits. Blanks stay.
std::string urlEncodeFileName(std::string_view name);

// A file name that becomes part of a FlashVars value: as urlEncodeFileName,
// and '&', '+' and '=' too.
std::string urlEncodeFlashVarsValue(std::string_view name);

// An HTML attribute value or HTML text: '&', '<', '>' and '"' as entities.
std::string escapeHtml(std::string_view text);

// An XML attribute value or XML element text: as escapeHtml; control
// characters below 0x20 other than tab are dropped, and a byte that is not
// well-formed UTF-8 (and U+FFFE, U+FFFF) becomes U+FFFD, so the file stays
// well-formed.
std::string escapeXml(std::string_view text);

// Inside a JavaScript string literal of either quote: '\', '"', '\'' as
// backslash escapes, '<' as \x3c (no "</script>" can end the script), CR and
// LF as \r and \n, U+2028 and U+2029 as \u2028 and \u2029.
std::string escapeJsString(std::string_view text);

// An HTML attribute value that stands inside a JavaScript string (markup
// written by document.write): escapeHtml, then escapeJsString.
std::string escapeHtmlInJsString(std::string_view text);

} // namespace tmbr::codegen
