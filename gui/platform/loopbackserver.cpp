#include "platform/loopbackserver.h"

#include "pageserver/resolver.h"

#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QPointer>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <algorithm>
#include <string_view>

namespace tmbr::gui {

namespace {

constexpr qint64 kPieceBytes = qint64 { 64 } * 1024;
constexpr qint64 kMaxQueuedBytes = qint64 { 256 } * 1024;
constexpr std::size_t kMaxConnections = 64;

} // namespace

struct LoopbackServer::Connection {
    pageserver::RequestReader reader;
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
    return m_server.isListening() || m_server.listen(QHostAddress::LocalHost, 0);
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
    m_scratch = scratch;
    m_output = output;
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
    const QByteArray received = socket->readAll();
    connection.reader.append(
        std::string_view(received.constData(), static_cast<std::size_t>(received.size())));

    const pageserver::Site site { m_prefix.toStdString(), m_scratch, m_output, port() };
    const pageserver::DiskFiles files;
    while (!connection.closing && !connection.file) {
        pageserver::RequestReader::Next next = connection.reader.next();
        using Kind = pageserver::RequestReader::Next::Kind;
        if (next.kind == Kind::NeedMore)
            return;
        const pageserver::Answer answer = next.kind == Kind::Complete
            ? pageserver::resolve(next.request, site, files)
            : next.kind == Kind::TooLarge ? pageserver::tooLargeAnswer()
                                          : pageserver::malformedAnswer();
        send(socket, connection, answer);
    }
}

void LoopbackServer::send(QTcpSocket* socket, Connection& connection, pageserver::Answer answer)
{
    connection.keepAlive = answer.keepAlive;
    std::unique_ptr<QFile> file;
    if (answer.file) {
        file = std::make_unique<QFile>(QString::fromStdString(answer.file->path));
        if (!file->open(QIODevice::ReadOnly)) {
            answer = pageserver::failure(403, answer.withBody, answer.keepAlive);
            file.reset();
        }
    }
    const bool streams = file && answer.withBody && answer.file->length > 0;
    if (streams && !file->seek(answer.file->first)) {
        // Nothing sent yet: the client sees a dropped connection, never a wrong body.
        connection.closing = true;
        socket->abort();
        return;
    }
    QByteArray bytes = QByteArray::fromStdString(pageserver::responseHead(answer));
    if (!file && answer.withBody)
        bytes += QByteArray::fromStdString(answer.text);
    socket->write(bytes);
    if (streams) {
        connection.file = std::move(file);
        connection.remaining = answer.file->length;
        sendMore(socket);
    } else if (!connection.keepAlive) {
        closeAfterResponse(socket, connection);
    }
}

void LoopbackServer::closeAfterResponse(QTcpSocket* socket, Connection& connection)
{
    connection.closing = true;
    connection.reader.clear();
    socket->disconnectFromHost();
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
        if (!connection.keepAlive)
            closeAfterResponse(socket, connection);
    }
}

} // namespace tmbr::gui
