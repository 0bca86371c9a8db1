// The scripted loopback server: plain POSIX sockets on its own thread, so the code under test
// is never used to test itself.
#include "scripted_server.h"

#include <arpa/inet.h>
#include <cctype>
#include <chrono>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 30000; // the longest any step waits for the other side

int bindLoopback(int port, int* boundPort) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    socklen_t size = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &size);
    *boundPort = ntohs(addr.sin_port);
    return fd;
}

constexpr int kSliceMs = 20; // waits are cut into slices to notice a release

size_t contentLength(const std::string& head) {
    std::string lower;
    for (char c : head)
        lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    size_t at = lower.find("\ncontent-length:");
    if (at == std::string::npos) return 0;
    return std::stoul(head.substr(at + 16));
}

} // namespace

ScriptedServer::ScriptedServer(std::vector<Step> steps, End end)
    : steps_(std::move(steps)), end_(end) {
    listener_ = bindLoopback(0, &port_);
    listen(listener_, 1);
    thread_ = std::thread([this] { run(); });
}

ScriptedServer::~ScriptedServer() {
    release();
    thread_.join();
    close(listener_);
}

std::string ScriptedServer::request() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(kWaitMs), [this] { return requestRead_; });
    return request_;
}

bool ScriptedServer::accepted() {
    std::lock_guard<std::mutex> lock(mutex_);
    return accepted_;
}

bool ScriptedServer::requestRead() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requestRead_;
}

void ScriptedServer::release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
}

bool ScriptedServer::readable(int fd) {
    for (int waited = 0; waited < kWaitMs; waited += kSliceMs) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, kSliceMs) == 1) return true;
        std::lock_guard<std::mutex> lock(mutex_);
        if (released_) return false;
    }
    return false;
}

bool ScriptedServer::readRequest(int client) {
    std::string got;
    char chunk[4096];
    size_t headEnd = std::string::npos;
    size_t wanted = 0;
    while (headEnd == std::string::npos || got.size() < headEnd + wanted) {
        if (!readable(client)) return false;
        ssize_t n = recv(client, chunk, sizeof chunk, 0);
        if (n <= 0) return false;
        got.append(chunk, static_cast<size_t>(n));
        if (headEnd == std::string::npos) {
            size_t at = got.find("\r\n\r\n");
            if (at != std::string::npos) {
                headEnd = at + 4;
                wanted = contentLength(got.substr(0, headEnd));
            }
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    request_ = got;
    requestRead_ = true;
    changed_.notify_all();
    return true;
}

void ScriptedServer::run() {
    if (!readable(listener_)) return;
    int client = accept(listener_, nullptr, nullptr);
    if (client < 0) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        accepted_ = true;
    }
    int on = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (readRequest(client)) {
        for (const Step& step : steps_) {
            send(client, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL);
            std::this_thread::sleep_for(std::chrono::milliseconds(step.pauseMs));
        }
    }
    if (end_ == End::Hold) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(kWaitMs), [this] { return released_; });
    } else if (end_ == End::Reset) {
        linger hard{1, 0}; // close with a reset instead of an orderly end
        setsockopt(client, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    close(client);
}

std::vector<ScriptedServer::Step> inPieces(const std::string& text, size_t size, int pauseMs) {
    std::vector<ScriptedServer::Step> steps;
    for (size_t at = 0; at < text.size(); at += size) {
        steps.push_back({text.substr(at, size), pauseMs});
    }
    return steps;
}

int unusedPort() {
    int port = 0;
    int fd = bindLoopback(0, &port);
    close(fd);
    return port;
}
