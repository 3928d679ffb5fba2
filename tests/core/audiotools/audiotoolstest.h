#pragma once

// Shared by the audio tool client tests: both servers registered into a temporary class
// registry for the duration of a test, and dispatching events until a condition holds.

#include "mp3testsupport.h"
#include "testsupport.h"
#include "vlscom/messagequeue.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace audiotoolstest {

class RegisteredServers : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(mp3Server().registerServer(), S_OK);
        ASSERT_EQ(convServer().registerServer(), S_OK);
    }

    static ServerLibrary& mp3Server()
    {
        static ServerLibrary library(VLS_MP3_SERVER);
        return library;
    }
    static ServerLibrary& convServer()
    {
        static ServerLibrary library(VLS_CONV_SERVER);
        return library;
    }

    // Dispatches this thread's messages until done() holds; false after 60 s.
    static bool pumpUntil(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            vlscom::WaitMessage(std::chrono::milliseconds(20));
            vlscom::PumpMessages();
        }
        return true;
    }

    // A sox-made WAV file in the test's folder.
    std::string makeWave(const std::string& name, const std::string& format, double seconds)
    {
        const std::string path = m_folder.file(name);
        const auto result = mp3test::run("sox -n " + format + " -t wav " + mp3test::quoted(path) + " synth "
            + std::to_string(seconds) + " sine 440 vol 0.5 2>&1");
        EXPECT_EQ(result.status, 0) << result.output;
        return path;
    }

    // ffprobe's "sample_rate channels bit_rate" of the first audio stream.
    static std::string probe(const std::string& path)
    {
        const auto result = mp3test::run("ffprobe -v error -select_streams a:0 -show_entries "
                                         "stream=sample_rate,channels,bit_rate -of csv=p=0 "
            + mp3test::quoted(path) + " 2>&1");
        std::string text = result.output;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        return text;
    }

    TemporaryRegistry m_registry;
    mp3test::TempFolder m_folder;
};

} // namespace audiotoolstest
