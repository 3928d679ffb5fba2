#include "fakescript.h"

#include <sstream>

void FakeScript::parse(const std::string& text)
{
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ';')) {
        const auto equals = item.find('=');
        if (equals != std::string::npos)
            m_values[item.substr(0, equals)] = item.substr(equals + 1);
    }
}

std::string FakeScript::value(const std::string& key, const std::string& fallback) const
{
    const auto found = m_values.find(key);
    return found == m_values.end() ? fallback : found->second;
}

int FakeScript::number(const std::string& key, int fallback) const
{
    const auto found = m_values.find(key);
    return found == m_values.end() ? fallback : std::stoi(found->second);
}

std::string FakeScript::failureAt(const std::string& key, int count) const
{
    const std::string entry = value(key);
    const auto colon = entry.find(':');
    if (colon == std::string::npos || std::stoi(entry.substr(0, colon)) != count)
        return "";
    return entry.substr(colon + 1);
}

void FakeScript::log(const std::string& line)
{
    const std::lock_guard lock(m_mutex);
    m_log += line + "\n";
}

std::string FakeScript::logText() const
{
    const std::lock_guard lock(m_mutex);
    return m_log;
}
