#pragma once

// Questions and notices that components raise go to a handler the host installs (a desktop program
// shows a real message box). Without a handler every question is answered No.

#include "messagequeue.h"
#include "types.h"

#include <functional>
#include <string>
#include <string_view>

namespace vlscom {

// Style bits (buttons in the low nibble, icon above).
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_ICONSTOP = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONINFORMATION = 0x40;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// owner: the helper window of the component that asks (or null); text and caption in UTF-8.
using MessageBoxHandler
    = std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT style)>;

// Installs the process-wide handler; an empty handler restores the default answers.
void SetMessageBoxHandler(MessageBoxHandler handler);

// Asks the installed handler; without one: IDNO for a question with a No button, else IDOK.
int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style);

} // namespace vlscom
