// A one-connection test server on 127.0.0.1 with an ephemeral port: it reads the request
// (header block and any Content-Length body), then plays scripted writes with pauses, and
// ends by closing, resetting, or holding the connection until released. Every wait is bounded.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ScriptedServer {
  public:
    struct Step {
        std::string bytes;
        int pauseMs = 0; // after the write
    };
    enum class End { Close, Reset, Hold };

    explicit ScriptedServer(std::vector<Step> steps, End end = End::Close);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int port() const { return port_; }
    // The request as received; waits (bounded) until it has been read.
    std::string request();
    bool accepted();
    bool requestRead();
    // Lets a held connection close.
    void release();

  private:
    void run();
    bool readRequest(int client);
    // Waits (bounded) for fd to have input; false on time-out or release.
    bool readable(int fd);

    int listener_ = -1;
    int port_ = 0;
    std::vector<Step> steps_;
    End end_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool accepted_ = false;
    bool requestRead_ = false;
    bool released_ = false;
    std::string request_;
    std::thread thread_;
};

// Splits text into pieces of at most size bytes, each followed by a pause.
std::vector<ScriptedServer::Step> inPieces(const std::string& text, size_t size, int pauseMs);

// An ephemeral port on 127.0.0.1 that nothing listens on (bound, then released).
int unusedPort();
