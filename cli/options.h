#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace tmbr::cli {

// A command line that cannot be used: the message says why (exit code 2).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Long options ("--name VALUE", "--name=VALUE", "--flag") and positional
// arguments; "--" ends the options. "--help" and "-h" ask for help.
class Options {
public:
    enum class Kind {
        Flag, // present or not
        Value, // one value, at most once
        Repeated, // one value each time, any number of times
    };

    // `command` names the command in messages ("tmbr button").
    explicit Options(std::string command);

    Options& add(const std::string& name, Kind kind);
    // Positional arguments are refused unless allowed.
    Options& allowPositionals();

    // Throws UsageError for an unknown option, a missing value, a value
    // option given twice or an unexpected positional argument.
    void parse(const std::vector<std::string>& args);

    bool helpRequested() const { return m_help; }
    bool has(const std::string& name) const;
    // The value of a Value option; empty when absent.
    std::string value(const std::string& name) const;
    // The values of a Repeated option, in command-line order.
    std::vector<std::string> values(const std::string& name) const;
    const std::vector<std::string>& positionals() const { return m_positionals; }

    // A UsageError whose message is prefixed with the command and followed by
    // a pointer to the help.
    UsageError error(const std::string& message) const;

private:
    std::string m_command;
    std::map<std::string, Kind> m_kinds;
    std::map<std::string, std::vector<std::string>> m_given;
    std::vector<std::string> m_positionals;
    bool m_positionalsAllowed = false;
    bool m_help = false;
};

} // namespace tmbr::cli
