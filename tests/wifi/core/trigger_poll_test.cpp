#include "wifi/core/trigger_poll.h"
#include "wifi/core/wifi_camera.h"

#include "scripted_http_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace wifi;
using testing_support::ScriptedHttpServer;
using Clock = std::chrono::steady_clock;

namespace {

const QByteArray kTriggerPage = "/updateNPNvram.cgi";

CameraAddress addressOf(const ScriptedHttpServer& server)
{
    CameraAddress address;
    address.host = QStringLiteral("127.0.0.1");
    address.pagePort = server.port();
    return address;
}

bool waitUntil(const std::function<bool()>& done, int ms = 10000)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!done() && Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

// Answers the trigger page with the given replies in turn, then the last one forever.
void answerInTurn(ScriptedHttpServer& server, std::vector<QByteArray> replies)
{
    auto next = std::make_shared<std::atomic<size_t>>(0);
    server.on(kTriggerPage, [next, replies](ScriptedHttpServer::Exchange& ex) {
        const size_t i = (*next)++;
        ex.respond(200, replies[std::min(i, replies.size() - 1)], "text/plain");
    });
}

}  // namespace

TEST(TriggerPoll, EachChangeIsAPress)
{
    ScriptedHttpServer server;
    server.requireLogin("admin", "pq7rw");
    answerInTurn(server, {"0", "1", "1", "0"});
    std::atomic<int> presses{0};
    TriggerPoll poll([&] { ++presses; });
    poll.start(addressOf(server));
    ASSERT_TRUE(waitUntil([&] { return server.requestCount(kTriggerPage) >= 6; }));
    poll.stop();
    EXPECT_EQ(presses.load(), 2);
    EXPECT_EQ(server.requests().at(0).target, "/updateNPNvram.cgi?camera_gpio_trigger");
}

TEST(TriggerPoll, FailedRoundsAreNoPresses)
{
    ScriptedHttpServer server;
    server.serve(kTriggerPage, 500, "5");
    std::atomic<int> presses{0};
    TriggerPoll poll([&] { ++presses; });
    poll.start(addressOf(server));
    ASSERT_TRUE(waitUntil([&] { return server.requestCount(kTriggerPage) >= 3; }));
    poll.stop();
    EXPECT_EQ(presses.load(), 0);
}

TEST(TriggerPoll, StartsAgainAfterStop)
{
    ScriptedHttpServer server;
    server.serve(kTriggerPage, 200, "0");
    TriggerPoll poll([] {});
    for (int round = 0; round < 3; ++round) {
        poll.start(addressOf(server));
        EXPECT_TRUE(poll.running());
        const int before = server.requestCount(kTriggerPage);
        ASSERT_TRUE(waitUntil([&] { return server.requestCount(kTriggerPage) >= before + 2; })) << "round " << round;
        poll.stop();
        EXPECT_FALSE(poll.running());
    }
}

// Switching mode one off and on again takes no picture by itself; a new
// window reads the button afresh.
TEST(TriggerPoll, TheButtonsStateOutlastsASwitchOffButNotANewWindow)
{
    ScriptedHttpServer server;
    server.serve(kTriggerPage, 200, "1");
    WifiCamera camera(addressOf(server));
    std::atomic<int> presses{0};
    camera.watchStillButton([&] { ++presses; });
    ASSERT_TRUE(waitUntil([&] { return presses.load() == 1; }));
    camera.stopWatchingStillButton();
    const int before = server.requestCount(kTriggerPage);
    camera.watchStillButton([&] { ++presses; });
    ASSERT_TRUE(waitUntil([&] { return server.requestCount(kTriggerPage) >= before + 2; }));
    camera.stopWatchingStillButton();
    EXPECT_EQ(presses.load(), 1);
    camera.forgetStillButton();
    camera.watchStillButton([&] { ++presses; });
    EXPECT_TRUE(waitUntil([&] { return presses.load() == 2; }));
    camera.stopWatchingStillButton();
}

TEST(TriggerPoll, PausesBetweenRounds)
{
    ScriptedHttpServer server;
    server.serve(kTriggerPage, 200, "0");
    TriggerPoll poll([] {});
    const auto start = Clock::now();
    poll.start(addressOf(server));
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    poll.stop();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    const int requests = server.requestCount(kTriggerPage);
    EXPECT_GE(requests, 1);
    // At most one round per 100 ms, and one more for the first.
    EXPECT_LE(requests, ms / TriggerPoll::kPauseMs + 1);
}

TEST(TriggerPoll, StopCancelsAWaitingRequest)
{
    ScriptedHttpServer server;
    server.on(kTriggerPage, [](ScriptedHttpServer::Exchange& ex) { ex.holdUntilClosed(); });
    TriggerPoll poll([] {});
    poll.start(addressOf(server));
    ASSERT_TRUE(waitUntil([&] { return server.requestCount(kTriggerPage) >= 1; }));
    const auto start = Clock::now();
    poll.stop();
    // Far less than the request's own ten seconds.
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 3.0);
}
