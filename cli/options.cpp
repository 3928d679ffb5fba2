#include "options.h"

namespace tmbr::cli {

Options::Options(std::string command)
    : m_command(std::move(command))
{
}

Options& Options::add(const std::string& name, Kind kind)
{
    m_kinds[name] = kind;
    return *this;
}

Options& Options::allowPositionals()
{
    m_positionalsAllowed = true;
    return *this;
}

void Options::parse(const std::vector<std::string>& args)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            if (!m_positionalsAllowed)
                throw error("unexpected argument '" + arg + "'");
            m_positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            m_help = true;
            continue;
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const auto kind = m_kinds.find(name);
        if (arg.rfind("--", 0) != 0 || kind == m_kinds.end())
            throw error("unknown option '" + name + "'");
        if (kind->second == Kind::Flag) {
            if (equals != std::string::npos)
                throw error("option '" + name + "' takes no value");
            m_given[name].push_back({});
            continue;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else {
            if (i + 1 >= args.size())
                throw error("option '" + name + "' needs a value");
            value = args[++i];
        }
        auto& given = m_given[name];
        if (kind->second == Kind::Value && !given.empty())
            throw error("option '" + name + "' given twice");
        given.push_back(value);
    }
}

bool Options::has(const std::string& name) const
{
    return m_given.count(name) != 0;
}

std::string Options::value(const std::string& name) const
{
    const auto given = m_given.find(name);
    return given == m_given.end() ? std::string() : given->second.front();
}

std::vector<std::string> Options::values(const std::string& name) const
{
    const auto given = m_given.find(name);
    return given == m_given.end() ? std::vector<std::string>() : given->second;
}

UsageError Options::error(const std::string& message) const
{
    return UsageError(m_command + ": " + message + " (see '" + m_command + " --help')");
}

} // namespace tmbr::cli
