// The operation queue, the event pump and the asynchronous socket. These run under
// ThreadSanitizer too (tsan.sh): results written by the worker must be visible, complete, on
// the main thread in queue order. Sockets talk only to 127.0.0.1; every wait is bounded.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "net/c_Socket.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kDeadline = std::chrono::seconds(30); // ends a hang; never reached when all is well

void reportOnStderr() {
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

// Pumps until done() holds or the deadline passes; returns done().
template <typename Done> bool pumpUntil(Done done) {
    auto end = Clock::now() + kDeadline;
    while (!done() && Clock::now() < end) {
        kp_asyncevent_UpdateAsyncEvents();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return done();
}

// An operation whose worker step fills a private payload that completion checks.
struct Log {
    std::vector<int> executed; // written by the workers, one at a time
    std::vector<int> completed;
    int corrupt = 0;
};

class RecordingOp : public c_AsyncOp {
  public:
    RecordingOp(Log* log, int sequence) : log_(log), sequence_(sequence) {}
    int p_Execute__UNSAFE__(c_Socket*) override {
        payload_.assign(64, static_cast<char>('a' + sequence_ % 26));
        log_->executed.push_back(sequence_);
        return 0;
    }
    int p_Complete(c_Socket*) override {
        if (payload_ != std::string(64, static_cast<char>('a' + sequence_ % 26))) ++log_->corrupt;
        log_->completed.push_back(sequence_);
        return 0;
    }

  private:
    Log* log_;
    int sequence_;
    std::string payload_;
};

// Sockets are registered for the life of the process; they stay reachable here once a test
// starts the event source list afresh.
std::vector<c_Socket*>* kept = new std::vector<c_Socket*>();

c_Socket* newSocket() {
    kept->push_back(new c_Socket());
    return kept->back();
}

class NetFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        kp_asyncevent_Init();
    }
};

using AsyncQueue = NetFixture;
using AsyncQueueDeathTest = NetFixture;
using AsyncEvents = NetFixture;
using AsyncEventsDeathTest = NetFixture;
using AsyncSocket = NetFixture;
using AsyncSocketDeathTest = NetFixture;

} // namespace

TEST_F(AsyncQueue, OperationsExecuteAndCompleteInQueueOrder) {
    constexpr int kOps = 3000;
    constexpr int kBatch = 200; // below the ring size, so batches overlap the worker
    Log log;
    c_AsyncQueue queue(nullptr);
    int queued = 0;
    auto end = Clock::now() + kDeadline;
    while (static_cast<int>(log.completed.size()) < kOps && Clock::now() < end) {
        // Keep at most kBatch outstanding; queue while the worker may be running.
        while (queued < kOps && queued - static_cast<int>(log.completed.size()) < kBatch) {
            queue.p_Enqueue(std::make_unique<RecordingOp>(&log, queued++));
        }
        queue.p_UpdateAsyncEvents();
    }
    ASSERT_EQ(static_cast<int>(log.completed.size()), kOps);
    EXPECT_EQ(log.corrupt, 0);
    for (int i = 0; i < kOps; ++i) {
        ASSERT_EQ(log.completed[i], i);
        ASSERT_EQ(log.executed[i], i);
    }
    EXPECT_TRUE(queue.p_Idle());
}

TEST_F(AsyncQueue, CompletionsWaitForThePump) {
    Log log;
    c_AsyncQueue queue(nullptr);
    for (int i = 0; i < 5; ++i) queue.p_Enqueue(std::make_unique<RecordingOp>(&log, i));
    auto end = Clock::now() + kDeadline;
    while (!queue.p_Idle() && Clock::now() < end) std::this_thread::yield();
    EXPECT_TRUE(log.completed.empty()) << "nothing completes off the main thread's pump";
    queue.p_UpdateAsyncEvents();
    EXPECT_EQ(log.completed, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(AsyncQueueDeathTest, TheTwoHundredFiftySixthOutstandingOperationOverflows) {
    Log log;
    c_AsyncQueue queue(nullptr);
    auto fill = [&] {
        reportOnStderr();
        for (int i = 0; i < c_AsyncQueue::kRingSize - 1; ++i) {
            queue.p_Enqueue(std::make_unique<RecordingOp>(&log, i));
        }
        std::fprintf(stderr, "255 queued\n");
        queue.p_Enqueue(std::make_unique<RecordingOp>(&log, 255));
    };
    EXPECT_EXIT(fill(), ::testing::ExitedWithCode(255),
                "255 queued[^!]*Zembra Runtime Error : AsyncQueue queue overflow!");
}

namespace {

class CountingSource : public c_IAsyncEventSource {
  public:
    void UpdateAsyncEvents() override {
        ++updates;
        kp_asyncevent_UpdateAsyncEvents(); // must return at once
        if (addOnUpdate) {
            kp_asyncevent_AddAsyncEventSource(addOnUpdate);
            addOnUpdate = nullptr;
        }
    }
    int updates = 0;
    c_IAsyncEventSource* addOnUpdate = nullptr;
};

} // namespace

TEST_F(AsyncEvents, ACallFromInsideAnUpdateReturnsAtOnce) {
    CountingSource first;
    CountingSource second;
    kp_asyncevent_AddAsyncEventSource(&first);
    kp_asyncevent_AddAsyncEventSource(&second);
    kp_asyncevent_UpdateAsyncEvents();
    EXPECT_EQ(first.updates, 1);
    EXPECT_EQ(second.updates, 1);
    EXPECT_EQ(kp_asyncevent__current, nullptr);
}

TEST_F(AsyncEvents, ASourceAddedDuringThePumpIsUpdatedInTheSamePump) {
    CountingSource first;
    CountingSource late;
    first.addOnUpdate = &late;
    kp_asyncevent_AddAsyncEventSource(&first);
    kp_asyncevent_UpdateAsyncEvents();
    EXPECT_EQ(late.updates, 1);
    EXPECT_EQ(kp_asyncevent__sources.size(), 2u);
}

TEST_F(AsyncEventsDeathTest, RegisteringASourceTwiceIsFatal) {
    CountingSource source;
    kp_asyncevent_AddAsyncEventSource(&source);
    EXPECT_EXIT((reportOnStderr(), kp_asyncevent_AddAsyncEventSource(&source)),
                ::testing::ExitedWithCode(255), "Async event source is already active");
}

namespace {

// Records every callback of the socket tests.
class Recorder : public c_IOnConnectComplete,
                 public c_IOnSendComplete,
                 public c_IOnReceiveComplete {
  public:
    void OnConnectComplete(bool ok, c_Socket*) override {
        ++connects;
        connected = ok;
    }
    void OnSendComplete(c_DataBuffer*, int offset, int count, c_Socket*) override {
        sends.push_back({offset, count});
    }
    void OnReceiveComplete(c_DataBuffer* data, int offset, int count, c_Socket*) override {
        receives.push_back({offset, count});
        if (count > 0) {
            for (int b : data->p_PeekBytes2(offset, count)) stream.push_back(static_cast<char>(b));
        }
    }
    int connects = 0;
    bool connected = false;
    std::vector<std::pair<int, int>> sends;
    std::vector<std::pair<int, int>> receives;
    std::string stream;
};

// A listening socket on 127.0.0.1 with an ephemeral port.
struct Listener {
    Listener() {
        EXPECT_TRUE(socket.Open(kProtoServer));
        EXPECT_TRUE(socket.Bind(u"127.0.0.1", 0));
        EXPECT_TRUE(socket.Listen(4));
        KpSocketAddress address;
        socket.GetLocalAddress(&address);
        port = address.Port();
    }
    KpSocket socket;
    int port = 0;
};

// An ephemeral port that nothing listens on.
int closedPort() {
    KpSocket probe;
    probe.Open(kProtoStream);
    probe.Bind(u"127.0.0.1", 0);
    KpSocketAddress address;
    probe.GetLocalAddress(&address);
    return address.Port();
}

} // namespace

TEST_F(AsyncSocket, SendsAndReceivesCompleteInOrderOverLoopback) {
    constexpr int kSends = 200;
    constexpr int kPiece = 8;
    constexpr int kReceives = 100;
    constexpr int kSlot = 16;
    constexpr int kTotal = kSends * kPiece;
    Listener listener;
    Recorder client;
    Recorder server;
    c_Socket* socket = newSocket()->m_new(u"stream");
    socket->p_ConnectAsync(u"127.0.0.1", listener.port, &client);
    ASSERT_TRUE(pumpUntil([&] { return client.connects == 1; }));
    ASSERT_TRUE(client.connected);
    ASSERT_TRUE(socket->p_IsConnected());
    ASSERT_TRUE(listener.socket.Accept());
    c_Socket* peer = newSocket()->m_new2(listener.socket.Accepted(), kProtoStream,
                                         c_Socket::kOpen | c_Socket::kConnected);

    c_DataBuffer out;
    out.m_new(kTotal);
    std::string expected;
    for (int i = 0; i < kTotal; ++i) expected.push_back(static_cast<char>('A' + (i * 7) % 53));
    out.p_PokeString(0, kpS(expected), u"ascii");
    c_DataBuffer in;
    in.m_new(kReceives * kSlot + kTotal);
    for (int i = 0; i < kReceives; ++i) peer->p_ReceiveAsync(&in, i * kSlot, kSlot, &server);
    for (int i = 0; i < kSends; ++i) socket->p_SendAsync(&out, i * kPiece, kPiece, &client);

    // Whatever the first receives left over is read into the spare tail, one receive at a time.
    int tail = kReceives * kSlot;
    auto done = [&] {
        if (static_cast<int>(server.receives.size()) >= kReceives &&
            static_cast<int>(server.stream.size()) < kTotal &&
            static_cast<int>(server.receives.size()) == kReceives + (tail - kReceives * kSlot)) {
            peer->p_ReceiveAsync(&in, tail, 1, &server);
            ++tail;
        }
        return static_cast<int>(server.stream.size()) >= kTotal &&
               static_cast<int>(client.sends.size()) == kSends;
    };
    ASSERT_TRUE(pumpUntil(done));
    for (int i = 0; i < kSends; ++i) {
        ASSERT_EQ(client.sends[i], std::make_pair(i * kPiece, kPiece)) << "send " << i;
    }
    for (int i = 0; i < kReceives; ++i) {
        ASSERT_EQ(server.receives[i].first, i * kSlot) << "receive " << i;
        ASSERT_GT(server.receives[i].second, 0);
    }
    EXPECT_EQ(server.stream, expected);

    // Closing one end: the other end's next receive completes with 0.
    socket->p_Close();
    EXPECT_FALSE(socket->p_IsOpen());
    peer->p_ReceiveAsync(&in, 0, kSlot, &server);
    ASSERT_TRUE(pumpUntil([&] { return server.receives.back().second == 0; }));
    peer->p_Close();
}

TEST_F(AsyncSocket, AFailedConnectLeavesTheSocketOpenAndQueuesNothing) {
    Recorder client;
    c_Socket* socket = newSocket()->m_new(u"stream");
    socket->p_ConnectAsync(u"127.0.0.1", closedPort(), &client);
    ASSERT_TRUE(pumpUntil([&] { return client.connects == 1; }));
    EXPECT_FALSE(client.connected);
    EXPECT_TRUE(socket->p_IsOpen());
    EXPECT_FALSE(socket->p_IsConnected());
    c_DataBuffer data;
    data.m_new(4);
    socket->p_SendAsync(&data, 0, 4, &client);
    socket->p_ReceiveAsync(&data, 0, 4, &client);
    for (int i = 0; i < 20; ++i) {
        kp_asyncevent_UpdateAsyncEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(client.sends.empty());
    EXPECT_TRUE(client.receives.empty());
    EXPECT_EQ(client.connects, 1);
}

TEST_F(AsyncSocket, AddressesReadBackAsDottedText) {
    KpSocketAddress address;
    address.Set(u"127.0.0.1", 8080);
    EXPECT_EQ(address.Host(), u"127.0.0.1");
    EXPECT_EQ(address.Port(), 8080);
    address.Set(u"localhost", 1);
    EXPECT_EQ(address.Host(), u"127.0.0.1");
    address.Set(u"no-such-host.invalid", 2); // reserved: fails without asking a resolver
    EXPECT_EQ(address.Host(), u"0.0.0.0");
    EXPECT_EQ(address.Port(), 2);
}

TEST_F(AsyncSocketDeathTest, AnUnknownProtocolNameIsFatal) {
    EXPECT_EXIT((reportOnStderr(), newSocket()->m_new(u"Stream")), ::testing::ExitedWithCode(255),
                "Illegal socket protocol");
}
