// The browser build's network layer, run under Node with the same emcc-built library the page
// links: with no sockets there, an HTTP request and a socket's connect are made as on the
// desktop and each fails through its usual completion within a few updates of the event
// pump, without ending the program or waiting. Prints "web: ok NAME" or "web: FAILED NAME:
// WHY" for each check and "web: N passed, N failed" last; exits 0 only when all passed.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "net/c_HttpRequest.h"
#include "net/c_Socket.h"
#include "net/kp_asyncevent.h"

namespace {

// Updates of the event pump a failure may take to arrive: one is enough, this is generous.
constexpr int kPumpBound = 100;

int passed = 0;
int failed = 0;

void check(const char* name, const std::function<std::string()>& body) {
    const std::string why = body();
    if (why.empty()) {
        ++passed;
        std::printf("web: ok %s\n", name);
    } else {
        ++failed;
        std::printf("web: FAILED %s: %s\n", name, why.c_str());
    }
}

// Runs the event pump until done() holds; false when it still does not after kPumpBound.
bool pumpUntil(const std::function<bool()>& done) {
    for (int i = 0; i < kPumpBound && !done(); ++i) kp_asyncevent_UpdateAsyncEvents();
    return done();
}

struct RequestDone : c_IOnHttpRequestComplete {
    int calls = 0;
    void OnHttpRequestComplete(c_HttpRequest*) override { ++calls; }
};

struct ConnectDone : c_IOnConnectComplete {
    int calls = 0;
    bool connected = true;
    void OnConnectComplete(bool result, c_Socket*) override {
        ++calls;
        connected = result;
    }
};

} // namespace

int main() {
    kp_asyncevent_Init();

    check("an HTTP request fails with status -1 and no text", [] {
        RequestDone done;
        auto request = std::make_unique<c_HttpRequest>();
        request->m_new2(u"GET", u"http://127.0.0.1:8080/ping", &done);
        request->p_Send();
        if (!pumpUntil([&] { return done.calls > 0; })) return std::string("no completion");
        pumpUntil([] { return false; }); // a second completion would come within the bound
        if (done.calls != 1) return "completed " + std::to_string(done.calls) + " times";
        if (request->p_Status() != -1) return "status " + std::to_string(request->p_Status());
        if (!request->p_ResponseText().empty()) return std::string("a response text");
        return std::string();
    });

    check("a stream socket's connect fails through its completion", [] {
        ConnectDone done;
        auto* socket = (new c_Socket())->m_new(u"stream");
        socket->p_ConnectAsync(u"127.0.0.1", 8080, &done);
        if (!pumpUntil([&] { return done.calls > 0; })) return std::string("no completion");
        std::string why;
        if (done.connected) why = "reported connected";
        if (socket->p_IsConnected()) why = "marked connected";
        socket->p_Abandon({});
        // An abandoned socket leaves the pump by itself once its operations are done.
        if (!pumpUntil([] { return kp_asyncevent__sources.empty(); }))
            why = "the abandoned socket stayed in the event pump";
        return why;
    });

    std::printf("web: %d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
