// The HTTP response handling on arbitrary server bytes. The request runs against a socket
// that is never connected (its reads and sends do nothing); the fuzzer's bytes arrive in
// chunks of sizes it chooses, each written where the request asked for its next receive,
// then the server closes. The request must finish exactly once.
#include <algorithm>
#include <cstring>

#include "fuzz_support.h"
#include "net/c_HttpRequest.h"

namespace {

struct Counter : c_IOnHttpRequestComplete {
    int calls = 0;
    void OnHttpRequestComplete(c_HttpRequest*) override { ++calls; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    c_Socket quiet;
    Counter done;
    c_HttpRequest request;
    request.p_Open(u"GET", u"http://example.invalid/path", &done);
    request.socket = &quiet;
    request.OnConnectComplete(true, &quiet);

    // Each chunk: one byte of length (0..255, scaled up for long header lines), then bytes.
    size_t at = 0;
    while (at < size && done.calls == 0) {
        const size_t want = static_cast<size_t>(data[at++]) * 67 + 1;
        c_DataBuffer* buffer = request.receiveBuffer.get();
        const int offset = request.receiveAt;
        const size_t room = static_cast<size_t>(buffer->p_Length() - offset);
        const size_t n = std::min({want, room, size - at});
        if (n == 0) break;
        std::memcpy(buffer->Data() + offset, data + at, n);
        at += n;
        request.OnReceiveComplete(buffer, offset, static_cast<int>(n), &quiet);
    }
    request.OnReceiveComplete(request.receiveBuffer.get(), 0, 0, &quiet); // the server closes
    expect(done.calls == 1);
    // A failed response keeps nothing of a body it may have started.
    expect(request.bodyParts.has_value() || request.p_ResponseText().empty());
    request.socket = nullptr; // the quiet socket is the target's, not the request's to abandon
    return 0;
}
