#include "messagebox.h"

#include <mutex>

namespace vlscom {

namespace {
std::mutex g_mutex;
MessageBoxHandler g_handler;
} // namespace

void SetMessageBoxHandler(MessageBoxHandler handler)
{
    std::lock_guard lock(g_mutex);
    g_handler = std::move(handler);
}

int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style)
{
    MessageBoxHandler handler;
    {
        std::lock_guard lock(g_mutex);
        handler = g_handler;
    }
    if (handler)
        return handler(owner, std::string(text), std::string(caption), style);
    const UINT buttons = style & 0xF;
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDNO : IDOK;
}

} // namespace vlscom
