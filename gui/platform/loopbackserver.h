#pragma once

#include "platform/itestpageserver.h"

#include <QObject>
#include <QString>
#include <QTcpServer>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

class QTcpSocket;

namespace tmbr::pageserver {
struct Answer;
}

namespace tmbr::gui {

// A small HTTP/1.1 server for the local test pages, bound to 127.0.0.1 only,
// on a free port chosen by the system.
//
// Address space, under a random 128-bit prefix P chosen once per server:
//   /P/<path>          a file of the scratch folder;
//   /<absolute path>   a file of the output folder, named by its local path
//                      (the local test settings carry such track addresses),
//                      only for a browser that loaded a /P/ page before: those
//                      responses set a same-site cookie that carries P.
// Anything else is 404. GET and HEAD only, with single byte ranges (206, 416);
// no folder listings; ".." segments, files reached through a symbolic link
// that leads out of the served folder, and a Host header other than
// 127.0.0.1 or localhost with the server's port get 403. Responses are never
// cached, so a new generation's files show on reload.
//
// Requests are read and answered by pageserver::RequestReader and
// pageserver::resolve; this class owns the sockets. It runs on the thread
// that owns it, driven by its event loop; files are sent in pieces as the
// socket drains, so large MP3 files do not fill memory.
class LoopbackServer : public QObject, public ITestPageServer {
    Q_OBJECT
public:
    explicit LoopbackServer(QObject* parent = nullptr);
    ~LoopbackServer() override;
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Listens if not listening yet; false when no port could be bound.
    bool start();
    // Closes the listening socket and every connection.
    void stop();
    bool isListening() const { return m_server.isListening(); }
    std::uint16_t port() const;

    // "http://127.0.0.1:<port>/<prefix>/"; empty when not listening.
    std::string baseUrl() const;

    // ITestPageServer: starts on first use; serves the two folders from now on
    // (local paths ending with "/"; `output` may be empty for none); baseUrl.
    std::string serve(const std::string& scratch, const std::string& output) override;

    // The server that lives as long as the application object: created on
    // first use as a child of QCoreApplication, so it stops when the program
    // ends. Null without an application object.
    static LoopbackServer* forApplication();

private:
    struct Connection;

    void acceptConnections();
    void readRequests(QTcpSocket* socket);
    // Writes `answer` and starts streaming its file, or ends the connection after it.
    void send(QTcpSocket* socket, Connection& connection, pageserver::Answer answer);
    void closeAfterResponse(QTcpSocket* socket, Connection& connection);
    void sendMore(QTcpSocket* socket);
    void drop(QTcpSocket* socket);

    QTcpServer m_server;
    QString m_prefix;
    std::string m_scratch;
    std::string m_output;
    std::unordered_map<QTcpSocket*, std::unique_ptr<Connection>> m_connections;
};

} // namespace tmbr::gui
