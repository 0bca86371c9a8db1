// The start-up ping against loopback servers: off by default (nothing sent, nothing printed),
// the request it builds from the configured endpoint, an answer with a body and an empty one
// (delivered by the frame driver's event pump), and a server that never answers while the
// game keeps running. The game drops its request once answered; every wait is bounded.
#include <chrono>
#include <thread>

#include "game_fixture.h"
#include "net/kp_asyncevent.h"
#include "scripted_server.h"

namespace {

using Clock = std::chrono::steady_clock;
using End = ScriptedServer::End;
constexpr auto kDeadline = std::chrono::seconds(30); // ends a hang; never reached when all is well

class PingTest : public GameTest {
  protected:
    void StartLoaded() {
        Start();
        app->m_loadStep = 0;
    }
    void Tick() {
        host->UpdateGame();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // Ticks until done() holds or the deadline passed.
    template <typename Done> bool TickUntil(Done done) {
        auto end = Clock::now() + kDeadline;
        while (!done() && Clock::now() < end) Tick();
        return done();
    }
    // Sends the ping to a loopback server and ticks until it has answered.
    bool PingAnswered(const ScriptedServer& server) {
        String url = kpS("http://127.0.0.1:" + std::to_string(server.port()) + "/housecall.php");
        app->p_GetURL(url, u"hello=1&gameID=400");
        return TickUntil([&] { return app->m_pingDone == 1; });
    }
    // The given-up connection leaves the event pump once it has drained.
    bool ConnectionsGone() {
        return TickUntil([] { return kp_asyncevent__sources.empty(); });
    }
};

} // namespace

TEST_F(PingTest, OffByDefaultSendsAndPrintsNothing) {
    ASSERT_EQ(kp_BT3_J_On_Allow, 0);
    testing::internal::CaptureStdout();
    StartLoaded();
    for (int i = 0; i < 5; ++i) Tick();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("Requesting URL"), std::string::npos);
    EXPECT_EQ(app->m_pingRequest, nullptr);
    EXPECT_TRUE(kp_asyncevent__sources.empty()) << "no socket was opened";
    EXPECT_EQ(app->m_pingText, u"N/A");
}

TEST_F(PingTest, AllowedPingAsksTheConfiguredEndpointForThisGame) {
    kp_BT3_J_On_Allow = 1;
    testing::internal::CaptureStdout();
    StartLoaded();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Requesting URL"), std::string::npos);
    ASSERT_NE(app->m_pingRequest, nullptr);
    EXPECT_EQ(app->m_pingRequest->url.url,
              kpS(std::string(BT3_PING_HOST) + "/housecall.php?hello=1&gameID=400"));
    EXPECT_EQ(app->m_pingRequest->url.path, u"/housecall.php");
    EXPECT_EQ(app->m_pingDone, 0);
    app->m_pingRequest.reset(); // never wait on whatever the endpoint is
    EXPECT_TRUE(ConnectionsGone());
}

TEST_F(PingTest, AnswerWithABodyIsKeptAndTheRequestDropped) {
    ScriptedServer server({{"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nwelcome"}});
    StartLoaded();
    testing::internal::CaptureStdout();
    ASSERT_TRUE(PingAnswered(server));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Http GET complete! 200"), std::string::npos);
    EXPECT_EQ(server.request(),
              "GET /housecall.php?hello=1&gameID=400 HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(app->m_pingText, u"welcome");
    EXPECT_EQ(kp_BT3_J_On_Able, 1);
    EXPECT_EQ(app->m_pingRequest, nullptr);
    EXPECT_TRUE(ConnectionsGone());
}

TEST_F(PingTest, EmptyAnswerMarksThePingDoneButNotAble) {
    ScriptedServer server({{"HTTP/1.0 204 No Content\r\n\r\n"}});
    StartLoaded();
    ASSERT_TRUE(PingAnswered(server));
    EXPECT_EQ(app->m_pingText, u"");
    EXPECT_EQ(kp_BT3_J_On_Able, 0);
    EXPECT_TRUE(ConnectionsGone());
}

TEST_F(PingTest, ServerThatNeverAnswersLeavesThePingPendingAndTheGameRunning) {
    ScriptedServer server({}, End::Hold);
    StartLoaded();
    String url = kpS("http://127.0.0.1:" + std::to_string(server.port()) + "/housecall.php");
    app->p_GetURL(url, u"hello=1&gameID=400");
    ASSERT_TRUE(TickUntil([&] { return server.requestRead(); }));
    const int frames = app->m_introFrames;
    for (int tick = 0; tick < 100; ++tick) Tick();
    EXPECT_GT(app->m_introFrames, frames + 10) << "the menu keeps running";
    EXPECT_EQ(app->m_pingDone, 0);
    EXPECT_EQ(app->m_pingText, u"N/A");
    // Giving up the request closes its connection without waiting for the server.
    app->m_pingRequest.reset();
    EXPECT_TRUE(ConnectionsGone());
    EXPECT_EQ(app->m_pingDone, 0);
    server.release();
}
