#pragma once

// A temporary folder with a class registry in which vlsregsvr has registered the staged servers,
// for running the audio commands of the real tmbr binary; sox, lame, ffprobe and mutagen make and
// check the files.

#include "runtmbr.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
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

    bool exists(const std::string& name) const { return std::filesystem::exists(m_folder + name); }

    std::string m_folder;
    std::vector<std::pair<std::string, std::string>> m_environment;
};

} // namespace tmbr::testing
