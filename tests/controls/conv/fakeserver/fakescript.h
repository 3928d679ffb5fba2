#pragma once

// The script and call log shared by the fakes. The log may be written from the converter's worker
// while the owning thread reads it.

#include <map>
#include <mutex>
#include <string>

class FakeScript {
public:
    void parse(const std::string& text);
    std::string value(const std::string& key, const std::string& fallback = "") const;
    int number(const std::string& key, int fallback) const;
    // For "K:MODE": the mode when count is K, else "".
    std::string failureAt(const std::string& key, int count) const;

    void log(const std::string& line);
    std::string logText() const;

private:
    std::map<std::string, std::string> m_values;
    mutable std::mutex m_mutex;
    std::string m_log;
};
