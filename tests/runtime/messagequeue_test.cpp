#include "vlscom/messagequeue.h"

#include <atomic>
#include <gtest/gtest.h>
#include <poll.h>
#include <thread>
#include <vector>

using namespace vlscom;
using namespace std::chrono_literals;

namespace {

// Payloads that count themselves, so that a test sees every one freed exactly once.
std::atomic<int> g_livePayloads { 0 };

WPARAM newPayload(int value)
{
    ++g_livePayloads;
    return reinterpret_cast<WPARAM>(new int(value));
}

void freePayload(WPARAM payload)
{
    delete reinterpret_cast<int*>(payload);
    --g_livePayloads;
}

bool readable(int fd)
{
    pollfd entry { fd, POLLIN, 0 };
    return ::poll(&entry, 1, 0) == 1;
}

struct Received {
    std::thread::id thread;
    UINT message;
    int value;
};

} // namespace

TEST(MessageQueue, MessagesFromAnyThreadRunOnTheOwnerInOrderOnlyWhenItPumps)
{
    std::vector<Received> received;
    HWND window = nullptr;
    ASSERT_EQ(CreateHelperWindow(
                  "TestHelper",
                  [&](UINT message, WPARAM wParam) {
                      const int* value = reinterpret_cast<int*>(wParam);
                      received.push_back({ std::this_thread::get_id(), message, *value });
                      freePayload(wParam);
                      return true;
                  },
                  &window),
        S_OK);
    EXPECT_EQ(WindowClassName(window), "TestHelper");
    const int fd = MessageQueueFd();
    EXPECT_FALSE(readable(fd));

    std::thread worker([window] {
        for (int i = 0; i < 200; ++i)
            EXPECT_TRUE(PostMessage(window, 1000 + (i % 3), newPayload(i), freePayload));
        // Pumping on another thread runs nothing of the owner's.
        EXPECT_EQ(PumpMessages(), 0U);
    });
    worker.join();
    EXPECT_TRUE(received.empty());
    EXPECT_TRUE(readable(fd));
    EXPECT_EQ(PumpMessages(), 200U);
    EXPECT_FALSE(readable(fd));
    ASSERT_EQ(received.size(), 200U);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(received[i].thread, std::this_thread::get_id());
        EXPECT_EQ(received[i].message, static_cast<UINT>(1000 + (i % 3)));
        EXPECT_EQ(received[i].value, i);
    }
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(g_livePayloads, 0);
}

TEST(MessageQueue, DestroyedWindowDropsQueuedAndLaterMessagesAndFreesTheirPayloads)
{
    int handled = 0;
    HWND window = nullptr;
    ASSERT_EQ(CreateHelperWindow(
                  "Gone", [&](UINT, WPARAM) { return ++handled, true; }, &window),
        S_OK);
    for (int i = 0; i < 10; ++i)
        PostMessage(window, 1, newPayload(i), freePayload);
    EXPECT_EQ(g_livePayloads, 10);
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(g_livePayloads, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(PostMessage(window, 1, newPayload(99), freePayload));
    EXPECT_EQ(g_livePayloads, 0);
    EXPECT_FALSE(DestroyWindow(window));
    PumpMessages();
    EXPECT_EQ(handled, 0);
    EXPECT_EQ(WindowClassName(window), "");
}

TEST(MessageQueue, UnhandledMessagesHaveTheirPayloadFreed)
{
    HWND window = nullptr;
    ASSERT_EQ(CreateHelperWindow(
                  "Picky",
                  [](UINT message, WPARAM wParam) {
                      if (message != 7)
                          return false;
                      freePayload(wParam);
                      return true;
                  },
                  &window),
        S_OK);
    PostMessage(window, 7, newPayload(1), freePayload);
    PostMessage(window, 8, newPayload(2), freePayload);
    EXPECT_EQ(PumpMessages(), 2U);
    EXPECT_EQ(g_livePayloads, 0);
    DestroyWindow(window);
}

TEST(MessageQueue, AThreadThatEndsDropsWhatIsQueuedForItsWindows)
{
    HWND window = nullptr;
    std::thread owner([&] {
        ASSERT_EQ(CreateHelperWindow(
                      "Orphan", [](UINT, WPARAM) { return true; }, &window),
            S_OK);
        PostMessage(window, 1, newPayload(1), freePayload);
    });
    owner.join();
    EXPECT_EQ(g_livePayloads, 0);
    EXPECT_FALSE(PostMessage(window, 1, newPayload(2), freePayload));
    EXPECT_EQ(g_livePayloads, 0);
    EXPECT_TRUE(DestroyWindow(window));
}

TEST(MessageQueue, MessagesPostedWhilePumpingWaitForTheNextPump)
{
    int calls = 0;
    HWND window = nullptr;
    ASSERT_EQ(CreateHelperWindow(
                  "Echo",
                  [&](UINT, WPARAM) {
                      ++calls;
                      PostMessage(window, 1, 0);
                      return true;
                  },
                  &window),
        S_OK);
    PostMessage(window, 1, 0);
    EXPECT_EQ(PumpMessages(), 1U);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(readable(MessageQueueFd()));
    EXPECT_EQ(PumpMessages(), 1U);
    EXPECT_EQ(calls, 2);
    DestroyWindow(window);
    EXPECT_EQ(PumpMessages(), 0U);
}

TEST(MessageQueue, WaitMessageWakesForAPostAndTimesOutOtherwise)
{
    HWND window = nullptr;
    ASSERT_EQ(CreateHelperWindow(
                  "Waiter", [](UINT, WPARAM) { return true; }, &window),
        S_OK);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(WaitMessage(50ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
    std::thread poster([window] {
        std::this_thread::sleep_for(20ms);
        PostMessage(window, 5, 0);
    });
    EXPECT_TRUE(WaitMessage(10s));
    poster.join();
    EXPECT_EQ(PumpMessages(), 1U);
    DestroyWindow(window);
}
