#pragma once

namespace tmbr::codegen {

// Kind of page code the generators produce; the value is the index of the
// checked entry of the Code Type menu.
enum class CodeType { JavaScriptMethod1 = 0, JavaScriptMethod2 = 1, FlashEmbedCode = 2 };

// True for the two code types that write a player script file.
constexpr bool writesScriptFile(CodeType type)
{
    return type != CodeType::FlashEmbedCode;
}

} // namespace tmbr::codegen
