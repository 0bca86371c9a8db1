// The socket layer of the browser build. A page has no sockets of its own (only requests to
// its own server and WebSockets), and the game's one use of the network, the start-up ping,
// is off: every socket operation fails at once, so a caller gets its failure in the next
// update and nothing ever waits. Opening only makes the socket object (it holds no handle),
// so an asynchronous socket or an HTTP request is made as on the desktop and its connect is
// what fails, through its usual completion, rather than ending the game. The first socket
// says once on standard output that there are none.
#include "net/kp_socket.h"

#include "runtime/kp_error.h"

namespace {

constexpr std::string_view kNoSockets = "net: no sockets in the browser build";

// Says once why every socket fails, and fails.
bool refuse() {
    static bool said = false;
    if (!said) kpPrint(kNoSockets);
    said = true;
    return false;
}

// The byte count of a transfer that cannot happen.
int refuseTransfer() {
    refuse();
    return -1;
}

} // namespace

KpSocket::KpSocket() = default;

KpSocket::KpSocket(int handle, int proto) : sock_(handle), proto_(proto) {}

KpSocket::~KpSocket() = default;

bool KpSocket::Open(int proto) {
    refuse(); // said once; the operations that follow fail
    proto_ = proto;
    return true;
}

void KpSocket::Close() {
    sock_ = -1;
}

void KpSocket::Shutdown() {}

bool KpSocket::Bind(const String& /*host*/, int /*port*/) {
    return refuse();
}

bool KpSocket::Connect(const String& /*host*/, int /*port*/) {
    return refuse();
}

bool KpSocket::Listen(int /*backlog*/) {
    return refuse();
}

bool KpSocket::Accept() {
    return refuse();
}

std::unique_ptr<KpSocket> KpSocket::Accepted() {
    accepted_ = -1; // nothing is ever accepted here
    return nullptr;
}

int KpSocket::Send(KpDataBuffer*, int, int) {
    return refuseTransfer();
}

int KpSocket::Receive(KpDataBuffer*, int, int) {
    return refuseTransfer();
}

int KpSocket::SendTo(KpDataBuffer*, int, int, KpSocketAddress*) {
    return refuseTransfer();
}

int KpSocket::ReceiveFrom(KpDataBuffer*, int, int, KpSocketAddress*) {
    return refuseTransfer();
}

void KpSocket::GetLocalAddress(KpSocketAddress* address) {
    if (address) address->Set(sockaddr_in{});
}

void KpSocket::GetRemoteAddress(KpSocketAddress* address) {
    if (address) address->Set(sockaddr_in{});
}
