#pragma once

// The private sound server of the audio tests (scripts/pulsedaemon): null sink
// "nullsink" (default), "sine" 440 Hz (default source), "micfeed" -> "virtmic".

#include "tempfolder.h"

#include <array>
#include <cstdio>
#include <string>

namespace tmbr::gui::test {

class PulseDaemon {
public:
    PulseDaemon()
    {
        const std::string command
            = std::string(TMBR_SOURCE_DIR) + "/scripts/pulsedaemon start '" + m_folder.path() + "' 2>&1";
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            std::array<char, 512> line {};
            while (std::fgets(line.data(), static_cast<int>(line.size()), pipe))
                m_output += line.data();
            m_started = ::pclose(pipe) == 0;
        }
        if (m_started && !m_output.empty() && m_output.back() == '\n')
            m_output.pop_back();
    }
    ~PulseDaemon()
    {
        const std::string command
            = std::string(TMBR_SOURCE_DIR) + "/scripts/pulsedaemon stop '" + m_folder.path() + "'";
        [[maybe_unused]] const int ignored = std::system(command.c_str());
    }
    PulseDaemon(const PulseDaemon&) = delete;
    PulseDaemon& operator=(const PulseDaemon&) = delete;

    bool started() const { return m_started; }
    // The server address when started, else what the script reported.
    const std::string& server() const { return m_output; }

private:
    TempFolder m_folder;
    std::string m_output;
    bool m_started = false;
};

} // namespace tmbr::gui::test
