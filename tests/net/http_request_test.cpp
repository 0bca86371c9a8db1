// The HTTP/1.0 request against scripted servers on 127.0.0.1 and against Debian's Python HTTP
// server. Completions are driven by pumping the event sources in a loop bounded in time.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "net/c_HttpRequest.h"
#include "runtime/kp_error.h"
#include "scripted_server.h"
#include "support/test_support.h"

namespace {

using Clock = std::chrono::steady_clock;
using End = ScriptedServer::End;
constexpr auto kDeadline = std::chrono::seconds(30); // ends a hang; never reached when all is well
const std::string kHello = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\nhello";

struct Completion : c_IOnHttpRequestComplete {
    void OnHttpRequestComplete(c_HttpRequest* request) override {
        ++calls;
        status = request->p_Status();
        text = request->p_ResponseText();
        onMainThread = std::this_thread::get_id() == mainThread;
        insidePump = kp_asyncevent__current != nullptr;
        socketClosed = request->socket && !request->socket->p_IsOpen();
    }
    std::thread::id mainThread = std::this_thread::get_id();
    int calls = 0;
    int status = 0;
    String text;
    bool onMainThread = false;
    bool insidePump = false;
    bool socketClosed = false;
};

// Requests stay reachable here for the rest of the process, as the game's one request does:
// queued socket operations call back into them.
std::vector<std::pair<std::unique_ptr<c_HttpRequest>, std::unique_ptr<Completion>>>* kept =
    new std::vector<std::pair<std::unique_ptr<c_HttpRequest>, std::unique_ptr<Completion>>>();

// A request and its callback.
struct Fetch {
    Fetch(const std::string& url, const String& method = u"GET")
        : request(new c_HttpRequest()), done(new Completion()) {
        kept->emplace_back(request, done);
        request->m_new2(method, kpS(url), done);
    }
    // Pumps until the callback came or the deadline passed.
    bool wait() {
        auto end = Clock::now() + kDeadline;
        while (done->calls == 0 && Clock::now() < end) pumpOnce();
        return done->calls > 0;
    }
    // A few more pumps after the end: nothing else may arrive.
    void settle() {
        for (int i = 0; i < 20; ++i) pumpOnce();
    }
    static void pumpOnce() {
        kp_asyncevent_UpdateAsyncEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    c_HttpRequest* request;
    Completion* done;
};

// Pumps (the connect must complete for the header to go out) until the server has it.
bool pumpUntilRequestRead(ScriptedServer& server) {
    auto end = Clock::now() + kDeadline;
    while (!server.requestRead() && Clock::now() < end) Fetch::pumpOnce();
    return server.requestRead();
}

std::string urlOf(const ScriptedServer& server, const std::string& target = "/") {
    return "http://127.0.0.1:" + std::to_string(server.port()) + target;
}

class HttpRequest : public ::testing::Test {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        kp_asyncevent_Init();
    }
};

using HttpRequestDeathTest = HttpRequest;

} // namespace

TEST_F(HttpRequest, ReadsStatusHeadersAndBodyFromOneChunk) {
    ScriptedServer server({{kHello}});
    Fetch fetch(urlOf(server, "/greeting?x=1"));
    fetch.request->p_Send();
    ASSERT_TRUE(fetch.wait());
    fetch.settle();
    EXPECT_EQ(server.request(), "GET /greeting?x=1 HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(fetch.done->calls, 1);
    EXPECT_EQ(fetch.done->status, 200);
    EXPECT_EQ(fetch.done->text, u"hello");
    EXPECT_TRUE(fetch.done->onMainThread);
    EXPECT_TRUE(fetch.done->insidePump);
    EXPECT_TRUE(fetch.done->socketClosed) << "the socket is closed before the callback";
    EXPECT_EQ(fetch.request->header,
              (std::vector<String>{u"HTTP/1.1 200 OK", u"Content-Type: text/plain"}));
}

TEST_F(HttpRequest, ReassemblesHeadersSplitOverManySmallWrites) {
    std::string response = "HTTP/1.0 201 Created\r\nX-One: 1\r\nX-Two:   two  \r\n\r\n";
    auto steps = inPieces(response, 3, 2);
    steps.push_back({"body ", 20});
    steps.push_back({"in parts", 0});
    ScriptedServer server(steps);
    Fetch fetch(urlOf(server));
    fetch.request->p_Send();
    ASSERT_TRUE(fetch.wait());
    EXPECT_EQ(fetch.done->status, 201);
    EXPECT_EQ(fetch.done->text, u"body in parts");
    // Lines are trimmed at both ends; the status line is kept as it came.
    EXPECT_EQ(fetch.request->header,
              (std::vector<String>{u"HTTP/1.0 201 Created", u"X-One: 1", u"X-Two:   two"}));
}

TEST_F(HttpRequest, AcceptsBareLineFeeds) {
    ScriptedServer server({{"HTTP/1.0 404 Not Found\nServer: test\n\nmissing\n"}});
    Fetch fetch(urlOf(server));
    fetch.request->p_Send();
    ASSERT_TRUE(fetch.wait());
    EXPECT_EQ(fetch.done->status, 404);
    EXPECT_EQ(fetch.done->text, u"missing\n");
}

TEST_F(HttpRequest, StatusLineWithoutReasonPhraseFails) {
    ScriptedServer server({{"HTTP/1.1 200\r\n\r\nhello"}}, End::Hold);
    Fetch fetch(urlOf(server));
    fetch.request->p_Send();
    ASSERT_TRUE(fetch.wait()) << "ends at the header block, without waiting for the close";
    EXPECT_EQ(fetch.done->status, -1);
    EXPECT_EQ(fetch.done->text, u"");
}

TEST_F(HttpRequest, StatusLineMustNameTheProtocol) {
    ScriptedServer server({{"ICY 200 OK\r\n\r\nhello"}});
    Fetch fetch(urlOf(server));
    fetch.request->p_Send();
    ASSERT_TRUE(fetch.wait());
    EXPECT_EQ(fetch.done->status, -1);
}

TEST_F(HttpRequest, EachBodyChunkIsDecodedByItself) {
    // "é" is split between two writes; the sequence that arrives whole decodes normally.
    ScriptedServer server({{"HTTP/1.1 200 OK\r\n\r\na\xC3", 150},
                           {"\xA9"
                            "b",
                            150},
                           {"\xE2\x82\xAC", 0}});
    Fetch fetch(urlOf(server));
    fetch.request->p_Send();
    ASSERT_TRUE(fetch.wait());
    EXPECT_EQ(fetch.done->status, 200);
    EXPECT_EQ(fetch.done->text, String(u"a\uFFC3\uFFA9b\u20AC"));
    EXPECT_EQ(fetch.request->bytesReceived, 5) << "bytes after the chunk that ended the headers";
}

TEST_F(HttpRequest, ServerClosingInsideTheHeadersFails) {
    ScriptedServer server({{"HTTP/1.1 200 OK\r\nContent-Le"}});
    Fetch fetch(urlOf(server));
    fetch.request->p_Send();
    ASSERT_TRUE(fetch.wait());
    fetch.settle();
    EXPECT_EQ(fetch.done->calls, 1);
    EXPECT_EQ(fetch.done->status, -1);
    EXPECT_EQ(fetch.done->text, u"");
}

TEST_F(HttpRequest, RefusedConnectionFails) {
    Fetch fetch("http://127.0.0.1:" + std::to_string(unusedPort()) + "/");
    fetch.request->p_Send();
    ASSERT_TRUE(fetch.wait());
    fetch.settle();
    EXPECT_EQ(fetch.done->calls, 1);
    EXPECT_EQ(fetch.done->status, -1);
    EXPECT_EQ(fetch.done->text, u"");
    EXPECT_TRUE(fetch.done->socketClosed);
}

TEST_F(HttpRequest, UnresolvableHostFailsEvenWithAServerOnThatPort) {
    // A failed lookup leaves 0.0.0.0, which must not reach a server listening on this machine.
    ScriptedServer server({{kHello}});
    Fetch fetch("http://no-such-host.invalid:" + std::to_string(server.port()) + "/");
    fetch.request->p_Send();
    ASSERT_TRUE(fetch.wait());
    EXPECT_EQ(fetch.done->status, -1);
    EXPECT_FALSE(server.accepted());
}

TEST_F(HttpRequest, HeaderLongerThanTheSendBufferIsSentWhole) {
    std::string path = "/" + std::string(5000, 'p');
    ScriptedServer server({{kHello}});
    Fetch fetch(urlOf(server, path));
    fetch.request->p_Send();
    ASSERT_TRUE(fetch.wait());
    EXPECT_EQ(server.request(), "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(fetch.done->status, 200);
    EXPECT_EQ(fetch.done->text, u"hello");
}

TEST_F(HttpRequest, PostsAnEncodedBodyAfterTheHeader) {
    ScriptedServer server({{"HTTP/1.0 201 Created\r\n\r\nmade"}});
    Fetch fetch(urlOf(server, "/save"), u"POST");
    fetch.request->p_Send2(u"\u00E9\u20AC", u"text/plain", u"utf8");
    ASSERT_TRUE(fetch.wait());
    EXPECT_EQ(server.request(), "POST /save HTTP/1.0\r\nHost: 127.0.0.1\r\n"
                                "Content-Type: text/plain\r\nContent-Length: 5\r\n\r\n"
                                "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(fetch.done->status, 201);
    EXPECT_EQ(fetch.done->text, u"made");
}

TEST_F(HttpRequest, ServerThatNeverAnswersLeavesTheRequestPending) {
    ScriptedServer server({}, End::Hold);
    Fetch fetch(urlOf(server));
    fetch.request->p_Send();
    ASSERT_TRUE(pumpUntilRequestRead(server));
    for (int pump = 0; pump < 200; ++pump) Fetch::pumpOnce(); // updates run on meanwhile
    EXPECT_EQ(fetch.done->calls, 0);
    EXPECT_EQ(fetch.request->p_Status(), -1);
    server.release(); // the close ends it like any close inside the headers
    ASSERT_TRUE(fetch.wait());
    EXPECT_EQ(fetch.done->status, -1);
}

TEST_F(HttpRequest, ConnectionResetDiscardsTheBodyAndFails) {
    ScriptedServer server({{"HTTP/1.1 200 OK\r\n\r\npartial", 100}}, End::Reset);
    Fetch fetch(urlOf(server));
    fetch.request->p_Send();
    ASSERT_TRUE(fetch.wait());
    fetch.settle();
    EXPECT_EQ(fetch.done->calls, 1);
    EXPECT_EQ(fetch.done->status, -1);
    EXPECT_EQ(fetch.done->text, u"");
}

TEST_F(HttpRequest, HeaderLineFillingTheReceiveBufferFails) {
    std::string line = "HTTP/1.1 200 OK\r\nX-Long: " + std::string(20000, 'x');
    ScriptedServer server({{line}}, End::Hold);
    Fetch fetch(urlOf(server));
    fetch.request->p_Send();
    ASSERT_TRUE(fetch.wait()) << "ends while the server still holds the connection";
    EXPECT_EQ(fetch.done->status, -1);
    EXPECT_EQ(fetch.done->text, u"");
}

TEST_F(HttpRequestDeathTest, ProcessExitsCleanlyWithARequestInFlight) {
    ScriptedServer server({}, End::Hold);
    auto quitDuringRequest = [&] {
        Fetch fetch(urlOf(server));
        fetch.request->p_Send();
        pumpUntilRequestRead(server); // the worker is now blocked in its receive
        kpError(String());            // the normal quit
    };
    EXPECT_EXIT(quitDuringRequest(), ::testing::ExitedWithCode(0), "");
}

namespace {

// Debian's Python HTTP server, serving a folder on 127.0.0.1 until the test ends.
class PythonServer {
  public:
    explicit PythonServer(const std::string& folder) : port_(unusedPort()) {
        std::string port = std::to_string(port_);
        std::string log = folder + "/server.log";
        pid_ = fork();
        if (pid_ == 0) {
            int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, STDOUT_FILENO);
            dup2(fd, STDERR_FILENO);
            execl("/usr/bin/python3", "python3", "-m", "http.server", "--bind", "127.0.0.1",
                  "--directory", folder.c_str(), port.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~PythonServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    // Waits until the server accepts connections.
    bool ready() {
        auto end = Clock::now() + kDeadline;
        while (Clock::now() < end) {
            KpSocket probe;
            probe.Open(kProtoStream);
            if (probe.Connect(u"127.0.0.1", port_)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    int port() const { return port_; }

  private:
    int port_;
    pid_t pid_ = -1;
};

} // namespace

TEST_F(HttpRequest, FetchesAFileFromPythonsHttpServer) {
    if (access("/usr/bin/python3", X_OK) != 0) GTEST_SKIP() << "python3 is not installed";
    TempDir dir;
    writeFile(dir.file("greeting.txt"), "Gr\xC3\xBC\xC3\x9F"
                                        "e from loopback\n");
    PythonServer server(dir.path());
    ASSERT_TRUE(server.ready());
    std::string base = "http://127.0.0.1:" + std::to_string(server.port());
    Fetch fetch(base + "/greeting.txt?lang=en&n=1");
    fetch.request->p_Send();
    ASSERT_TRUE(fetch.wait());
    EXPECT_EQ(fetch.done->status, 200);
    EXPECT_EQ(fetch.done->text, u"Gr\u00FC\u00DFe from loopback\n");

    Fetch missing(base + "/nothing.txt");
    missing.request->p_Send();
    ASSERT_TRUE(missing.wait());
    EXPECT_EQ(missing.done->status, 404);
}
