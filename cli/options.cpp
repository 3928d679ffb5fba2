#include "options.h"

#include "command.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tmbr::cli {

namespace {

// "8 or 16", "11025, 22050 or 44100".
std::string listed(const std::vector<long>& values)
{
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += i + 1 == values.size() ? " or " : ", ";
        text += std::to_string(values[i]);
    }
    return text;
}

// One entry of the options' list: the label, then the help lines from `column` on; a label that
// reaches the column puts the help on the lines below it.
void appendEntry(std::string& text, const std::string& label, const std::string& help, std::size_t column)
{
    std::string line = "  " + label;
    if (line.size() + 1 < column) {
        line.resize(column, ' ');
    } else {
        text += line + "\n";
        line.assign(column, ' ');
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = help.find('\n', start);
        text += line + help.substr(start, end - start) + "\n";
        if (end == std::string::npos)
            break;
        start = end + 1;
        line.assign(column, ' ');
    }
}

OptionDeclaration option(
    std::string label, OptionDeclaration::Kind kind, std::string help, std::optional<NumberCheck> number)
{
    std::string name = label.substr(0, label.find(' '));
    return { std::move(name), kind, std::move(label), std::move(help), std::move(number) };
}

} // namespace

NumberCheck wholeNumber(long low, long high, std::vector<long> only)
{
    return { NumberCheck::Type::Whole, low, high, std::move(only), {}, false };
}

NumberCheck wholeNumber(std::string expects)
{
    return { NumberCheck::Type::Whole, 0, 0x7FFFFFFF, {}, std::move(expects), false };
}

NumberCheck finiteNumber(std::string expects)
{
    return { NumberCheck::Type::Finite, 0, 0, {}, std::move(expects), false };
}

OptionDeclaration flag(std::string label, std::string help)
{
    return option(std::move(label), OptionDeclaration::Kind::Flag, std::move(help), std::nullopt);
}

OptionDeclaration value(std::string label, std::string help, std::optional<NumberCheck> number)
{
    return option(std::move(label), OptionDeclaration::Kind::Value, std::move(help), std::move(number));
}

OptionDeclaration repeated(std::string label, std::string help)
{
    return option(std::move(label), OptionDeclaration::Kind::Repeated, std::move(help), std::nullopt);
}

std::string CommandDeclaration::helpText() const
{
    std::string text = usage + "\n" + description;
    if (helpColumn > 0) {
        text += "\nOptions:\n";
        std::string label;
        for (const OptionDeclaration& option : options) {
            label += (label.empty() ? "" : ", ") + option.label;
            if (option.help.empty())
                continue;
            appendEntry(text, label, option.help, helpColumn);
            label.clear();
        }
        if (listsHelpOption)
            appendEntry(text, "-h, --help", "show this help", helpColumn);
    }
    if (!notes.empty())
        text += "\n" + notes;
    return text;
}

Options::Options(const CommandDeclaration& command)
    : m_command(command)
{
}

const OptionDeclaration* Options::find(const std::string& name) const
{
    for (const OptionDeclaration& option : m_command.options) {
        if (option.name == name)
            return &option;
    }
    return nullptr;
}

void Options::parse(const std::vector<std::string>& args)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            if (!m_command.positionals)
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
        const OptionDeclaration* option = find(name);
        if (arg.rfind("--", 0) != 0 || option == nullptr)
            throw error("unknown option '" + name + "'");
        if (option->kind == Kind::Flag) {
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
        if (option->kind == Kind::Value && !given.empty())
            throw error("option '" + name + "' given twice");
        given.push_back(value);
    }
}

bool Options::has(const std::string& name) const
{
    return m_given.contains(name);
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

std::optional<std::string> Options::numberText(const std::string& name, const NumberCheck*& check) const
{
    const OptionDeclaration* option = find(name);
    if (option == nullptr || !option->number)
        throw std::logic_error(name + " has no number check");
    check = &*option->number;
    if (!has(name) || (check->emptyIsAbsent && value(name).empty()))
        return std::nullopt;
    return value(name);
}

std::optional<std::int32_t> Options::wholeNumber(const std::string& name) const
{
    const NumberCheck* check = nullptr;
    const std::optional<std::string> text = numberText(name, check);
    if (!text)
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text->c_str(), &end, 10);
    if (text->empty() || errno != 0 || *end != '\0' || value < check->low || value > check->high)
        throw error(name + " expects "
            + (check->expects.empty() ? "a whole number from " + std::to_string(check->low) + " to "
                        + std::to_string(check->high)
                                      : check->expects));
    if (!check->only.empty()) {
        bool allowed = false;
        for (const long only : check->only)
            allowed = allowed || value == only;
        if (!allowed)
            throw error(name + " expects " + listed(check->only));
    }
    return static_cast<std::int32_t>(value);
}

std::optional<float> Options::finiteNumber(const std::string& name) const
{
    const NumberCheck* check = nullptr;
    const std::optional<std::string> text = numberText(name, check);
    if (!text)
        return std::nullopt;
    char* end = nullptr;
    const float value = std::strtof(text->c_str(), &end);
    if (text->empty() || *end != '\0' || !std::isfinite(value))
        throw error(name + " expects " + check->expects);
    return value;
}

UsageError Options::error(const std::string& message) const
{
    return UsageError(
        m_command.commandLine() + ": " + message + " (see '" + m_command.commandLine() + " --help')");
}

int runCommand(const CommandDeclaration& command, const std::vector<std::string>& args)
{
    Options options(command);
    options.parse(args);
    if (options.helpRequested()) {
        std::fputs(command.helpText().c_str(), stdout);
        return kExitSuccess;
    }
    return command.run(options);
}

} // namespace tmbr::cli
