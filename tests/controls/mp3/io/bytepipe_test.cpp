#include "bytepipe.h"
#include "fileio.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <random>
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

// Rounds of random ring, write, read and wait sizes: every byte arrives once and in order. A reader
// that closes its end at a random moment makes the blocked or the next write fail with EPIPE
// instead of hanging.
TEST(BytePipe, RandomSizesKeepEveryByteInOrderAndAClosedReaderFailsTheWriter)
{
    std::mt19937 random(12345);
    for (int round = 0; round < 1000; ++round) {
        BytePipe pipe(static_cast<std::uint32_t>(1 + random() % 4096));
        const std::size_t total = random() % 20000;
        const bool readerQuits = round % 4 == 3;
        const std::size_t quitAt = total > 0 ? random() % total : 0;
        std::vector<std::uint8_t> data(total);
        for (std::size_t i = 0; i < total; ++i)
            data[i] = static_cast<std::uint8_t>(random());
        const unsigned writeSeed = static_cast<unsigned>(random());
        int writeResult = 0;
        std::thread writer([&] {
            std::mt19937 sizes(writeSeed);
            for (std::size_t at = 0; at < total && writeResult == 0;) {
                const std::size_t piece = std::min<std::size_t>(1 + sizes() % 3000, total - at);
                writeResult = pipe.write(data.data() + at, piece);
                at += piece;
            }
            pipe.closeWriteEnd();
        });
        std::vector<std::uint8_t> received;
        std::vector<std::uint8_t> buffer(5000);
        for (;;) {
            if (readerQuits && received.size() >= quitAt) {
                pipe.closeReadEnd();
                break;
            }
            const std::size_t size = 1 + random() % buffer.size();
            const long count = pipe.read(buffer.data(), size, random() % (size + 1));
            ASSERT_GE(count, 0);
            if (count == 0)
                break;
            received.insert(received.end(), buffer.begin(), buffer.begin() + count);
        }
        writer.join();
        ASSERT_LE(received.size(), total);
        ASSERT_TRUE(std::equal(received.begin(), received.end(), data.begin())) << "round " << round;
        if (!readerQuits) {
            ASSERT_EQ(received.size(), total) << "round " << round;
            EXPECT_EQ(writeResult, 0);
        } else {
            // The writer ended (the join above): with EPIPE, or earlier when all it had fit.
            EXPECT_TRUE(writeResult == 0 || writeResult == EPIPE) << "round " << round;
            EXPECT_EQ(pipe.read(buffer.data(), buffer.size()), -1);
        }
    }
}
