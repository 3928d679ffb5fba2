#include "platform/loopbackserver.h"

#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QPointer>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tmbr::gui {

namespace {

constexpr qsizetype kMaxHeaderBytes = 16 * 1024;
constexpr qint64 kPieceBytes = 64 * 1024;
constexpr qint64 kMaxQueuedBytes = 256 * 1024;
constexpr std::size_t kMaxConnections = 64;
constexpr const char* kCookieName = "tmbrsa-test";

struct Request {
    QByteArray method;
    QByteArray target;
    QByteArray version;
    std::vector<std::pair<QByteArray, QByteArray>> headers; // names in lower case

    QByteArray header(const char* name) const
    {
        for (const auto& [key, value] : headers)
            if (key == name)
                return value;
        return {};
    }
    bool has(const char* name) const
    {
        return std::any_of(headers.begin(), headers.end(), [name](const auto& h) { return h.first == name; });
    }
};

std::optional<Request> parseHead(const QByteArray& head)
{
    const QList<QByteArray> lines = head.split('\n');
    Request request;
    const QList<QByteArray> first = lines.front().trimmed().split(' ');
    if (first.size() != 3)
        return std::nullopt;
    request.method = first[0];
    request.target = first[1];
    request.version = first[2];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i];
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return std::nullopt;
        request.headers.emplace_back(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    return request;
}

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
std::optional<std::string> decodePath(const QByteArray& path)
{
    std::string decoded;
    for (qsizetype i = 0; i < path.size(); ++i) {
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

QByteArray contentType(const std::string& path)
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
    const std::string extension
        = QString::fromStdString(std::filesystem::path(path).extension().string()).toLower().toStdString();
    for (const auto& [suffix, type] : kTypes)
        if (extension == suffix)
            return type;
    return "application/octet-stream";
}

// The one byte range of a "Range" header against a file of `size` bytes.
struct Range {
    enum class Kind { Whole, Part, Unsatisfiable } kind = Kind::Whole;
    qint64 first = 0;
    qint64 last = 0;
};

Range parseRange(const QByteArray& header, qint64 size)
{
    Range range;
    if (header.isEmpty() || !header.startsWith("bytes="))
        return range;
    const QByteArray rangeText = header.mid(6).trimmed();
    // Several ranges would need a multipart body; the whole file is a valid answer.
    if (rangeText.contains(','))
        return range;
    const qsizetype dash = rangeText.indexOf('-');
    if (dash < 0)
        return range;
    const QByteArray from = rangeText.left(dash).trimmed();
    const QByteArray to = rangeText.mid(dash + 1).trimmed();
    bool okFrom = false;
    bool okTo = false;
    const qint64 a = from.toLongLong(&okFrom);
    const qint64 b = to.toLongLong(&okTo);
    if ((!from.isEmpty() && (!okFrom || a < 0)) || (!to.isEmpty() && (!okTo || b < 0)))
        return range;
    if (from.isEmpty()) {
        if (!okTo)
            return range;
        if (b == 0 || size == 0) {
            range.kind = Range::Kind::Unsatisfiable;
            return range;
        }
        range.kind = Range::Kind::Part;
        range.first = std::max<qint64>(0, size - b);
        range.last = size - 1;
        return range;
    }
    if (!to.isEmpty() && b < a)
        return range;
    if (a >= size) {
        range.kind = Range::Kind::Unsatisfiable;
        return range;
    }
    range.kind = Range::Kind::Part;
    range.first = a;
    range.last = to.isEmpty() ? size - 1 : std::min(b, size - 1);
    return range;
}

bool hasCookie(const QByteArray& header, const QByteArray& pair)
{
    for (const QByteArray& part : header.split(';'))
        if (part.trimmed() == pair)
            return true;
    return false;
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

} // namespace

struct LoopbackServer::Connection {
    QByteArray input;
    std::unique_ptr<QFile> file; // the body being sent
    qint64 remaining = 0;
    bool keepAlive = true;
    bool closing = false;
};

LoopbackServer::LoopbackServer(QObject* parent)
    : QObject(parent)
{
    const quint64 high = QRandomGenerator::system()->generate64();
    const quint64 low = QRandomGenerator::system()->generate64();
    m_prefix = QString("%1%2").arg(high, 16, 16, QChar('0')).arg(low, 16, 16, QChar('0'));
    connect(&m_server, &QTcpServer::pendingConnectionAvailable, this, &LoopbackServer::acceptConnections);
}

LoopbackServer::~LoopbackServer()
{
    stop();
}

bool LoopbackServer::start()
{
    if (m_server.isListening())
        return true;
    return m_server.listen(QHostAddress::LocalHost, 0);
}

void LoopbackServer::stop()
{
    m_server.close();
    for (auto& [socket, connection] : m_connections) {
        socket->disconnect(this);
        socket->abort();
        delete socket;
    }
    m_connections.clear();
}

std::uint16_t LoopbackServer::port() const
{
    return m_server.isListening() ? m_server.serverPort() : 0;
}

void LoopbackServer::setFolders(const std::string& scratch, const std::string& output)
{
    m_scratch = scratch;
    m_output = output;
}

std::string LoopbackServer::baseUrl() const
{
    if (!m_server.isListening())
        return {};
    return "http://127.0.0.1:" + std::to_string(port()) + "/" + m_prefix.toStdString() + "/";
}

std::string LoopbackServer::serve(const std::string& scratch, const std::string& output)
{
    if (!start())
        return {};
    setFolders(scratch, output);
    return baseUrl();
}

LoopbackServer* LoopbackServer::forApplication()
{
    static QPointer<LoopbackServer> server;
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return nullptr;
    if (!server)
        server = new LoopbackServer(application);
    return server;
}

void LoopbackServer::acceptConnections()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        if (m_connections.size() >= kMaxConnections) {
            socket->abort();
            delete socket;
            continue;
        }
        socket->setParent(nullptr);
        m_connections.emplace(socket, std::make_unique<Connection>());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequests(socket); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
            auto found = m_connections.find(socket);
            if (found == m_connections.end() || !found->second->file)
                return;
            sendMore(socket);
            if (!found->second->file && !found->second->closing)
                readRequests(socket);
        });
        // Queued, with the socket as context: the socket may still be inside one
        // of its own signals, and a socket deleted by stop() drops the call.
        connect(
            socket, &QTcpSocket::disconnected, socket, [this, socket] { drop(socket); },
            Qt::QueuedConnection);
        if (socket->bytesAvailable() > 0)
            readRequests(socket);
    }
}

void LoopbackServer::drop(QTcpSocket* socket)
{
    auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    m_connections.erase(found);
    socket->disconnect(this);
    socket->deleteLater();
}

void LoopbackServer::readRequests(QTcpSocket* socket)
{
    auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    Connection& connection = *found->second;
    connection.input += socket->readAll();

    auto respond = [&](int status, const QByteArray& headers, const QByteArray& body, bool sendBody) {
        QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + " " + reasonOf(status) + "\r\n";
        response += headers;
        response += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        response += connection.keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
        response += "\r\n";
        if (sendBody)
            response += body;
        socket->write(response);
    };
    auto fail = [&](int status, bool sendBody, const QByteArray& extra = {}) {
        const QByteArray body = QByteArray::number(status) + " " + reasonOf(status) + "\n";
        respond(status, "Content-Type: text/plain; charset=utf-8\r\nCache-Control: no-store\r\n" + extra,
            body, sendBody);
    };
    auto closeAfterResponse = [&] {
        connection.closing = true;
        connection.input.clear();
        socket->disconnectFromHost();
    };
    // After an answer without a body to stream: true when the connection ends.
    auto ended = [&] {
        if (connection.keepAlive)
            return false;
        closeAfterResponse();
        return true;
    };

    while (!connection.closing && !connection.file) {
        const qsizetype end = connection.input.indexOf("\r\n\r\n");
        if (end < 0) {
            if (connection.input.size() > kMaxHeaderBytes) {
                connection.keepAlive = false;
                fail(431, true);
                closeAfterResponse();
            }
            return;
        }
        const QByteArray head = connection.input.left(end);
        connection.input.remove(0, end + 4);

        const std::optional<Request> parsed = parseHead(head);
        if (!parsed || (parsed->version != "HTTP/1.1" && parsed->version != "HTTP/1.0")) {
            connection.keepAlive = false;
            fail(400, true);
            closeAfterResponse();
            return;
        }
        const Request& request = *parsed;
        const bool headOnly = request.method == "HEAD";
        connection.keepAlive
            = request.version == "HTTP/1.1" && request.header("connection").toLower() != "close";
        // A request body is never expected; its bytes would read as the next request.
        if (request.has("transfer-encoding") || request.header("content-length").toLongLong() != 0) {
            connection.keepAlive = false;
            fail(400, !headOnly);
            closeAfterResponse();
            return;
        }
        if (request.method != "GET" && !headOnly) {
            fail(405, true, "Allow: GET, HEAD\r\n");
            if (ended())
                return;
            continue;
        }
        // Another host name in front of the loopback address (DNS rebinding) is refused.
        const QByteArray host = request.header("host").toLower();
        const QByteArray portText = QByteArray::number(port());
        if (host != "127.0.0.1:" + portText && host != "localhost:" + portText) {
            fail(request.has("host") ? 403 : 400, !headOnly);
            if (ended())
                return;
            continue;
        }
        QByteArray target = request.target;
        if (!target.startsWith('/')) {
            fail(400, !headOnly);
            if (ended())
                return;
            continue;
        }
        const qsizetype query = target.indexOf('?');
        if (query >= 0)
            target.truncate(query);
        const std::optional<std::string> path = decodePath(target);
        if (!path) {
            fail(400, !headOnly);
            if (ended())
                return;
            continue;
        }
        if (hasDotSegment(*path)) {
            fail(403, !headOnly);
            if (ended())
                return;
            continue;
        }

        const std::string prefix = "/" + m_prefix.toStdString() + "/";
        const QByteArray cookie = QByteArray(kCookieName) + "=" + m_prefix.toLatin1();
        std::string root;
        std::string relative;
        QByteArray extraHeaders;
        if (path->starts_with(prefix) && !m_scratch.empty()) {
            root = m_scratch;
            relative = path->substr(prefix.size());
            extraHeaders = "Set-Cookie: " + cookie + "; Path=/; HttpOnly; SameSite=Strict\r\n";
        } else if (!m_output.empty() && m_output.front() == '/' && path->starts_with(m_output)
            && hasCookie(request.header("cookie"), cookie)) {
            root = m_output;
            relative = path->substr(m_output.size());
        } else {
            fail(404, !headOnly);
            if (ended())
                return;
            continue;
        }
        if (relative.empty() || relative.back() == '/') {
            fail(404, !headOnly);
            if (ended())
                return;
            continue;
        }

        std::error_code error;
        const std::filesystem::path canonicalRoot = std::filesystem::canonical(root, error);
        if (error) {
            fail(404, !headOnly);
            if (ended())
                return;
            continue;
        }
        const std::filesystem::path canonicalFile = std::filesystem::canonical(root + relative, error);
        if (error) {
            fail(404, !headOnly);
            if (ended())
                return;
            continue;
        }
        const std::string rootText
            = canonicalRoot.string() + (canonicalRoot.string().ends_with('/') ? "" : "/");
        if (!canonicalFile.string().starts_with(rootText)) {
            fail(403, !headOnly);
            if (ended())
                return;
            continue;
        }
        if (!std::filesystem::is_regular_file(canonicalFile, error)) {
            fail(404, !headOnly);
            if (ended())
                return;
            continue;
        }
        auto file = std::make_unique<QFile>(QString::fromStdString(canonicalFile.string()));
        if (!file->open(QIODevice::ReadOnly)) {
            fail(403, !headOnly);
            if (ended())
                return;
            continue;
        }

        const qint64 size = file->size();
        const Range range = parseRange(request.header("range"), size);
        QByteArray headers = "Content-Type: " + contentType(canonicalFile.string()) + "\r\n"
            + "Accept-Ranges: bytes\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n"
            + extraHeaders;
        if (range.kind == Range::Kind::Unsatisfiable) {
            fail(416, !headOnly, "Content-Range: bytes */" + QByteArray::number(size) + "\r\n");
            if (ended())
                return;
            continue;
        }
        int status = 200;
        qint64 first = 0;
        qint64 length = size;
        if (range.kind == Range::Kind::Part) {
            status = 206;
            first = range.first;
            length = range.last - range.first + 1;
            headers += "Content-Range: bytes " + QByteArray::number(range.first) + "-"
                + QByteArray::number(range.last) + "/" + QByteArray::number(size) + "\r\n";
        }
        QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + " " + reasonOf(status) + "\r\n"
            + headers + "Content-Length: " + QByteArray::number(length) + "\r\n"
            + (connection.keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n") + "\r\n";
        if (!headOnly && length > 0 && !file->seek(first)) {
            // Nothing sent yet: the client sees a dropped connection, never a wrong body.
            connection.closing = true;
            socket->abort();
            return;
        }
        socket->write(response);
        if (!headOnly && length > 0) {
            connection.file = std::move(file);
            connection.remaining = length;
            sendMore(socket);
            if (connection.closing)
                return;
        } else if (!connection.keepAlive) {
            closeAfterResponse();
            return;
        }
    }
}

void LoopbackServer::sendMore(QTcpSocket* socket)
{
    auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    Connection& connection = *found->second;
    while (connection.file && connection.remaining > 0 && socket->bytesToWrite() < kMaxQueuedBytes) {
        const QByteArray piece = connection.file->read(std::min(kPieceBytes, connection.remaining));
        if (piece.isEmpty()) {
            // The file shrank under us: the promised length cannot be kept, so the
            // connection ends and the client sees a short body, not a wrong one.
            connection.file.reset();
            connection.closing = true;
            socket->abort();
            return;
        }
        socket->write(piece);
        connection.remaining -= piece.size();
    }
    if (connection.file && connection.remaining == 0) {
        connection.file.reset();
        if (!connection.keepAlive) {
            connection.closing = true;
            connection.input.clear();
            socket->disconnectFromHost();
        }
    }
}

} // namespace tmbr::gui
