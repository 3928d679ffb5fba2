#include "messagequeue.h"

#include "bstr.h"
#include "pointers.h"
#include "systemerror.h"

#include <algorithm>
#include <cerrno>
#include <deque>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace vlscom {

namespace {

struct QueuedMessage {
    std::uint64_t window;
    UINT message;
    WPARAM wParam;
    PayloadDeleter deleter;
};

void drop(const QueuedMessage& message)
{
    if (message.deleter)
        message.deleter(message.wParam);
}

// Clears a queue slot that is about to be vacated: the container may keep the slot's memory, and
// a stale payload pointer there would hide a leaked payload from LeakSanitizer.
void forget(QueuedMessage& message)
{
    message = QueuedMessage {};
}

struct MessageQueue {
    std::mutex mutex;
    std::deque<QueuedMessage> messages;
    int fd = -1; // eventfd, written under mutex so that closing cannot race a post
    bool closed = false;
};

struct WindowRecord {
    std::string className;
    WindowProcedure procedure;
    std::shared_ptr<MessageQueue> queue;
};

struct WindowTable {
    std::mutex mutex;
    std::unordered_map<std::uint64_t, std::shared_ptr<WindowRecord>> windows;
    std::uint64_t nextId = 1;
};

WindowTable& table()
{
    static WindowTable windows;
    return windows;
}

// The calling thread's queue; on thread exit it closes, dropping what it still holds.
struct QueueHolder {
    std::shared_ptr<MessageQueue> queue;

    QueueHolder() = default;
    QueueHolder(const QueueHolder&) = delete;
    QueueHolder& operator=(const QueueHolder&) = delete;

    ~QueueHolder()
    {
        if (!queue)
            return;
        std::deque<QueuedMessage> left;
        {
            std::lock_guard lock(queue->mutex);
            queue->closed = true;
            left.swap(queue->messages);
            if (queue->fd >= 0)
                ::close(queue->fd);
            queue->fd = -1;
        }
        for (const QueuedMessage& message : left)
            drop(message);
    }
};

thread_local QueueHolder t_queue;

HRESULT currentQueue(std::shared_ptr<MessageQueue>& queue)
{
    if (!t_queue.queue) {
        const int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (fd < 0)
            return hresultFromErrno(errno);
        auto created = std::make_shared<MessageQueue>();
        created->fd = fd;
        t_queue.queue = std::move(created);
    }
    queue = t_queue.queue;
    return S_OK;
}

std::uint64_t idOf(HWND window)
{
    return reinterpret_cast<std::uintptr_t>(window);
}

void signal(int fd)
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(fd, &one, sizeof one);
}

void clearSignal(const std::shared_ptr<MessageQueue>& queue)
{
    std::lock_guard lock(queue->mutex);
    std::uint64_t value = 0;
    if (queue->fd >= 0) [[maybe_unused]]
        const auto read = ::read(queue->fd, &value, sizeof value);
}

} // namespace

HRESULT CreateHelperWindow(std::string_view className, WindowProcedure procedure, HWND* window)
{
    if (const HRESULT hr = vlscom::checkPointers(window); FAILED(hr))
        return hr;
    *window = nullptr;
    try {
        std::shared_ptr<MessageQueue> queue;
        if (const HRESULT hr = currentQueue(queue); FAILED(hr))
            return hr;
        auto record = std::make_shared<WindowRecord>();
        record->className = className;
        record->procedure = std::move(procedure);
        record->queue = std::move(queue);
        WindowTable& windows = table();
        std::lock_guard lock(windows.mutex);
        const std::uint64_t id = windows.nextId++;
        windows.windows.emplace(id, std::move(record));
        *window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(id));
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

bool DestroyWindow(HWND window)
{
    std::shared_ptr<WindowRecord> record;
    {
        WindowTable& windows = table();
        std::lock_guard lock(windows.mutex);
        const auto found = windows.windows.find(idOf(window));
        if (found == windows.windows.end())
            return false;
        record = std::move(found->second);
        windows.windows.erase(found);
    }
    std::vector<QueuedMessage> dropped;
    {
        std::lock_guard lock(record->queue->mutex);
        auto& messages = record->queue->messages;
        const auto stays = std::stable_partition(messages.begin(), messages.end(),
            [id = idOf(window)](const QueuedMessage& message) { return message.window != id; });
        dropped.assign(stays, messages.end());
        std::for_each(stays, messages.end(), forget);
        messages.erase(stays, messages.end());
    }
    for (const QueuedMessage& message : dropped)
        drop(message);
    return true;
}

bool IsWindow(HWND window)
{
    WindowTable& windows = table();
    std::lock_guard lock(windows.mutex);
    return windows.windows.contains(idOf(window));
}

std::string WindowClassName(HWND window)
{
    WindowTable& windows = table();
    std::lock_guard lock(windows.mutex);
    const auto found = windows.windows.find(idOf(window));
    return found == windows.windows.end() ? std::string() : found->second->className;
}

bool PostMessage(HWND window, UINT message, WPARAM wParam, PayloadDeleter deleter)
{
    const QueuedMessage queued { idOf(window), message, wParam, deleter };
    try {
        WindowTable& windows = table();
        // The table lock is held while queueing so that DestroyWindow, which removes the window
        // first and purges its queue after, sees every message posted before the removal.
        std::lock_guard lock(windows.mutex);
        const auto found = windows.windows.find(queued.window);
        if (found != windows.windows.end()) {
            MessageQueue& queue = *found->second->queue;
            std::lock_guard queueLock(queue.mutex);
            if (!queue.closed) {
                queue.messages.push_back(queued);
                signal(queue.fd);
                return true;
            }
        }
    } catch (const std::bad_alloc&) {
    }
    drop(queued);
    return false;
}

std::size_t PumpMessages()
{
    const std::shared_ptr<MessageQueue> queue = t_queue.queue;
    if (!queue)
        return 0;
    clearSignal(queue);
    std::size_t budget = 0;
    {
        std::lock_guard lock(queue->mutex);
        budget = queue->messages.size();
    }
    std::size_t taken = 0;
    while (taken < budget) {
        QueuedMessage message {};
        {
            std::lock_guard lock(queue->mutex);
            if (queue->messages.empty())
                break;
            message = queue->messages.front();
            forget(queue->messages.front());
            queue->messages.pop_front();
        }
        ++taken;
        std::shared_ptr<WindowRecord> record;
        {
            WindowTable& windows = table();
            std::lock_guard lock(windows.mutex);
            const auto found = windows.windows.find(message.window);
            if (found != windows.windows.end())
                record = found->second;
        }
        bool handled = false;
        if (record && record->procedure) {
            try {
                handled = record->procedure(message.message, message.wParam);
            } catch (...) {
                // A procedure must not throw; what it did with the payload is unknown, so it is
                // treated as taken rather than freed twice.
                handled = true;
            }
        }
        if (!handled)
            drop(message);
    }
    return taken;
}

bool WaitMessage(std::chrono::milliseconds timeout)
{
    std::shared_ptr<MessageQueue> queue;
    if (FAILED(currentQueue(queue)))
        return false;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int fd = -1;
        {
            std::lock_guard lock(queue->mutex);
            if (!queue->messages.empty())
                return true;
            fd = queue->fd;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline || fd < 0)
            return false;
        // Rounded up, so that the wait never ends before the deadline.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        pollfd entry { fd, POLLIN, 0 };
        const int ready = ::poll(&entry, 1, static_cast<int>(std::min<long long>(left.count(), 1 << 30)));
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready > 0)
            clearSignal(queue);
    }
}

int MessageQueueFd()
{
    std::shared_ptr<MessageQueue> queue;
    if (FAILED(currentQueue(queue)))
        return -1;
    return queue->fd;
}

void freeBstrPayload(WPARAM payload)
{
    SysFreeString(reinterpret_cast<BSTR>(payload));
}

} // namespace vlscom
