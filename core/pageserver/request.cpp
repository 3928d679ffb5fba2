#include "pageserver/request.h"

#include <algorithm>
#include <charconv>

namespace tmbr::pageserver {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

} // namespace

std::string Request::header(std::string_view name) const
{
    for (const auto& [key, value] : headers)
        if (key == name)
            return value;
    return {};
}

bool Request::has(std::string_view name) const
{
    return std::any_of(headers.begin(), headers.end(), [name](const auto& h) { return h.first == name; });
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string lowerCase(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::optional<std::int64_t> parseDecimal(std::string_view text)
{
    // Whatever follows a NUL byte is not part of the number's text.
    text = trimmed(text.substr(0, text.find('\0')));
    if (text.size() > 1 && text[0] == '+' && text[1] != '-')
        text.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<Request> parseRequestHead(std::string_view head)
{
    const std::vector<std::string_view> lines = split(head, '\n');
    Request request;
    const std::vector<std::string_view> first = split(trimmed(lines.front()), ' ');
    if (first.size() != 3)
        return std::nullopt;
    request.method = first[0];
    request.target = first[1];
    request.version = first[2];
    if (request.version != "HTTP/1.1" && request.version != "HTTP/1.0")
        return std::nullopt;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        const std::size_t colon = line.find(':');
        if (colon == 0 || colon == std::string_view::npos)
            return std::nullopt;
        request.headers.emplace_back(
            lowerCase(trimmed(line.substr(0, colon))), trimmed(line.substr(colon + 1)));
    }
    return request;
}

RequestReader::Next RequestReader::next()
{
    Next next;
    const std::size_t end = m_input.find("\r\n\r\n");
    if (end == std::string::npos) {
        if (m_input.size() > kMaxHeadBytes)
            next.kind = Next::Kind::TooLarge;
        return next;
    }
    std::optional<Request> request = parseRequestHead(std::string_view(m_input).substr(0, end));
    m_input.erase(0, end + 4);
    if (!request) {
        next.kind = Next::Kind::Malformed;
        return next;
    }
    next.kind = Next::Kind::Complete;
    next.request = std::move(*request);
    return next;
}

ByteRange parseRange(std::string_view header, std::int64_t size)
{
    ByteRange range;
    if (!header.starts_with("bytes="))
        return range;
    const std::string_view rangeText = trimmed(header.substr(6));
    // Several ranges would need a multipart body; the whole file is a valid answer.
    if (rangeText.find(',') != std::string_view::npos)
        return range;
    const std::size_t dash = rangeText.find('-');
    if (dash == std::string_view::npos)
        return range;
    const std::string_view from = trimmed(rangeText.substr(0, dash));
    const std::string_view to = trimmed(rangeText.substr(dash + 1));
    const std::optional<std::int64_t> a = parseDecimal(from);
    const std::optional<std::int64_t> b = parseDecimal(to);
    if ((!from.empty() && (!a || *a < 0)) || (!to.empty() && (!b || *b < 0)))
        return range;
    if (from.empty()) {
        if (!b)
            return range;
        if (*b == 0 || size == 0) {
            range.kind = ByteRange::Kind::Unsatisfiable;
            return range;
        }
        range.kind = ByteRange::Kind::Part;
        range.first = std::max<std::int64_t>(0, size - *b);
        range.last = size - 1;
        return range;
    }
    if (!to.empty() && *b < *a)
        return range;
    if (*a >= size) {
        range.kind = ByteRange::Kind::Unsatisfiable;
        return range;
    }
    range.kind = ByteRange::Kind::Part;
    range.first = *a;
    range.last = to.empty() ? size - 1 : std::min(*b, size - 1);
    return range;
}

} // namespace tmbr::pageserver
