#include "mci/mcicommand.h"

#include <algorithm>

namespace tmbr::gui {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string trim(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// Splits off the first word; `text` keeps what follows it.
std::string takeWord(std::string& text)
{
    text = trim(text);
    std::size_t end = 0;
    while (end < text.size() && !isBlank(text[end]))
        ++end;
    std::string word = text.substr(0, end);
    text = trim(text.substr(end));
    return word;
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when `text` ends with a blank and then `flag`, and removes both.
bool dropTrailingFlag(std::string& text, const std::string& flag)
{
    if (text.size() <= flag.size())
        return false;
    const std::size_t at = text.size() - flag.size();
    if (!sameWord(text.substr(at), flag) || !isBlank(text[at - 1]))
        return false;
    text = trim(text.substr(0, at));
    return true;
}

} // namespace

bool sameWord(const std::string& a, const std::string& b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

MciCommand parseMciCommand(const std::string& text)
{
    MciCommand command;
    std::string remaining = text;
    command.verb = takeWord(remaining);
    command.device = takeWord(remaining);
    command.rest = remaining;
    while (!remaining.empty())
        command.words.push_back(takeWord(remaining));
    return command;
}

std::string savePathOf(const std::string& rest)
{
    std::string path = trim(rest);
    if (sameWord(path, "wait") || sameWord(path, "notify"))
        return {};
    bool wait = false;
    bool notify = false;
    for (int i = 0; i < 2; ++i) {
        if (!wait && dropTrailingFlag(path, "wait"))
            wait = true;
        else if (!notify && dropTrailingFlag(path, "notify"))
            notify = true;
    }
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    return path;
}

} // namespace tmbr::gui
