#include "wifi/core/http_get.h"

#include "scripted_http_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace wifi;
using testing_support::ScriptedHttpServer;

namespace {

CameraAddress addressOf(const ScriptedHttpServer& server)
{
    CameraAddress address;
    address.host = QStringLiteral("127.0.0.1");
    address.pagePort = server.port();
    address.streamPort = server.port();
    return address;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST(HttpGet, FetchesAPageWithTheLogin)
{
    ScriptedHttpServer server;
    server.requireLogin("admin", "pq7rw");
    server.serve("/media.asp", 200, "var cameraList = \"1,1,640,480\";");
    const CameraAddress address = addressOf(server);
    const HttpReply reply = httpGet(address, address.pageUrl("/media.asp"));
    EXPECT_TRUE(reply.ok) << reply.error.toStdString();
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, "var cameraList = \"1,1,640,480\";");
}

TEST(HttpGet, WrongPasswordIsRefused)
{
    ScriptedHttpServer server;
    server.requireLogin("admin", "pq7rw");
    server.serve("/media.asp", 200, "secret");
    CameraAddress address = addressOf(server);
    address.password = QStringLiteral("wrong");
    const HttpReply reply = httpGet(address, address.pageUrl("/media.asp"));
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(reply.status, 401);
    EXPECT_EQ(reply.error, "The microscope refused the login");
    EXPECT_FALSE(reply.error.contains("wrong"));
    EXPECT_TRUE(reply.body.isEmpty());
}

TEST(HttpGet, NoCredentialsAreRefused)
{
    ScriptedHttpServer server;
    server.requireLogin("admin", "pq7rw");
    server.serve("/media.asp", 200, "secret");
    CameraAddress address = addressOf(server);
    address.user.clear();
    address.password.clear();
    const HttpReply reply = httpGet(address, address.pageUrl("/media.asp"));
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(reply.status, 401);
}

TEST(HttpGet, ErrorStatusFails)
{
    ScriptedHttpServer server;
    const CameraAddress address = addressOf(server);
    const HttpReply reply = httpGet(address, address.pageUrl("/missing.asp"));
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(reply.status, 404);
    EXPECT_TRUE(reply.error.contains("404"));
}

TEST(HttpGet, FollowsARedirectWithTheLogin)
{
    ScriptedHttpServer server;
    server.requireLogin("admin", "pq7rw");
    server.on("/old.asp", [](ScriptedHttpServer::Exchange& ex) { ex.respond(302, {}, "text/html", "Location: /new.asp\r\n"); });
    server.serve("/new.asp", 200, "moved here");
    const CameraAddress address = addressOf(server);
    const HttpReply reply = httpGet(address, address.pageUrl("/old.asp"));
    EXPECT_TRUE(reply.ok) << reply.error.toStdString();
    EXPECT_EQ(reply.body, "moved here");
}

TEST(HttpGet, EndlessRedirectsFail)
{
    ScriptedHttpServer server;
    server.on("/loop.asp", [](ScriptedHttpServer::Exchange& ex) { ex.respond(302, {}, "text/html", "Location: /loop.asp\r\n"); });
    const CameraAddress address = addressOf(server);
    const HttpReply reply = httpGet(address, address.pageUrl("/loop.asp"));
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(server.requestCount("/loop.asp"), 4);  // the first and three redirects
}

TEST(HttpGet, BodyOverTheLimitFails)
{
    ScriptedHttpServer server;
    server.serve("/media.asp", 200, QByteArray((1 << 20) + 1, 'a'));
    const CameraAddress address = addressOf(server);
    const HttpReply reply = httpGet(address, address.pageUrl("/media.asp"));
    EXPECT_FALSE(reply.ok);
    EXPECT_TRUE(reply.error.contains("larger"));
    EXPECT_TRUE(reply.body.isEmpty());
}

TEST(HttpGet, BodyOverTheLimitWithoutLengthFails)
{
    ScriptedHttpServer server;
    server.on("/media.asp", [](ScriptedHttpServer::Exchange& ex) {
        ex.send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n");
        const QByteArray chunk(64 * 1024, 'a');
        for (int i = 0; i < 20 && ex.send(chunk); ++i) {}
    });
    const CameraAddress address = addressOf(server);
    const HttpReply reply = httpGet(address, address.pageUrl("/media.asp"));
    EXPECT_FALSE(reply.ok);
    EXPECT_TRUE(reply.error.contains("larger"));
}

TEST(HttpGet, SilentServerTimesOut)
{
    ScriptedHttpServer server;
    server.on("/media.asp", [](ScriptedHttpServer::Exchange& ex) { ex.holdUntilClosed(); });
    const CameraAddress address = addressOf(server);
    HttpLimits limits;
    limits.totalMs = 300;
    const auto start = std::chrono::steady_clock::now();
    const HttpReply reply = httpGet(address, address.pageUrl("/media.asp"), limits);
    EXPECT_FALSE(reply.ok);
    EXPECT_FALSE(reply.error.isEmpty());
    EXPECT_GE(secondsSince(start), 0.25);
    EXPECT_LT(secondsSince(start), 5.0);
}

TEST(HttpGet, CancelEndsAWaitingRequest)
{
    ScriptedHttpServer server;
    server.on("/media.asp", [](ScriptedHttpServer::Exchange& ex) { ex.holdUntilClosed(); });
    const CameraAddress address = addressOf(server);
    std::atomic<bool> cancel{false};
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        cancel = true;
    });
    const auto start = std::chrono::steady_clock::now();
    const HttpReply reply = httpGet(address, address.pageUrl("/media.asp"), {}, &cancel);
    canceller.join();
    EXPECT_FALSE(reply.ok);
    EXPECT_LT(secondsSince(start), 5.0);  // the total limit is 10 s
}

TEST(HttpGet, NobodyListeningFails)
{
    const int port = ScriptedHttpServer::closedPort();
    CameraAddress address;
    address.host = QStringLiteral("127.0.0.1");
    address.pagePort = port;
    const HttpReply reply = httpGet(address, address.pageUrl("/media.asp"));
    EXPECT_FALSE(reply.ok);
    EXPECT_FALSE(reply.error.isEmpty());
}
