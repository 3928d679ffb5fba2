#include "pageserver/resolver.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace tmbr::pageserver::test {
namespace {

// Files by canonical path; `links` maps a path as asked to where it leads.
class MemoryFiles : public IFileLookup {
public:
    std::map<std::string, std::int64_t> files;
    std::set<std::string> folders;
    std::map<std::string, std::string> links;
    std::set<std::string> unreadable;

    std::optional<std::string> canonical(const std::string& path) const override
    {
        if (const auto link = links.find(path); link != links.end())
            return link->second;
        std::string plain = path;
        while (plain.size() > 1 && plain.ends_with('/'))
            plain.pop_back();
        if (files.contains(plain) || folders.contains(plain))
            return plain;
        return std::nullopt;
    }
    bool isRegularFile(const std::string& path) const override { return files.contains(path); }
    std::optional<std::int64_t> readableSize(const std::string& path) const override
    {
        if (unreadable.contains(path) || !files.contains(path))
            return std::nullopt;
        return files.at(path);
    }
};

constexpr const char* kPrefix = "00112233445566778899aabbccddeeff";

class ResolverTest : public ::testing::Test {
protected:
    MemoryFiles disk;
    Site site { kPrefix, "/srv/temp/", "/srv/my site/", 8080 };
    std::string page = std::string("/") + kPrefix + "/";
    std::string cookie = std::string("Cookie: other=1; tmbrsa-test=") + kPrefix + "\r\n";

    void SetUp() override
    {
        disk.folders = { "/srv", "/srv/temp", "/srv/temp/sub", "/srv/my site" };
        disk.files = { { "/srv/temp/song.mp3", 10 }, { "/srv/temp/page.html", 24 },
            { "/srv/temp/sub/inner.txt", 5 }, { "/srv/temp/empty.mp3", 0 },
            { "/srv/my site/track one.mp3", 10 }, { "/srv/secret.txt", 6 } };
    }

    Answer answer(const std::string& target, const std::string& headers = {},
        const std::string& method = "GET", const std::string& version = "HTTP/1.1")
    {
        const std::optional<Request> request = parseRequestHead(
            method + " " + target + " " + version + "\r\nHost: 127.0.0.1:8080\r\n" + headers + "X-End: 1");
        EXPECT_TRUE(request) << target;
        return request ? resolve(*request, site, disk) : Answer {};
    }
    int status(const std::string& target, const std::string& headers = {})
    {
        return answer(target, headers).status;
    }
};

TEST(RequestReaderTest, CutsHeadsOutOfPiecesAndPipelinedRequests)
{
    RequestReader reader;
    reader.append("GET /a HTTP/1.1\r\nHost: x\r");
    EXPECT_EQ(reader.next().kind, RequestReader::Next::Kind::NeedMore);
    reader.append("\n\r\nHEAD /b HTTP/1.0\nX: 1\r\n\r\nGET");
    RequestReader::Next first = reader.next();
    ASSERT_EQ(first.kind, RequestReader::Next::Kind::Complete);
    EXPECT_EQ(first.request.target, "/a");
    EXPECT_EQ(first.request.header("host"), "x");
    RequestReader::Next second = reader.next();
    ASSERT_EQ(second.kind, RequestReader::Next::Kind::Complete);
    EXPECT_EQ(second.request.method, "HEAD");
    EXPECT_EQ(second.request.version, "HTTP/1.0");
    EXPECT_EQ(reader.next().kind, RequestReader::Next::Kind::NeedMore);

    reader.append(std::string(RequestReader::kMaxHeadBytes, 'x'));
    EXPECT_EQ(reader.next().kind, RequestReader::Next::Kind::TooLarge);
    reader.clear();
    reader.append("garbage\r\n\r\nGET / HTTP/1.1\r\n\r\n");
    EXPECT_EQ(reader.next().kind, RequestReader::Next::Kind::Malformed);
    EXPECT_EQ(reader.next().kind, RequestReader::Next::Kind::Complete) << "the next head is read on its own";
}

TEST(RequestReaderTest, ParsesHeadersAndRefusesMalformedLinesAndVersions)
{
    const std::optional<Request> request
        = parseRequestHead("GET /x?y HTTP/1.1\r\nRange:  bytes=1-2 \r\nHOST:a\r\nhost: b\r\nEmpty:");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->header("range"), "bytes=1-2");
    EXPECT_EQ(request->header("host"), "a") << "the first of a repeated header counts";
    EXPECT_TRUE(request->has("empty"));
    EXPECT_FALSE(request->has("cookie"));

    for (const char* head : { "GET / HTTP/2.0", "GET / http/1.1", "GET  / HTTP/1.1", "GET /", "",
             "GET / HTTP/1.1\r\nno colon", "GET / HTTP/1.1\r\n: value", "GET / HTTP/1.1\r\n\r\nHost: x" })
        EXPECT_FALSE(parseRequestHead(head)) << head;
}

TEST(RequestReaderTest, ByteRangesAgainstAFileSize)
{
    struct Case {
        const char* header;
        std::int64_t size;
        ByteRange::Kind kind;
        std::int64_t first;
        std::int64_t last;
    };
    using K = ByteRange::Kind;
    for (const Case& c : std::initializer_list<Case> {
             { "bytes=2-5", 10, K::Part, 2, 5 },
             { "bytes=7-", 10, K::Part, 7, 9 },
             { "bytes=-3", 10, K::Part, 7, 9 },
             { "bytes=-30", 10, K::Part, 0, 9 },
             { "bytes=8-100", 10, K::Part, 8, 9 },
             { "bytes= 3 - 3 ", 10, K::Part, 3, 3 },
             { "bytes=10-", 10, K::Unsatisfiable, 0, 0 },
             { "bytes=-0", 10, K::Unsatisfiable, 0, 0 },
             { "bytes=-5", 0, K::Unsatisfiable, 0, 0 },
             { "bytes=0-", 0, K::Unsatisfiable, 0, 0 },
             { "bytes=0-1,4-5", 10, K::Whole, 0, 0 },
             { "bytes=5-2", 10, K::Whole, 0, 0 },
             { "bytes=-", 10, K::Whole, 0, 0 },
             { "bytes=x-2", 10, K::Whole, 0, 0 },
             { "bytes=1--2", 10, K::Whole, 0, 0 },
             { "bytes=99999999999999999999-", 10, K::Whole, 0, 0 },
             { "lines=1-2", 10, K::Whole, 0, 0 },
             { "", 10, K::Whole, 0, 0 },
         }) {
        const ByteRange range = parseRange(c.header, c.size);
        EXPECT_EQ(range.kind, c.kind) << c.header;
        EXPECT_EQ(range.first, c.first) << c.header;
        EXPECT_EQ(range.last, c.last) << c.header;
    }
}

TEST_F(ResolverTest, AnswersScratchFilesWholeOrInPartWithTheExactHead)
{
    const Answer whole = answer(page + "page.html?x=1");
    ASSERT_TRUE(whole.file);
    EXPECT_EQ(whole.file->path, "/srv/temp/page.html");
    EXPECT_EQ(whole.file->first, 0);
    EXPECT_EQ(whole.file->length, 24);
    EXPECT_EQ(responseHead(whole),
        std::string("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nAccept-Ranges: bytes\r\n"
                    "Cache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\nSet-Cookie: tmbrsa-test=")
            + kPrefix
            + "; Path=/; HttpOnly; SameSite=Strict\r\nContent-Length: 24\r\nConnection: keep-alive\r\n\r\n");

    const Answer part = answer(page + "s%6Fng.mp3", "Range: bytes=2-5\r\n", "HEAD");
    EXPECT_EQ(part.status, 206);
    EXPECT_FALSE(part.withBody);
    EXPECT_EQ(part.file->first, 2);
    EXPECT_EQ(part.file->length, 4);
    EXPECT_NE(
        responseHead(part).find("Content-Range: bytes 2-5/10\r\nContent-Length: 4\r\n"), std::string::npos);

    const Answer beyond = answer(page + "song.mp3", "Range: bytes=10-\r\n");
    EXPECT_EQ(responseHead(beyond),
        "HTTP/1.1 416 Range Not Satisfiable\r\nContent-Type: text/plain; charset=utf-8\r\nCache-Control: "
        "no-store\r\n"
        "Content-Range: bytes */10\r\nContent-Length: 26\r\nConnection: keep-alive\r\n\r\n");
    EXPECT_EQ(beyond.text, "416 Range Not Satisfiable\n");
    EXPECT_FALSE(beyond.file);
    EXPECT_EQ(answer(page + "empty.mp3").file->length, 0);
}

TEST_F(ResolverTest, RefusesTraversalFoldersMissingFilesAndBrokenPaths)
{
    for (const std::string& target : { page + "../secret.txt", page + "%2e%2e/secret.txt",
             page + "sub/%2E%2E/%2E%2E/secret.txt", page + "%2e%2e%2fsecret.txt", page + "./song.mp3" })
        EXPECT_EQ(status(target), 403) << target;
    for (const std::string& target :
        { page, page + "sub/", page + "sub", page + "missing.html", std::string("/song.mp3"),
            std::string("/0123456789abcdef0123456789abcdef/song.mp3"), page.substr(0, 33) })
        EXPECT_EQ(status(target), 404) << target;
    for (const std::string& target : { page + "bad%zzescape", page + "nul%00.html", page + "cut%4",
             std::string("song.mp3"), std::string("*") })
        EXPECT_EQ(status(target), 400) << target;

    disk.links["/srv/temp/out.txt"] = "/srv/secret.txt";
    disk.links["/srv/temp/alias.mp3"] = "/srv/temp/song.mp3";
    disk.files["/srv/temp/locked.txt"] = 3;
    disk.unreadable.insert("/srv/temp/locked.txt");
    EXPECT_EQ(status(page + "out.txt"), 403) << "a link out of the folder";
    EXPECT_EQ(answer(page + "alias.mp3").file->path, "/srv/temp/song.mp3");
    EXPECT_EQ(status(page + "locked.txt"), 403);
    EXPECT_EQ(status(page + "locked.txt", "Range: bytes=9-\r\n"), 403) << "refused before its range is read";

    site.scratch.clear();
    EXPECT_EQ(status(page + "song.mp3"), 404) << "no scratch folder";
}

TEST_F(ResolverTest, OutputFilesByLocalPathNeedTheCookieOfATestPage)
{
    const std::string track = "/srv/my%20site/track%20one.mp3";
    EXPECT_EQ(status(track), 404);
    EXPECT_EQ(status(track, "Cookie: tmbrsa-test=0123456789abcdef0123456789abcdef\r\n"), 404);
    const Answer reply = answer(track, cookie);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.file->path, "/srv/my site/track one.mp3");
    EXPECT_EQ(reply.headers.find("Set-Cookie"), std::string::npos);
    EXPECT_EQ(status("/srv/secret.txt", cookie), 404) << "outside the output folder";
    EXPECT_EQ(status("/srv/my%20site/../secret.txt", cookie), 403);
    EXPECT_EQ(status("/srv/my%20site/", cookie), 404);
}

TEST_F(ResolverTest, RefusesOtherMethodsHostsAndBodiesAndKeepsConnectionsAsAsked)
{
    const Answer wrongMethod = answer(page + "song.mp3", {}, "DELETE");
    EXPECT_EQ(wrongMethod.status, 405);
    EXPECT_NE(wrongMethod.headers.find("Allow: GET, HEAD\r\n"), std::string::npos);
    EXPECT_TRUE(wrongMethod.keepAlive);

    Request request = *parseRequestHead("GET " + page + "song.mp3 HTTP/1.1\r\nHost: attacker.example:8080");
    EXPECT_EQ(resolve(request, site, disk).status, 403);
    request.headers = { { "host", "LOCALHOST:8080" } };
    EXPECT_EQ(resolve(request, site, disk).status, 200);
    request.headers = { { "host", "127.0.0.1:8081" } };
    EXPECT_EQ(resolve(request, site, disk).status, 403);
    request.headers.clear();
    EXPECT_EQ(resolve(request, site, disk).status, 400) << "no Host header";

    for (const char* body : { "Content-Length: 5\r\n", "Transfer-Encoding: chunked\r\n" }) {
        const Answer refused = answer(page + "song.mp3", body, "HEAD");
        EXPECT_EQ(refused.status, 400) << body;
        EXPECT_FALSE(refused.keepAlive) << body;
        EXPECT_FALSE(refused.withBody) << body;
    }
    EXPECT_EQ(status(page + "song.mp3", "Content-Length: 0\r\n"), 200);
    EXPECT_EQ(status(page + "song.mp3", "Content-Length: many\r\n"), 200);

    EXPECT_TRUE(answer(page + "song.mp3").keepAlive);
    EXPECT_FALSE(answer(page + "song.mp3", "Connection: Close\r\n").keepAlive);
    EXPECT_FALSE(answer(page + "song.mp3", {}, "GET", "HTTP/1.0").keepAlive);
    EXPECT_FALSE(answer(page + "missing", "Connection: close\r\n").keepAlive);
    EXPECT_FALSE(malformedAnswer().keepAlive);
    EXPECT_EQ(tooLargeAnswer().status, 431);
}

TEST(ContentTypeTest, KnownExtensionsInAnyCaseAndOctetsOtherwise)
{
    EXPECT_EQ(contentType("/a/song.MP3"), "audio/mpeg");
    EXPECT_EQ(contentType("/a/settings_as.xml"), "text/xml; charset=utf-8");
    EXPECT_EQ(contentType("/a/swfobject.js"), "text/javascript; charset=utf-8");
    EXPECT_EQ(contentType("/a/page.Htm"), "text/html; charset=utf-8");
    EXPECT_EQ(contentType("/a.mp3/readme"), "application/octet-stream");
    EXPECT_EQ(contentType("/a/.mp3"), "application/octet-stream");
}

} // namespace
} // namespace tmbr::pageserver::test
