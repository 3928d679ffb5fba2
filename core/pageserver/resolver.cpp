#include "pageserver/resolver.h"

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace tmbr::pageserver {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Percent-decodes a path; nothing for a broken escape or a NUL byte.
std::optional<std::string> decodePath(std::string_view path)
{
    std::string decoded;
    for (std::size_t i = 0; i < path.size(); ++i) {
        char c = path[i];
        if (c == '%') {
            if (i + 2 >= path.size())
                return std::nullopt;
            const int high = hexValue(path[i + 1]);
            const int low = hexValue(path[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            c = static_cast<char>(high * 16 + low);
            i += 2;
        }
        if (c == '\0')
            return std::nullopt;
        decoded += c;
    }
    return decoded;
}

bool hasDotSegment(const std::string& path)
{
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view segment(path.data() + start, end - start);
        if (segment == "." || segment == "..")
            return true;
        start = end + 1;
    }
    return false;
}

bool hasCookie(std::string_view header, std::string_view pair)
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = header.find(';', start);
        if (trimmed(header.substr(start, end == std::string_view::npos ? end : end - start)) == pair)
            return true;
        if (end == std::string_view::npos)
            return false;
        start = end + 1;
    }
}

const char* reasonOf(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 206:
        return "Partial Content";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 416:
        return "Range Not Satisfiable";
    case 431:
        return "Request Header Fields Too Large";
    default:
        return "Error";
    }
}

// The file under `root` that `relative` names, refused when it is a folder, missing, or reached
// through a link that leads out of `root`.
Answer fileAnswer(const Request& request, const std::string& root, const std::string& relative,
    const std::string& extraHeaders, bool withBody, bool keepAlive, const IFileLookup& files)
{
    if (relative.empty() || relative.back() == '/')
        return failure(404, withBody, keepAlive);
    const std::optional<std::string> canonicalRoot = files.canonical(root);
    if (!canonicalRoot)
        return failure(404, withBody, keepAlive);
    const std::optional<std::string> canonicalFile = files.canonical(root + relative);
    if (!canonicalFile)
        return failure(404, withBody, keepAlive);
    const std::string rootText = *canonicalRoot + (canonicalRoot->ends_with('/') ? "" : "/");
    if (!canonicalFile->starts_with(rootText))
        return failure(403, withBody, keepAlive);
    if (!files.isRegularFile(*canonicalFile))
        return failure(404, withBody, keepAlive);
    const std::optional<std::int64_t> size = files.readableSize(*canonicalFile);
    if (!size)
        return failure(403, withBody, keepAlive);

    const ByteRange range = parseRange(request.header("range"), *size);
    if (range.kind == ByteRange::Kind::Unsatisfiable)
        return failure(416, withBody, keepAlive, "Content-Range: bytes */" + std::to_string(*size) + "\r\n");
    Answer answer;
    answer.withBody = withBody;
    answer.keepAlive = keepAlive;
    answer.headers = "Content-Type: " + contentType(*canonicalFile) + "\r\n"
        + "Accept-Ranges: bytes\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n"
        + extraHeaders;
    answer.file = Answer::FilePart { *canonicalFile, 0, *size };
    if (range.kind == ByteRange::Kind::Part) {
        answer.status = 206;
        answer.file->first = range.first;
        answer.file->length = range.last - range.first + 1;
        answer.headers += "Content-Range: bytes " + std::to_string(range.first) + "-"
            + std::to_string(range.last) + "/" + std::to_string(*size) + "\r\n";
    }
    return answer;
}

} // namespace

std::optional<std::string> DiskFiles::canonical(const std::string& path) const
{
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(path, error);
    if (error)
        return std::nullopt;
    return resolved.string();
}

bool DiskFiles::isRegularFile(const std::string& path) const
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::optional<std::int64_t> DiskFiles::readableSize(const std::string& path) const
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status { };
    const bool known = ::fstat(fd, &status) == 0;
    ::close(fd);
    if (!known)
        return std::nullopt;
    return static_cast<std::int64_t>(status.st_size);
}

Answer failure(int status, bool withBody, bool keepAlive, const std::string& extraHeaders)
{
    Answer answer;
    answer.status = status;
    answer.headers = "Content-Type: text/plain; charset=utf-8\r\nCache-Control: no-store\r\n" + extraHeaders;
    answer.text = std::to_string(status) + " " + reasonOf(status) + "\n";
    answer.withBody = withBody;
    answer.keepAlive = keepAlive;
    return answer;
}

Answer malformedAnswer()
{
    return failure(400, true, false);
}

Answer tooLargeAnswer()
{
    return failure(431, true, false);
}

Answer resolve(const Request& request, const Site& site, const IFileLookup& files)
{
    const bool withBody = request.method != "HEAD";
    const bool keepAlive
        = request.version == "HTTP/1.1" && lowerCase(request.header("connection")) != "close";
    // A request body is never expected; its bytes would read as the next request.
    if (request.has("transfer-encoding") || parseDecimal(request.header("content-length")).value_or(0) != 0)
        return failure(400, withBody, false);
    if (request.method != "GET" && withBody)
        return failure(405, true, keepAlive, "Allow: GET, HEAD\r\n");
    // Another host name in front of the loopback address (DNS rebinding) is refused.
    const std::string host = lowerCase(request.header("host"));
    const std::string portText = std::to_string(site.port);
    if (host != "127.0.0.1:" + portText && host != "localhost:" + portText)
        return failure(request.has("host") ? 403 : 400, withBody, keepAlive);
    std::string_view target = request.target;
    if (!target.starts_with('/'))
        return failure(400, withBody, keepAlive);
    target = target.substr(0, target.find('?'));
    const std::optional<std::string> path = decodePath(target);
    if (!path)
        return failure(400, withBody, keepAlive);
    if (hasDotSegment(*path))
        return failure(403, withBody, keepAlive);

    const std::string prefix = "/" + site.prefix + "/";
    const std::string cookie = std::string(kCookieName) + "=" + site.prefix;
    if (path->starts_with(prefix) && !site.scratch.empty())
        return fileAnswer(request, site.scratch, path->substr(prefix.size()),
            "Set-Cookie: " + cookie + "; Path=/; HttpOnly; SameSite=Strict\r\n", withBody, keepAlive, files);
    if (!site.output.empty() && site.output.front() == '/' && path->starts_with(site.output)
        && hasCookie(request.header("cookie"), cookie))
        return fileAnswer(
            request, site.output, path->substr(site.output.size()), {}, withBody, keepAlive, files);
    return failure(404, withBody, keepAlive);
}

std::string responseHead(const Answer& answer)
{
    const std::int64_t length
        = answer.file ? answer.file->length : static_cast<std::int64_t>(answer.text.size());
    return "HTTP/1.1 " + std::to_string(answer.status) + " " + reasonOf(answer.status) + "\r\n"
        + answer.headers + "Content-Length: " + std::to_string(length) + "\r\n"
        + (answer.keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n") + "\r\n";
}

std::string contentType(const std::string& path)
{
    static const std::array<std::pair<const char*, const char*>, 12> kTypes { {
        { ".html", "text/html; charset=utf-8" },
        { ".htm", "text/html; charset=utf-8" },
        { ".js", "text/javascript; charset=utf-8" },
        { ".xml", "text/xml; charset=utf-8" },
        { ".css", "text/css; charset=utf-8" },
        { ".txt", "text/plain; charset=utf-8" },
        { ".mp3", "audio/mpeg" },
        { ".wav", "audio/wav" },
        { ".swf", "application/x-shockwave-flash" },
        { ".png", "image/png" },
        { ".svg", "image/svg+xml" },
        { ".ico", "image/x-icon" },
    } };
    const std::string extension = lowerCase(std::filesystem::path(path).extension().string());
    for (const auto& [suffix, type] : kTypes)
        if (extension == suffix)
            return type;
    return "application/octet-stream";
}

} // namespace tmbr::pageserver
