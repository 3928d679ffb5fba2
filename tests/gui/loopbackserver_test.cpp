#include "platform/loopbackserver.h"
#include "tempappfolder.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QTest>
#include <arpa/inet.h>
#include <cctype>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace tmbr::gui::test {
namespace {

struct Reply {
    int status = 0;
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;
};

// Sends `request` on a fresh connection to `address`:`port` and returns every
// byte the server sends until it closes (or 5 s pass without data).
std::string exchange(std::uint16_t port, const std::string& request, const char* address = "127.0.0.1")
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    ::inet_pton(AF_INET, address, &to.sin_addr);
    std::string received;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        ::close(fd);
        return "connect failed";
    }
    std::size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += static_cast<std::size_t>(n);
    }
    char buffer[65536];
    for (;;) {
        pollfd wait { fd, POLLIN, 0 };
        if (::poll(&wait, 1, 5000) <= 0)
            break;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        received.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return received;
}

// Splits a stream of responses (each with Content-Length; `head` says which
// of them answered HEAD and carry no body).
std::vector<Reply> parseReplies(std::string raw, const std::vector<bool>& head = {})
{
    std::vector<Reply> replies;
    while (!raw.empty()) {
        const std::size_t end = raw.find("\r\n\r\n");
        if (end == std::string::npos)
            break;
        Reply reply;
        std::istringstream lines(raw.substr(0, end));
        std::string line;
        std::getline(lines, line);
        reply.status = std::stoi(line.substr(9, 3));
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const std::size_t colon = line.find(':');
            std::string name = line.substr(0, colon);
            for (char& c : name)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            reply.headers[name] = line.substr(colon + 2);
        }
        raw.erase(0, end + 4);
        const bool noBody = replies.size() < head.size() && head[replies.size()];
        const std::size_t length = noBody ? 0 : std::stoul(reply.headers["content-length"]);
        reply.body = raw.substr(0, length);
        raw.erase(0, std::min(length, raw.size()));
        replies.push_back(reply);
    }
    return replies;
}

bool isPrefixToken(const std::string& text)
{
    return text.size() == 32 && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(c) || (c >= 'a' && c <= 'f');
    });
}

std::string blanksEncoded(std::string text)
{
    for (std::size_t at = text.find(' '); at != std::string::npos; at = text.find(' ', at))
        text.replace(at, 1, "%20");
    return text;
}

class LoopbackServerTest : public ::testing::Test {
protected:
    TempFolder folders;
    std::string scratch = folders.path() + "temp/";
    std::string output = folders.path() + "my site/";
    LoopbackServer server;
    std::string base;
    std::string prefix; // "/<prefix>/"
    std::string hostLine;

    void SetUp() override
    {
        writeFile(scratch + "do-not-upload.html", "<html>test page</html>\r\n");
        writeFile(scratch + "settings_as.xml", "<AA></AA>\r\n");
        writeFile(scratch + "swfobject.js", "var x = 1;\n");
        writeFile(scratch + "song.mp3", "0123456789");
        writeFile(scratch + "sub/inner.txt", "inner");
        writeFile(output + "track one.mp3", "ABCDEFGHIJ");
        writeFile(output + "Über.mp3", "umlaut");
        writeFile(folders.path() + "secret.txt", "secret");
        base = server.serve(scratch, output);
        const std::string origin = "http://127.0.0.1:" + std::to_string(server.port());
        ASSERT_TRUE(base.starts_with(origin + "/") && base.ends_with("/")) << base;
        prefix = base.substr(origin.size());
        ASSERT_TRUE(isPrefixToken(prefix.substr(1, prefix.size() - 2))) << base;
        hostLine = "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n";
    }

    // Runs a client on another thread while this thread serves.
    std::string run(const std::string& request, const char* address = "127.0.0.1")
    {
        const std::uint16_t port = server.port();
        std::future<std::string> reply
            = std::async(std::launch::async, [=] { return exchange(port, request, address); });
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 20000));
        return reply.get();
    }

    Reply get(
        const std::string& target, const std::string& extraHeaders = {}, const std::string& method = "GET")
    {
        const std::vector<Reply> replies = parseReplies(run(method + " " + target + " HTTP/1.1\r\n" + hostLine
                                                            + extraHeaders + "Connection: close\r\n\r\n"),
            { method == "HEAD" });
        EXPECT_EQ(replies.size(), 1U) << target;
        return replies.empty() ? Reply {} : replies.front();
    }

    std::string cookie()
    {
        const std::string setCookie = get(prefix + "do-not-upload.html").headers["set-cookie"];
        return "Cookie: other=1; " + setCookie.substr(0, setCookie.find(';')) + "\r\n";
    }
};

TEST_F(LoopbackServerTest, ListensOnTheLoopbackAddressOnlyUnderARandomPrefix)
{
    EXPECT_TRUE(server.isListening());
    EXPECT_NE(server.port(), 0);
    LoopbackServer other;
    EXPECT_NE(other.serve(scratch, output), base) << "each server draws its own prefix";
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.protocol() != QAbstractSocket::IPv4Protocol || address.isLoopback())
            continue;
        EXPECT_EQ(run("GET / HTTP/1.1\r\n\r\n", address.toString().toLatin1().constData()), "connect failed")
            << address.toString().toStdString();
    }
}

TEST_F(LoopbackServerTest, ServesScratchFilesWithTheirTypesUncachedAndSetsTheSiteCookie)
{
    const Reply page = get(prefix + "do-not-upload.html");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.body, "<html>test page</html>\r\n");
    EXPECT_EQ(page.headers.at("content-type"), "text/html; charset=utf-8");
    EXPECT_EQ(page.headers.at("cache-control"), "no-store");
    EXPECT_EQ(page.headers.at("accept-ranges"), "bytes");
    EXPECT_EQ(page.headers.at("set-cookie"),
        "tmbrsa-test=" + prefix.substr(1, 32) + "; Path=/; HttpOnly; SameSite=Strict");

    EXPECT_EQ(get(prefix + "song.mp3").headers.at("content-type"), "audio/mpeg");
    EXPECT_EQ(get(prefix + "sub/inner.txt?x=1").body, "inner");
    EXPECT_EQ(get(prefix + "s%6Fng.mp3").body, "0123456789");
}

TEST_F(LoopbackServerTest, HeadAnswersWithTheHeadersOfGetAndNoBody)
{
    const std::string raw
        = run("HEAD " + prefix + "song.mp3 HTTP/1.1\r\n" + hostLine + "Connection: close\r\n\r\n");
    const std::vector<Reply> replies = parseReplies(raw, { true });
    ASSERT_EQ(replies.size(), 1U);
    EXPECT_EQ(replies[0].status, 200);
    EXPECT_EQ(replies[0].headers.at("content-length"), "10");
    EXPECT_TRUE(raw.ends_with("\r\n\r\n")) << "no body bytes follow";
}

TEST_F(LoopbackServerTest, ByteRangesSendTheExactBytesOr416)
{
    Reply middle = get(prefix + "song.mp3", "Range: bytes=2-5\r\n");
    EXPECT_EQ(middle.status, 206);
    EXPECT_EQ(middle.body, "2345");
    EXPECT_EQ(middle.headers.at("content-range"), "bytes 2-5/10");
    EXPECT_EQ(middle.headers.at("content-length"), "4");

    Reply beyond = get(prefix + "song.mp3", "Range: bytes=10-\r\n");
    EXPECT_EQ(beyond.status, 416);
    EXPECT_EQ(beyond.body, "416 Range Not Satisfiable\n");
}

TEST_F(LoopbackServerTest, RefusalsAnswerWithAShortTextAndKeepTheConnectionAsAsked)
{
    const Reply traversal = get(prefix + "../secret.txt");
    EXPECT_EQ(traversal.status, 403);
    EXPECT_EQ(traversal.body, "403 Forbidden\n");
    EXPECT_EQ(get(prefix + "missing.html").status, 404);

    const std::string wrongHost = "GET " + prefix + "song.mp3 HTTP/1.1\r\nHost: attacker.example:"
        + std::to_string(server.port()) + "\r\nConnection: close\r\n\r\n";
    EXPECT_EQ(parseReplies(run(wrongHost)).at(0).status, 403);

    const Reply post = get(prefix + "song.mp3", {}, "DELETE");
    EXPECT_EQ(post.status, 405);
    EXPECT_EQ(post.headers.at("allow"), "GET, HEAD");

    // A refusal on a kept connection is followed by the next answer; a head that does not
    // parse ends the connection, and nothing after it is read.
    const std::vector<Reply> replies = parseReplies(run("GET " + prefix + "missing HTTP/1.1\r\n" + hostLine
        + "\r\ngarbage\r\n\r\nGET " + prefix + "song.mp3 HTTP/1.1\r\n" + hostLine + "\r\n"));
    ASSERT_EQ(replies.size(), 2U);
    EXPECT_EQ(replies[0].status, 404);
    EXPECT_EQ(replies[0].headers.at("connection"), "keep-alive");
    EXPECT_EQ(replies[1].status, 400);
    EXPECT_EQ(replies[1].headers.at("connection"), "close");
}

TEST_F(LoopbackServerTest, SymbolicLinksServeOnlyWhenTheyStayInsideTheFolder)
{
    std::filesystem::create_symlink(folders.path() + "secret.txt", scratch + "out.txt");
    std::filesystem::create_symlink(folders.path(), scratch + "up");
    std::filesystem::create_symlink(scratch + "song.mp3", scratch + "alias.mp3");
    EXPECT_EQ(get(prefix + "out.txt").status, 403);
    EXPECT_EQ(get(prefix + "up/secret.txt").status, 403);
    const Reply alias = get(prefix + "alias.mp3");
    EXPECT_EQ(alias.status, 200);
    EXPECT_EQ(alias.body, "0123456789");
}

TEST_F(LoopbackServerTest, OutputFilesByLocalPathNeedTheCookieOfATestPage)
{
    const std::string site = blanksEncoded(output);
    const std::string track = site + "track%20one.mp3";
    EXPECT_EQ(get(track).status, 404) << "no cookie";
    EXPECT_EQ(get(track, "Cookie: tmbrsa-test=0123456789abcdef0123456789abcdef\r\n").status, 404);

    const std::string withCookie = cookie();
    const Reply reply = get(track, withCookie);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, "ABCDEFGHIJ");
    EXPECT_EQ(reply.headers.count("set-cookie"), 0U);
    EXPECT_EQ(get(site + "%C3%9Cber.mp3", withCookie).body, "umlaut");
    EXPECT_EQ(get(track, withCookie + "Range: bytes=9-\r\n").body, "J");
}

TEST_F(LoopbackServerTest, KeepsConnectionsOpenForSeveralRequestsAndStreamsLargeFilesWhole)
{
    std::string large(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>((i * 7919) >> 3);
    writeFile(scratch + "large.mp3", large);
    const std::string request = "GET " + prefix + "large.mp3 HTTP/1.1\r\n" + hostLine + "\r\n" + "HEAD "
        + prefix + "song.mp3 HTTP/1.1\r\n" + hostLine + "\r\n" + "GET " + prefix + "song.mp3 HTTP/1.1\r\n"
        + hostLine + "Range: bytes=0-0\r\nConnection: close\r\n\r\n";
    const std::vector<Reply> replies = parseReplies(run(request), { false, true, false });
    ASSERT_EQ(replies.size(), 3U);
    EXPECT_EQ(replies[0].headers.at("connection"), "keep-alive");
    EXPECT_TRUE(replies[0].body == large) << "body of " << replies[0].body.size() << " bytes differs";
    EXPECT_EQ(replies[1].status, 200);
    EXPECT_EQ(replies[2].status, 206);
    EXPECT_EQ(replies[2].body, "0");
    EXPECT_EQ(replies[2].headers.at("connection"), "close");
}

TEST_F(LoopbackServerTest, ServeReplacesTheFoldersAndKeepsTheAddress)
{
    TempFolder next;
    writeFile(next.path() + "do-not-upload.html", "second run");
    EXPECT_EQ(server.serve(next.path(), {}), base);
    EXPECT_EQ(get(prefix + "do-not-upload.html").body, "second run");
    EXPECT_EQ(get(prefix + "song.mp3").status, 404);
}

TEST_F(LoopbackServerTest, StopClosesTheServerAndItsConnections)
{
    const std::uint16_t port = server.port();
    EXPECT_EQ(get(prefix + "song.mp3").body, "0123456789");
    server.stop();
    EXPECT_FALSE(server.isListening());
    EXPECT_EQ(server.baseUrl(), "");
    EXPECT_EQ(exchange(port, "GET / HTTP/1.1\r\n\r\n"), "connect failed");
}

} // namespace
} // namespace tmbr::gui::test
