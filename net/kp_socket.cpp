// The blocking socket layer over the POSIX socket interface (the addresses are in
// kp_socket_address.cpp). Sends never raise SIGPIPE: a peer that went away is reported as -1.
#include "net/kp_socket.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>
#include <netinet/tcp.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The byte count of a range after cutting it to the buffer; -1 for a range that starts outside.
int clipRange(KpDataBuffer* buffer, int offset, int count) {
    if (!buffer || offset < 0 || offset > buffer->Length() || count < 0) return -1;
    return std::min(count, buffer->Length() - offset);
}

void fillFromName(int sock, KpSocketAddress* address, bool local) {
    sockaddr_in raw{};
    raw.sin_family = AF_INET;
    if (sock >= 0) {
        socklen_t size = sizeof raw;
        sockaddr* out = reinterpret_cast<sockaddr*>(&raw);
        int rc = local ? getsockname(sock, out, &size) : getpeername(sock, out, &size);
        if (rc != 0) {
            raw = sockaddr_in{};
            raw.sin_family = AF_INET;
        }
    }
    address->Set(raw);
}

} // namespace

KpSocket::KpSocket() = default;

KpSocket::KpSocket(int handle, int proto) : sock_(handle), proto_(proto) {}

KpSocket::~KpSocket() {
    Close();
    if (accepted_ >= 0) ::close(accepted_);
}

bool KpSocket::Open(int proto) {
    if (sock_ >= 0 || proto < kProtoStream || proto > kProtoDatagram) return false;
    if (proto == kProtoDatagram) {
        sock_ = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    } else {
        sock_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (sock_ >= 0) {
            // Small writes go out at once: requests are sent as a few whole pieces.
            int on = 1;
            setsockopt(sock_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        }
    }
    if (sock_ < 0) return false;
    proto_ = proto;
    return true;
}

void KpSocket::Close() {
    if (sock_ < 0) return;
    ::close(sock_);
    sock_ = -1;
}

void KpSocket::Shutdown() {
    if (sock_ >= 0) ::shutdown(sock_, SHUT_RDWR);
}

bool KpSocket::Bind(const String& host, int port) {
    KpSocketAddress address;
    address.Set(host, port);
    if (proto_ == kProtoServer) {
        int on = 1;
        setsockopt(sock_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    const sockaddr_in& raw = address.Raw();
    return ::bind(sock_, reinterpret_cast<const sockaddr*>(&raw), sizeof raw) == 0;
}

bool KpSocket::Connect(const String& host, int port) {
    KpSocketAddress address;
    address.Set(host, port);
    const sockaddr_in& raw = address.Raw();
    // 0.0.0.0 is what a failed lookup leaves; Linux would take it for this machine and reach
    // whatever listens here, so it is refused before the system sees it.
    if (raw.sin_addr.s_addr == htonl(INADDR_ANY)) return false;
    return ::connect(sock_, reinterpret_cast<const sockaddr*>(&raw), sizeof raw) == 0;
}

bool KpSocket::Listen(int backlog) {
    return ::listen(sock_, backlog) == 0;
}

bool KpSocket::Accept() {
    if (accepted_ >= 0) ::close(accepted_); // an earlier connection nobody took
    accepted_ = ::accept(sock_, nullptr, nullptr);
    return accepted_ >= 0;
}

std::unique_ptr<KpSocket> KpSocket::Accepted() {
    if (accepted_ < 0) return nullptr;
    int handle = accepted_;
    accepted_ = -1;
    int on = 1;
    setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return std::make_unique<KpSocket>(handle, kProtoStream);
}

int KpSocket::Send(KpDataBuffer* buffer, int offset, int count) {
    count = clipRange(buffer, offset, count);
    if (count < 0) return -1;
    ssize_t n = ::send(sock_, buffer->Data() + offset, static_cast<size_t>(count), MSG_NOSIGNAL);
    return static_cast<int>(n);
}

int KpSocket::Receive(KpDataBuffer* buffer, int offset, int count) {
    count = clipRange(buffer, offset, count);
    if (count < 0) return -1;
    ssize_t n = ::recv(sock_, buffer->Data() + offset, static_cast<size_t>(count), 0);
    return static_cast<int>(n);
}

int KpSocket::SendTo(KpDataBuffer* buffer, int offset, int count, KpSocketAddress* address) {
    count = clipRange(buffer, offset, count);
    if (count < 0 || !address) return -1;
    const sockaddr_in& raw = address->Raw();
    ssize_t n = ::sendto(sock_, buffer->Data() + offset, static_cast<size_t>(count), MSG_NOSIGNAL,
                         reinterpret_cast<const sockaddr*>(&raw), sizeof raw);
    return static_cast<int>(n);
}

int KpSocket::ReceiveFrom(KpDataBuffer* buffer, int offset, int count, KpSocketAddress* address) {
    count = clipRange(buffer, offset, count);
    if (count < 0 || !address) return -1;
    sockaddr_in raw{};
    socklen_t size = sizeof raw;
    ssize_t n = ::recvfrom(sock_, buffer->Data() + offset, static_cast<size_t>(count), 0,
                           reinterpret_cast<sockaddr*>(&raw), &size);
    address->Set(raw);
    return static_cast<int>(n);
}

void KpSocket::GetLocalAddress(KpSocketAddress* address) {
    fillFromName(sock_, address, true);
}

void KpSocket::GetRemoteAddress(KpSocketAddress* address) {
    fillFromName(sock_, address, false);
}
