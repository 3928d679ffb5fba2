#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tmbr::pageserver {

// One request head of HTTP/1.0 or HTTP/1.1. A body is never expected.
struct Request {
    std::string method;
    std::string target;
    std::string version;
    std::vector<std::pair<std::string, std::string>> headers; // names in lower case, values trimmed

    // The value of the first header called `name` (lower case); empty when there is none.
    std::string header(std::string_view name) const;
    bool has(std::string_view name) const;
};

// A request head without its closing blank line: the request line and the header lines, each
// ended by CRLF or LF. Nothing when a line is malformed or the version is not HTTP/1.0 or 1.1.
std::optional<Request> parseRequestHead(std::string_view head);

// Cuts the requests out of the bytes a connection receives, in whatever pieces they arrive.
class RequestReader {
public:
    static constexpr std::size_t kMaxHeadBytes = std::size_t { 16 } * 1024;

    struct Next {
        enum class Kind {
            NeedMore, // no complete head yet
            Complete, // `request` holds the next request
            Malformed, // a head that does not parse
            TooLarge, // more than kMaxHeadBytes without the end of a head
        } kind
            = Kind::NeedMore;
        Request request;
    };

    void append(std::string_view bytes) { m_input.append(bytes); }
    // Takes the next head off the input.
    Next next();
    void clear() { m_input.clear(); }

private:
    std::string m_input;
};

// The one byte range of a "Range" header against a file of `size` bytes. Forms that are not
// understood, and several ranges at once, ask for the whole file.
struct ByteRange {
    enum class Kind { Whole, Part, Unsatisfiable } kind = Kind::Whole;
    std::int64_t first = 0;
    std::int64_t last = 0;
};
ByteRange parseRange(std::string_view header, std::int64_t size);

// ASCII helpers of the header grammar.
std::string_view trimmed(std::string_view text);
std::string lowerCase(std::string_view text);
// A decimal number with an optional sign and surrounding blanks; nothing otherwise.
std::optional<std::int64_t> parseDecimal(std::string_view text);

} // namespace tmbr::pageserver
