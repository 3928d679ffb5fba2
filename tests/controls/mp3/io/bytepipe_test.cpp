#include "bytepipe.h"
#include "fileio.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace vlsmp3;

// Bytes arrive in order; closing the writer's end gives the reader the end of the stream.
TEST(BytePipe, CarriesBytesToTheEnd)
{
    BytePipe pipe(0);
    const std::vector<std::uint8_t> sent { 1, 2, 3, 4, 5 };
    EXPECT_EQ(pipe.write(sent.data(), sent.size()), 0);
    pipe.closeWriteEnd();
    std::vector<std::uint8_t> received(16);
    EXPECT_EQ(pipe.read(received.data(), received.size()), 5);
    received.resize(5);
    EXPECT_EQ(received, sent);
    EXPECT_EQ(pipe.read(received.data(), received.size()), 0);
}

// Writing after the reader has gone fails with EPIPE and the process lives on (SIGPIPE keeps its
// default, fatal, disposition in this test).
TEST(BytePipe, WritingWithoutReaderFailsWithoutSignal)
{
    BytePipe pipe(0);
    pipe.closeReadEnd();
    const std::uint8_t byte = 0;
    EXPECT_EQ(pipe.write(&byte, 1), EPIPE);

    // The same for a plain pipe written through writeAll.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]);
    EXPECT_EQ(writeAll(ends[1], &byte, 1), EPIPE);
    ::close(ends[1]);
}

// The size hint shrinks the buffer, and the writer blocks until the reader catches up.
TEST(BytePipe, WriterBlocksWhileThePipeIsFull)
{
    BytePipe pipe(4096);
    const std::uint32_t hinted = pipe.bufferSize();
    EXPECT_LT(hinted, BytePipe(0).bufferSize());
    const std::size_t total = 1 << 20;
    std::atomic<bool> done { false };
    std::vector<std::uint8_t> data(total);
    for (std::size_t i = 0; i < total; ++i)
        data[i] = static_cast<std::uint8_t>(i * 31);
    std::thread writer([&] {
        EXPECT_EQ(pipe.write(data.data(), data.size()), 0);
        done = true;
        pipe.closeWriteEnd();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(done.load());
    std::vector<std::uint8_t> received;
    std::vector<std::uint8_t> buffer(4096);
    long count = 0;
    while ((count = pipe.read(buffer.data(), buffer.size())) > 0)
        received.insert(received.end(), buffer.begin(), buffer.begin() + count);
    writer.join();
    EXPECT_EQ(received, data);
}
