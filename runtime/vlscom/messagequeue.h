#pragma once

// Apartments and hidden helper windows.
//
// Every thread that creates a helper window owns a message queue (its apartment). A window is a
// handle on its owner's queue: any thread may post to it, and only the owning thread runs the
// window procedure, from PumpMessages() or when the host's own loop sees the queue's file
// descriptor readable (then it calls PumpMessages()). Messages run in the order they were posted.
//
// A message may carry a payload in wParam with a deleter. The procedure that handles the message
// owns the payload; a message that no procedure handles (unhandled, or its window destroyed before
// it was dispatched, or its thread gone) has its payload freed with the deleter.

#include "types.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vlscom {

using HWND = struct HelperWindowHandle*;
using WPARAM = std::uintptr_t;
using PayloadDeleter = void (*)(WPARAM);

// Returns true when it handled the message (and so took over its payload).
using WindowProcedure = std::function<bool(UINT message, WPARAM wParam)>;

// Creates a helper window owned by the calling thread (creating the thread's queue on first use).
// Fails with the system error (0x8007xxxx) when the queue cannot be created.
HRESULT CreateHelperWindow(std::string_view className, WindowProcedure procedure, HWND* window);

// Destroys the window; messages still queued for it are dropped (payloads freed). Any thread.
// False when window is not a live window.
bool DestroyWindow(HWND window);

bool IsWindow(HWND window);

// The class name given at creation; empty for a dead handle.
std::string WindowClassName(HWND window);

// Queues a message for the window's owning thread; safe from any thread. The payload always passes
// to the runtime: when the window is gone, the message is dropped at once and the payload freed,
// and false is returned.
bool PostMessage(HWND window, UINT message, WPARAM wParam, PayloadDeleter deleter = nullptr);

// Runs the procedures for the messages queued for the calling thread when it is called (messages
// posted meanwhile wait for the next call, so a procedure that posts cannot starve the caller).
// Returns how many messages were taken from the queue.
std::size_t PumpMessages();

// Waits until the calling thread's queue holds a message or the timeout passes. True if one is
// waiting.
bool WaitMessage(std::chrono::milliseconds timeout);

// A descriptor that polls readable while the calling thread's queue may hold messages; -1 if the
// queue cannot be created. It stays valid for the thread's life; do not read or close it.
int MessageQueueFd();

// Deleter for a BSTR payload.
void freeBstrPayload(WPARAM payload);

} // namespace vlscom
