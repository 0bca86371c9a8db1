// The HTTP request's lifetime against loopback servers: a listener may delete the request in
// its own completion callback or while a receive is in flight, and a request may be opened
// again while its old connection still has a receive queued. Built also with the address and
// thread sanitizers (tests/sanitizers/tsan.sh), which turn a late callback or a shared buffer into a
// report. Every wait is bounded.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "net/c_HttpRequest.h"
#include "scripted_server.h"

namespace {

using Clock = std::chrono::steady_clock;
using End = ScriptedServer::End;
constexpr auto kDeadline = std::chrono::seconds(30); // ends a hang; never reached when all is well

void pumpOnce(int sleepMs = 1) {
    kp_asyncevent_UpdateAsyncEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
}

// Pumps until done() holds or the deadline passed.
template <typename Done> bool pumpUntil(Done done, int sleepMs = 1) {
    auto end = Clock::now() + kDeadline;
    while (!done() && Clock::now() < end) pumpOnce(sleepMs);
    return done();
}

std::string urlOf(const ScriptedServer& server) {
    return "http://127.0.0.1:" + std::to_string(server.port()) + "/";
}

// A listener that owns its request and drops it when the request completes, as the game does.
struct Owner : c_IOnHttpRequestComplete {
    void OnHttpRequestComplete(c_HttpRequest* finished) override {
        ++calls;
        status = finished->p_Status();
        text = finished->p_ResponseText();
        if (finished == request.get()) request.reset();
    }
    std::unique_ptr<c_HttpRequest> request;
    int calls = 0;
    int status = 0;
    String text;
};

// Counts completions without owning anything.
struct Counter : c_IOnHttpRequestComplete {
    void OnHttpRequestComplete(c_HttpRequest* finished) override {
        ++calls;
        status = finished->p_Status();
        text = finished->p_ResponseText();
    }
    int calls = 0;
    int status = 0;
    String text;
};

bool pumpedEmpty() {
    return pumpUntil([] { return kp_asyncevent__sources.empty(); });
}

class HttpLifetime : public ::testing::Test {
  protected:
    void SetUp() override { kp_asyncevent_Init(); }
};

} // namespace

TEST_F(HttpLifetime, DeletingTheRequestInItsCallbackStopsEveryLaterCallback) {
    // The malformed status line ends the request in the same update that delivers the
    // completed send: with both operations done before that update, the send's completion
    // comes after the callback has deleted the request.
    ScriptedServer server({{"ICY 200 OK\r\n\r\nhello"}}, End::Hold);
    Owner owner;
    owner.request = std::make_unique<c_HttpRequest>();
    owner.request->m_new2(u"GET", kpS(urlOf(server)), &owner);
    owner.request->p_Send();
    ASSERT_TRUE(pumpUntil([&] { return owner.calls > 0; }, 50));
    EXPECT_EQ(owner.calls, 1);
    EXPECT_EQ(owner.status, -1);
    EXPECT_EQ(owner.request, nullptr);
    // The given-up socket finishes its queued work and leaves the pump by itself.
    EXPECT_TRUE(pumpedEmpty());
    server.release();
}

TEST_F(HttpLifetime, DeletingTheRequestInItsCallbackAfterAWholeResponse) {
    ScriptedServer server({{"HTTP/1.1 200 OK\r\n\r\nhello"}});
    Owner owner;
    owner.request = std::make_unique<c_HttpRequest>();
    owner.request->m_new2(u"GET", kpS(urlOf(server)), &owner);
    owner.request->p_Send();
    ASSERT_TRUE(pumpUntil([&] { return owner.calls > 0; }));
    EXPECT_EQ(owner.status, 200);
    EXPECT_EQ(owner.text, u"hello");
    EXPECT_TRUE(pumpedEmpty());
    EXPECT_EQ(owner.calls, 1);
}

TEST_F(HttpLifetime, DeletingARequestWithAReceiveInFlightCallsNobody) {
    ScriptedServer server({}, End::Hold);
    Counter counter;
    auto request = std::make_unique<c_HttpRequest>();
    request->m_new2(u"GET", kpS(urlOf(server)), &counter);
    request->p_Send();
    ASSERT_TRUE(pumpUntil([&] { return server.requestRead(); }));
    pumpOnce(20); // the send completes; the receive waits in the worker
    request.reset();
    // The connection is shut at once, so the blocked receive returns without the server.
    EXPECT_TRUE(pumpedEmpty());
    EXPECT_EQ(counter.calls, 0);
    server.release();
}

TEST_F(HttpLifetime, ReopeningWhileTheOldReceiveWaitsKeepsTheNewResponseWhole) {
    // The old server answers while the new response's status line is half read: bytes of the
    // old connection must not land in the new one's buffer.
    ScriptedServer oldServer({{"", 150}, {std::string(64, 'z'), 0}}, End::Hold);
    ScriptedServer newServer({{"HTTP/1.1 200", 400}, {" OK\r\n\r\nhello", 0}});
    Counter counter;
    auto request = std::make_unique<c_HttpRequest>();
    request->m_new2(u"GET", kpS(urlOf(oldServer)), &counter);
    request->p_Send();
    ASSERT_TRUE(pumpUntil([&] { return oldServer.requestRead(); }));

    request->p_Open(u"GET", kpS(urlOf(newServer)), &counter);
    request->p_Send();
    ASSERT_TRUE(pumpUntil([&] { return counter.calls > 0; }));
    EXPECT_EQ(counter.status, 200);
    EXPECT_EQ(counter.text, u"hello");

    oldServer.release();
    for (int i = 0; i < 50; ++i) pumpOnce();
    EXPECT_EQ(counter.calls, 1) << "the old connection reports nothing";
    EXPECT_EQ(kp_asyncevent__sources.size(), 1u) << "only the new connection is left";
    request.reset();
    EXPECT_TRUE(pumpedEmpty());
}
