#pragma once

// A temporary folder with a class registry in which vlsregsvr has registered the staged servers,
// for running the audio commands of the real tmbr binary; sox, lame, ffprobe and mutagen make and
// check the files.

#include "runtmbr.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace tmbr::testing {

class AudioCommandFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tmbr-audio-XXXXXX";
        ASSERT_TRUE(::mkdtemp(pattern));
        m_folder = std::string(pattern) + "/";
        m_environment = { { "VLSCOM_REGISTRY", m_folder + "classes.reg" } };
        for (const char* server : { VLS_MP3_SERVER, VLS_CONV_SERVER })
            ASSERT_EQ(shell("VLSCOM_REGISTRY=" + m_folder + "classes.reg " + VLS_REGSVR + " " + server
                          + " >/dev/null"),
                0);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    static int shell(const std::string& command) { return std::system(command.c_str()); }

    // Standard output of a command run in the folder.
    std::string output(const std::string& command) const
    {
        std::string text;
        if (FILE* pipe = ::popen(("cd " + m_folder + " && " + command).c_str(), "r")) {
            char buffer[4096];
            std::size_t got = 0;
            while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
                text.append(buffer, got);
            ::pclose(pipe);
        }
        return text;
    }

    void makeWave(const std::string& name, const std::string& format, double seconds)
    {
        ASSERT_EQ(shell("cd " + m_folder + " && sox -n " + format + " -t wav " + name + " synth "
                      + std::to_string(seconds) + " sine 440 vol 0.5"),
            0);
    }

    // "sample_rate,channels,bit_rate" of the first audio stream, as ffprobe reads them.
    std::string probe(const std::string& name) const
    {
        return output(
            "ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels,bit_rate "
            "-of csv=p=0 "
            + name);
    }

    // mutagen's reading of the file: a Python expression over m = mutagen.mp3.MP3(file).
    std::string mutagen(const std::string& name, const std::string& expression) const
    {
        return output("/usr/bin/python3 -c 'import mutagen.mp3; m = mutagen.mp3.MP3(\"" + name + "\"); print("
            + expression + ")'");
    }

    TmbrRun tmbr(const std::vector<std::string>& args)
    {
        return runTmbr(args, m_environment, m_folder, m_folder);
    }

    // The name of the temporary file that stands in for `output` while a run writes it; empty when
    // there is none.
    std::string temporaryOf(const std::string& output) const
    {
        for (const auto& entry : std::filesystem::directory_iterator(m_folder)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("." + output + ".", 0) == 0)
                return name;
        }
        return {};
    }

    // Runs tmbr in the folder and sends it `signal` once the temporary file of `output` exists (at
    // most 20 s later); the exit code (-1 when it did not exit normally) and standard error.
    TmbrRun tmbrSignalled(const std::vector<std::string>& args, const std::string& output, int signal)
    {
        const std::string errPath = m_folder + "signalled-stderr.txt";
        const pid_t child = ::fork();
        if (child == 0) {
            const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int null = ::open("/dev/null", O_WRONLY);
            if (err < 0 || null < 0 || ::dup2(err, 2) < 0 || ::dup2(null, 1) < 0
                || ::chdir(m_folder.c_str()) != 0)
                ::_exit(127);
            ::setenv("VLSCOM_REGISTRY", (m_folder + "classes.reg").c_str(), 1);
            std::vector<char*> argv { const_cast<char*>(TMBR_EXE) };
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            ::execv(TMBR_EXE, argv.data());
            ::_exit(127);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (temporaryOf(output).empty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        EXPECT_FALSE(temporaryOf(output).empty()) << "the run never wrote its temporary file";
        ::kill(child, signal);
        TmbrRun run;
        int status = 0;
        if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
            run.exitCode = WEXITSTATUS(status);
        run.err = readBytes(errPath);
        std::filesystem::remove(errPath);
        return run;
    }

    // Runs `args` (which write `output`) once with SIGINT and once with SIGKILL in the middle of
    // the run: each time an earlier `output` keeps its bytes and no partial file has its name;
    // SIGINT exits 130 with "<command>: interrupted" and leaves no temporary file.
    void expectSignalsLeaveTheOutput(const std::vector<std::string>& args, const std::string& output)
    {
        const std::string before = "an earlier file";
        writeBytes(m_folder + output, before);
        auto run = tmbrSignalled(args, output, SIGINT);
        EXPECT_EQ(run.exitCode, 130);
        EXPECT_EQ(run.err, "tmbr " + args.front() + ": interrupted\n");
        EXPECT_EQ(readBytes(m_folder + output), before);
        EXPECT_EQ(temporaryOf(output), "");
        run = tmbrSignalled(args, output, SIGKILL);
        EXPECT_EQ(run.exitCode, -1);
        EXPECT_EQ(readBytes(m_folder + output), before);
        // Nothing can remove the temporary file of a killed run; the next run must not take it
        // for its own.
        if (const std::string left = temporaryOf(output); !left.empty())
            std::filesystem::remove(m_folder + left);
    }

    bool exists(const std::string& name) const { return std::filesystem::exists(m_folder + name); }

    std::string m_folder;
    std::vector<std::pair<std::string, std::string>> m_environment;
};

} // namespace tmbr::testing
