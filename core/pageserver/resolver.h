#pragma once

#include "pageserver/request.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tmbr::pageserver {

// What the server serves. Address space, under the random prefix P of the server:
//   /P/<path>          a file of the scratch folder;
//   /<absolute path>   a file of the output folder, named by its local path (the local test
//                      settings carry such track addresses), only for a browser that loaded a /P/
//                      page before: those responses set a same-site cookie that carries P.
struct Site {
    std::string prefix; // P: lower-case hex, without slashes
    std::string scratch; // local folders ending with "/"; empty for none
    std::string output;
    std::uint16_t port = 0; // the listening port, which the Host header must name
};

// The file system as the resolver sees it; tests answer from memory.
class IFileLookup {
public:
    virtual ~IFileLookup() = default;
    // The absolute path with every symbolic link, "." and ".." resolved; nothing when the path or
    // a folder on it does not exist.
    virtual std::optional<std::string> canonical(const std::string& path) const = 0;
    virtual bool isRegularFile(const std::string& path) const = 0;
    // The size of a file that can be opened for reading; nothing when it cannot.
    virtual std::optional<std::int64_t> readableSize(const std::string& path) const = 0;
};

// The local file system.
class DiskFiles : public IFileLookup {
public:
    std::optional<std::string> canonical(const std::string& path) const override;
    bool isRegularFile(const std::string& path) const override;
    std::optional<std::int64_t> readableSize(const std::string& path) const override;
};

// The answer to one request. Its body is either `text` or bytes of `file`.
struct Answer {
    struct FilePart {
        std::string path;
        std::int64_t first = 0;
        std::int64_t length = 0;
    };

    int status = 200;
    std::string headers; // each line ended by CRLF; Content-Length and Connection come from the rest
    std::string text;
    std::optional<FilePart> file;
    bool withBody = true; // false for HEAD: the head announces the body but it is not sent
    bool keepAlive = true; // false: the connection ends after this answer
};

// The answer to `request`.
Answer resolve(const Request& request, const Site& site, const IFileLookup& files);

// A refusal with a short text body, such as "404 Not Found\n".
Answer failure(int status, bool withBody, bool keepAlive, const std::string& extraHeaders = {});

// The answers to heads that could not be read; the connection ends after them.
Answer malformedAnswer();
Answer tooLargeAnswer();

// The status line and the headers of `answer`, up to and with the blank line.
std::string responseHead(const Answer& answer);

// The media type sent for a file name.
std::string contentType(const std::string& path);

// The name of the cookie that lets a page of the scratch folder fetch output files.
inline constexpr const char* kCookieName = "tmbrsa-test";

} // namespace tmbr::pageserver
