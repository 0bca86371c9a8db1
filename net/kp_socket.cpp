// The blocking socket layer and IPv4 addresses. Names are looked up with getaddrinfo (safe on
// worker threads); names under the reserved "invalid" domain fail at once without asking a
// resolver. Sends never raise SIGPIPE: a peer that went away is reported as -1.
#include "net/kp_socket.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cstring>
#include <netdb.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr size_t kMaxHostName = 1024; // longer names are not looked up
constexpr std::string_view kReservedDomain = "invalid";

bool isReservedInvalid(std::string name) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!name.empty() && name.back() == '.') name.pop_back();
    if (name == kReservedDomain) return true;
    return name.size() > kReservedDomain.size() &&
           name.compare(name.size() - kReservedDomain.size(), kReservedDomain.size(),
                        kReservedDomain) == 0 &&
           name[name.size() - kReservedDomain.size() - 1] == '.';
}

// Family AF_INET, port in network order, 0.0.0.0 unless the host name is found.
void buildAddress(sockaddr_in& addr, const String& host, int port) {
    std::memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (host.empty() || host.size() >= kMaxHostName) return;
    std::string name = kpNarrow(host);
    if (name.find('\0') != std::string::npos || isReservedInvalid(name)) return;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found) return;
    for (addrinfo* entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addr) {
            addr.sin_addr = reinterpret_cast<sockaddr_in*>(entry->ai_addr)->sin_addr;
            break;
        }
    }
    freeaddrinfo(found);
}

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

KpSocketAddress::KpSocketAddress() {
    Set(String(), 0);
}

void KpSocketAddress::Set(const String& host, int port) {
    buildAddress(addr_, host, port);
    valid_ = false;
}

void KpSocketAddress::Set(const KpSocketAddress& other) {
    addr_ = other.addr_;
    valid_ = false;
}

void KpSocketAddress::Set(const sockaddr_in& raw) {
    addr_ = raw;
    valid_ = false;
}

void KpSocketAddress::Validate() {
    if (valid_) return;
    const unsigned char* ip = reinterpret_cast<const unsigned char*>(&addr_.sin_addr.s_addr);
    std::string text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) text.push_back('.');
        text += std::to_string(ip[i]);
    }
    host_ = kpS(text);
    port_ = ntohs(addr_.sin_port);
    valid_ = true;
}

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
