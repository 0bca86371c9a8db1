// IPv4 addresses of the socket layer. Names are looked up with getaddrinfo (safe on worker
// threads); names under the reserved "invalid" domain fail at once without asking a resolver.
#include "net/kp_socket.h"

#include <arpa/inet.h>
#include <cctype>
#include <cstring>
#include <netdb.h>
#include <string>

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
