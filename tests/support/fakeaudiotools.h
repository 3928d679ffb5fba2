#pragma once

// Recording fakes of the audio tools' services, for the window logic tests.

#include "audiotools/componenterror.h"
#include "ioptimizerrunner.h"
#include "irecorderencoder.h"
#include "platform/iapplication.h"
#include "platform/iclock.h"
#include "platform/imci.h"
#include "platform/iprogramlauncher.h"
#include "platform/itimer.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace tmbr::gui::test {

// Answers 0 unless a result is set for the command's first word; "status … level" replies `level`.
class FakeMci : public IMci {
public:
    std::vector<std::string> commands;
    std::map<std::string, std::uint32_t> failures; // first word -> result code
    std::string level = "0";

    std::uint32_t mciSendString(const std::string& command, std::string* reply) override
    {
        commands.push_back(command);
        const std::string verb = command.substr(0, command.find(' '));
        if (const auto found = failures.find(verb); found != failures.end())
            return found->second;
        if (reply)
            *reply = verb == "status" ? level : std::string();
        return 0;
    }
    std::string mciGetErrorString(std::uint32_t code) override
    {
        return "error " + std::to_string(code) + " text";
    }

    // The commands other than the level queries.
    std::vector<std::string> sent() const
    {
        std::vector<std::string> result;
        for (const std::string& command : commands) {
            if (command.rfind("status ", 0) != 0)
                result.push_back(command);
        }
        return result;
    }
};

class FakeTimer : public ITimer {
public:
    bool running = false;
    int starts = 0;
    void start() override
    {
        running = true;
        ++starts;
    }
    void stop() override { running = false; }
    bool active() const override { return running; }
};

class FakeClock : public IClock {
public:
    double now = 0;
    double secondsSinceMidnight() override { return now; }
};

class FakeApplication : public IApplication {
public:
    int ends = 0;
    void endApplication() override { ++ends; }
};

class FakeLauncher : public IProgramLauncher {
public:
    bool installed = true;
    std::vector<std::string> started; // program and arguments joined by blanks
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments) override
    {
        std::string line = program;
        for (const std::string& argument : arguments)
            line += " " + argument;
        started.push_back(line);
        return installed;
    }
};

class FakeRecorderEncoder : public IRecorderEncoder {
public:
    std::vector<std::string> calls;
    std::string failOn; // the call that throws, e.g. "Open"
    std::string failHint; // when set, the failure is a control's with this registration hint

    void Open(const std::string& path) override { record("Open " + path, "Open"); }
    void ForceEncodedSamplerate(std::int32_t rate) override
    {
        record("ForceEncodedSamplerate " + std::to_string(rate), "ForceEncodedSamplerate");
    }
    void SetOutputFormatCBR(std::int32_t bitrate) override
    {
        record("SetOutputFormatCBR " + std::to_string(bitrate), "SetOutputFormatCBR");
    }
    void setOverwritePrompt(OverwritePrompt prompt) override
    {
        record(std::string("OverwritePrompt ") + (prompt == OverwritePrompt::On ? "True" : "False"),
            "OverwritePrompt");
    }
    void EncodeFromWave(const std::string& path) override
    {
        record("EncodeFromWave " + path, "EncodeFromWave");
    }
    void Close() override { record("Close", "Close"); }
    void discard() override { calls.push_back("discard"); }

private:
    void record(const std::string& call, const std::string& name)
    {
        calls.push_back(call);
        if (name == failOn && !failHint.empty())
            throw audiotools::ComponentError("0x800401F3 (invalid class string)", failHint);
        if (name == failOn)
            throw std::runtime_error("Cannot create file: Permission denied");
    }
};

class FakeOptimizerRunner : public IOptimizerRunner {
public:
    std::vector<audiotools::OptimizerSettings> runs;
    bool fail = false;
    std::string failHint; // when set, the failure is a control's with this registration hint
    void convert(const audiotools::OptimizerSettings& settings) override
    {
        runs.push_back(settings);
        if (fail && !failHint.empty())
            throw audiotools::ComponentError("0x800401F3 (invalid class string)", failHint);
        if (fail)
            throw std::runtime_error("The file is not a valid MP3 file.");
    }
};

} // namespace tmbr::gui::test
