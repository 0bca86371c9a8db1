// Child processes, shell commands and X11 close requests for the end-to-end tests.
#include "support/process.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::string& folder, const std::string& outputFile) {
    pid_ = fork();
    if (pid_ == 0) {
        if (chdir(folder.c_str()) != 0) _exit(120);
        int fd = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, STDOUT_FILENO);
            dup2(fd, STDERR_FILENO);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(121);
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !reaped_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

int ChildProcess::wait(double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!reaped_) {
        int status = 0;
        pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            reaped_ = true;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1000 - WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

bool ChildProcess::running() {
    return wait(0.0) == -1 && !reaped_;
}

double ChildProcess::cpuSeconds() const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1.0;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stol(field);
        if (i == 15) stime = std::stol(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::string runCommand(const std::string& command, double seconds) {
    // The command runs in a process group of its own, so that one that hangs (import waiting
    // on a window that has gone, say) is ended with everything it started.
    int out[2];
    if (pipe(out) != 0) return {};
    const pid_t child = fork();
    if (child < 0) {
        close(out[0]);
        close(out[1]);
        return {};
    }
    if (child == 0) {
        setpgid(0, 0);
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    setpgid(child, child);
    close(out[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::string text;
    char buffer[512];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{out[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            kill(-child, SIGKILL);
            break;
        }
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    close(out[0]);
    // A command that closed its output early may still be running: it gets what is left of
    // the bound, then is ended.
    while (waitpid(child, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(-child, SIGKILL);
            waitpid(child, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

bool sendCloseRequest(unsigned long window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    return sent != 0;
}

unsigned long findWindow(const std::string& title, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        std::string id = runCommand("xdotool search --onlyvisible --name '^" + title +
                                    "$' 2>/dev/null | head -n1");
        if (!id.empty()) return std::stoul(id);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
}
