// Standard output lines, the runtime error routine and the fatal-signal handler.
// The signal handler uses only write() and _exit(): nothing it calls may allocate or lock. It
// runs on an alternate stack, so a stack overflow is reported like any other fault.
#include "runtime/kp_error.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kFatalStatus = -1; // seen as 255 by the parent on Linux
constexpr const char* kErrorPrefix = "Zembra Runtime Error : ";
constexpr const char* kErrorTag = "Brambolt3: "; // starts every line kpPrintError writes
constexpr size_t kSignalStackSize = 64 * 1024; // the handler's own stack, for stack overflows

void writeAll(int fd, const char* text, size_t length) {
    while (length > 0) {
        ssize_t n = ::write(fd, text, length);
        if (n <= 0) return;
        text += n;
        length -= static_cast<size_t>(n);
    }
}

void sighandler(int signal) {
    // Async-signal-safe: fixed strings, write() and _exit() only.
    const char* message = kpSignalMessage(signal);
    writeAll(STDOUT_FILENO, kErrorPrefix, std::strlen(kErrorPrefix));
    writeAll(STDOUT_FILENO, message, std::strlen(message));
    writeAll(STDOUT_FILENO, "\n\n", 2);
    ::_exit(kFatalStatus & 0xFF);
}

} // namespace

void kpPrint(const String& text) {
    std::string line = kpToUtf8(text);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

void kpPrint(std::string_view utf8) {
    kpPrint(kpS(utf8));
}

void kpPrintError(std::string_view utf8) {
    std::string line = std::string(kErrorTag) + std::string(utf8) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void kpDebugLog(const String& text) {
    kpPrint(text);
}

void kpError(const String& message) {
    if (message.empty()) std::exit(0);
    String line = kpS(kErrorPrefix);
    // Fatal messages are narrowed to 8-bit characters, each unit's low byte.
    std::string narrow = kpNarrow(message);
    line.append(narrow.begin(), narrow.end());
    for (char16_t& c : line) c &= 0xFF;
    kpPrint(line);
    kpPrint(String());
    std::exit(kFatalStatus);
}

void kpError(std::string_view utf8) {
    kpError(kpS(utf8));
}

void kpDieUncaught() {
    kpPrint(std::string_view("Zembra Runtime Error : Uncaught Zembra Exception"));
    std::exit(kFatalStatus);
}

const char* kpSignalMessage(int signal) {
    switch (signal) {
    case SIGSEGV:
        return "Memory access violation";
    case SIGILL:
        return "Illegal instruction";
    case SIGFPE:
        return "Floating point exception";
    default:
        return "Unknown signal";
    }
}

void kpInstallSignalHandlers() {
    // A stack overflow leaves no room on the thread's own stack to run the handler: give it
    // a stack of its own, kept for the life of the process.
    static char* alternate = nullptr;
    if (!alternate) {
        alternate = static_cast<char*>(std::malloc(kSignalStackSize));
        if (alternate) {
            stack_t stack{};
            stack.ss_sp = alternate;
            stack.ss_size = kSignalStackSize;
            sigaltstack(&stack, nullptr);
        }
    }
    struct sigaction action {};
    action.sa_handler = sighandler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_ONSTACK;
    sigaction(SIGSEGV, &action, nullptr);
    sigaction(SIGILL, &action, nullptr);
    sigaction(SIGFPE, &action, nullptr);
}
