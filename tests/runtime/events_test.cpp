#include "controlfixture.h"
#include "vlscom/connectionpoint.h"
#include "vlscom/eventsink.h"
#include "vlscom/messagequeue.h"

#include <atomic>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdexcept>
#include <thread>

using namespace vlscom;

namespace {

struct Event {
    int sink;
    std::thread::id thread;
    DISPID id;
    std::u16string argument;
};

ComPtr<EventSink> recordingSink(int number, std::vector<Event>& events, bool failing = false)
{
    return makeObject<EventSink>(
        DIID__IVlsTestControlEvents, [&events, number, failing](DISPID id, const DISPPARAMS& params) {
            const auto text = stringArgument(params, 0);
            events.push_back({ number, std::this_thread::get_id(), id, text.value_or(u"-") });
            if (failing)
                throw std::runtime_error("a sink that fails");
        });
}

// What two sinks see for ticks 1..n: every event to the first sink, then to the second.
std::vector<std::string> expectedLog(int ticks)
{
    std::vector<std::string> log;
    const auto both = [&](const std::string& line) {
        log.push_back("1 " + line);
        log.push_back("2 " + line);
    };
    for (int i = 1; i <= ticks; ++i) {
        both("1:" + std::to_string(i));
        both("2:tick " + std::to_string(i));
    }
    both("3:-");
    return log;
}

std::vector<std::string> logOf(const std::vector<Event>& events)
{
    std::vector<std::string> log;
    for (const Event& event : events)
        log.push_back(
            std::to_string(event.sink) + " " + std::to_string(event.id) + ":" + toUtf8(event.argument));
    return log;
}

} // namespace

using Events = ControlFixture;

TEST_F(Events, FiredFromAWorkerTheyReachEverySinkOnTheOwnersThreadInOrderOnlyWhilePumping)
{
    std::vector<Event> events;
    auto control = createControl();
    auto first = recordingSink(1, events, true);
    auto second = recordingSink(2, events);
    DWORD cookies[2] = {};
    ASSERT_EQ(advise(control.get(), DIID__IVlsTestControlEvents, first->identity(), &cookies[0]), S_OK);
    ASSERT_EQ(advise(control.get(), DIID__IVlsTestControlEvents, second->identity(), &cookies[1]), S_OK);

    ASSERT_EQ(control->Start(20), S_OK);
    ASSERT_EQ(control->Wait(), S_OK);
    EXPECT_TRUE(events.empty());
    pollfd entry { MessageQueueFd(), POLLIN, 0 };
    EXPECT_EQ(::poll(&entry, 1, 0), 1);
    EXPECT_EQ(PumpMessages(), 41U);
    EXPECT_EQ(logOf(events), expectedLog(20));
    for (const Event& event : events)
        EXPECT_EQ(event.thread, std::this_thread::get_id());

    // A sink that leaves stops receiving from the next event on.
    events.clear();
    ASSERT_EQ(control->Start(1), S_OK);
    ASSERT_EQ(control->Wait(), S_OK);
    ASSERT_EQ(unadvise(control.get(), DIID__IVlsTestControlEvents, cookies[0]), S_OK);
    PumpMessages();
    EXPECT_EQ(logOf(events), (std::vector<std::string> { "2 1:1", "2 2:tick 1", "2 3:-" }));
    unadvise(control.get(), DIID__IVlsTestControlEvents, cookies[1]);
}

TEST_F(Events, AControlOwnedByAnotherThreadDeliversThereAndNotHere)
{
    std::vector<Event> events;
    std::thread::id ownerThread;
    std::atomic<bool> posted { false };
    std::atomic<bool> checked { false };
    std::thread owner([&] {
        ownerThread = std::this_thread::get_id();
        auto control = createControl();
        auto sink = recordingSink(1, events);
        DWORD cookie = 0;
        ASSERT_EQ(advise(control.get(), DIID__IVlsTestControlEvents, sink->identity(), &cookie), S_OK);
        ASSERT_EQ(control->Start(3), S_OK);
        ASSERT_EQ(control->Wait(), S_OK);
        posted = true;
        while (!checked)
            std::this_thread::yield();
        while (events.size() < 7 && WaitMessage(std::chrono::seconds(10)))
            PumpMessages();
    });
    while (!posted)
        std::this_thread::yield();
    // The main thread's queue holds nothing of the control's.
    EXPECT_EQ(PumpMessages(), 0U);
    checked = true;
    owner.join();
    ASSERT_EQ(events.size(), 7U);
    for (const Event& event : events)
        EXPECT_EQ(event.thread, ownerThread);
    EXPECT_NE(ownerThread, std::this_thread::get_id());
}

TEST_F(Events, MessagesLeftForADestroyedControlAreDroppedAndFreed)
{
    std::vector<Event> events;
    {
        auto control = createControl();
        auto sink = recordingSink(1, events);
        DWORD cookie = 0;
        ASSERT_EQ(advise(control.get(), DIID__IVlsTestControlEvents, sink->identity(), &cookie), S_OK);
        ASSERT_EQ(control->Start(100), S_OK);
        ASSERT_EQ(control->Wait(), S_OK);
        // The sink keeps no reference to the control, so this releases the last one.
    }
    // The hundred strings posted with the messages were freed with the window (LeakSanitizer
    // checks this in the sanitizer build); nothing is left to run.
    EXPECT_EQ(PumpMessages(), 0U);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(server().canUnloadNow(), S_OK);
}

TEST_F(Events, ReleasingTheControlWhileItsWorkerRunsStopsAndJoinsIt)
{
    auto control = createControl();
    ASSERT_EQ(control->Start(1000000), S_OK);
    control.reset();
    PumpMessages();
    EXPECT_EQ(server().canUnloadNow(), S_OK);
}
