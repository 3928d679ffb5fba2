#include "characters.h"

namespace tmbr::codegen {

namespace {

bool startsCharacter(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// Byte offset of character `index`, or text.size() when there are fewer.
std::size_t offsetOf(std::string_view text, std::size_t index)
{
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (startsCharacter(text[i]) || i == 0) {
            if (seen == index)
                return i;
            ++seen;
        }
    }
    return text.size();
}

} // namespace

std::size_t characterCount(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (startsCharacter(text[i]) || i == 0)
            ++count;
    }
    return count;
}

std::string_view characters(std::string_view text, std::size_t first, std::size_t count)
{
    const std::size_t begin = offsetOf(text, first);
    const std::size_t end = offsetOf(text, first + count);
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
