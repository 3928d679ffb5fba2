#include "characters.h"

#include "utf8.h"

namespace tmbr::codegen {

namespace {

// Byte offset of character `index`, or text.size() when there are fewer.
std::size_t offsetOf(std::string_view text, std::size_t index)
{
    std::size_t position = 0;
    for (std::size_t seen = 0; seen < index && position < text.size(); ++seen)
        position += decodeUtf8(text, position).length;
    return position;
}

} // namespace

std::size_t characterCount(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t position = 0; position < text.size(); position += decodeUtf8(text, position).length)
        ++count;
    return count;
}

std::string_view characters(std::string_view text, std::size_t first, std::size_t count)
{
    const std::size_t begin = offsetOf(text, first);
    const std::size_t end = begin + offsetOf(text.substr(begin), count);
    return text.substr(begin, end - begin);
}

std::string_view withoutLastCharacters(std::string_view text, std::size_t count)
{
    const std::size_t total = characterCount(text);
    return total <= count ? std::string_view() : text.substr(0, offsetOf(text, total - count));
}

std::string_view trimmedBlanks(std::string_view text)
{
    const std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

} // namespace tmbr::codegen
