#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tmbr::cli {

// A command line that cannot be used: the message says why (exit code 2).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Options;

// The check of a number option's value, applied when the command reads the value, so that the
// command decides the order in which its arguments are judged.
struct NumberCheck {
    enum class Type {
        Whole, // decimal digits with an optional sign, in [low, high]
        Finite, // any finite floating-point number
    };
    Type type = Type::Whole;
    long low = 0;
    long high = 0x7FFFFFFF;
    // Values allowed within the range; empty: all of them.
    std::vector<long> only;
    // The error says "expects <expects>"; empty: "a whole number from LOW to HIGH" (or, with
    // `only`, the allowed values).
    std::string expects;
    // An empty value reads as absent instead of being refused.
    bool emptyIsAbsent = false;
};

// A whole number from low to high, of the values in `only` when that is not empty.
NumberCheck wholeNumber(long low, long high, std::vector<long> only = {});
// A whole number from 0 to 2^31 - 1; the error says "expects <expects>".
NumberCheck wholeNumber(std::string expects);
// A finite number; the error says "expects <expects>".
NumberCheck finiteNumber(std::string expects);

// One option of a command, as parsed and as its help lists it.
struct OptionDeclaration {
    enum class Kind {
        Flag, // present or not
        Value, // one value, at most once
        Repeated, // one value each time, any number of times
    };
    std::string name; // "--player"
    Kind kind = Kind::Flag;
    // The help's left column ("--player NAME").
    std::string label;
    // The help's right column, lines separated by '\n'. Empty: the option is listed with the next
    // one, their labels joined by ", " before that option's help.
    std::string help;
    std::optional<NumberCheck> number;
};

// An option as the help lists it: `label` is the name, then for a value option a space and the
// value's placeholder ("--player NAME").
OptionDeclaration flag(std::string label, std::string help);
OptionDeclaration value(
    std::string label, std::string help, std::optional<NumberCheck> number = std::nullopt);
OptionDeclaration repeated(std::string label, std::string help);

// The whole declaration of one subcommand of tmbr: what it accepts, how its help reads, and the
// function that runs it once its arguments have been parsed. Declarations name every field.
struct CommandDeclaration {
    std::string name; // "button"
    std::string summary; // one line for "tmbr --help"
    std::string usage; // the "Usage:" lines
    std::string description; // the paragraph after the usage
    std::vector<OptionDeclaration> options;
    bool positionals = false; // positional arguments are refused unless allowed
    // Column of the options' help text; 0: no "Options:" section.
    std::size_t helpColumn = 0;
    bool listsHelpOption = false; // "-h, --help" closes the options' list
    std::string notes; // the text after the options, if any
    // Returns the exit code; reports on standard output and standard error.
    int (*run)(const Options& options) = nullptr;

    // "tmbr button", as messages name the command.
    std::string commandLine() const { return "tmbr " + name; }
    std::string helpText() const;
};

// Long options ("--name VALUE", "--name=VALUE", "--flag") and positional
// arguments; "--" ends the options. "--help" and "-h" ask for help.
class Options {
public:
    using Kind = OptionDeclaration::Kind;

    explicit Options(const CommandDeclaration& command);

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

    // The value of an option declared with a Whole number check; nullopt when absent. Throws
    // UsageError when the check refuses it.
    std::optional<std::int32_t> wholeNumber(const std::string& name) const;
    // The value of an option declared with a Finite number check, as wholeNumber.
    std::optional<float> finiteNumber(const std::string& name) const;

    // A UsageError whose message is prefixed with the command and followed by
    // a pointer to the help.
    UsageError error(const std::string& message) const;

private:
    const OptionDeclaration* find(const std::string& name) const;
    // The text to judge, nullopt when absent; `check` is the option's declared check.
    std::optional<std::string> numberText(const std::string& name, const NumberCheck*& check) const;

    const CommandDeclaration& m_command;
    std::map<std::string, std::vector<std::string>> m_given;
    std::vector<std::string> m_positionals;
    bool m_help = false;
};

// Parses `args` for `command`, prints the help when asked for, else runs the command.
int runCommand(const CommandDeclaration& command, const std::vector<std::string>& args);

} // namespace tmbr::cli
