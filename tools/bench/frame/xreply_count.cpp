// X reply counter, preloaded into the frame benchmark: wraps Xlib's _XReply (one synchronous
// round trip to the display server each) and xcb's reply waits, counts them, and calls the
// real functions. The benchmark reads the counts through the two exported getters.
#include <dlfcn.h>

#include <atomic>
#include <cstdint>

extern "C" {
unsigned long kpBenchXReplies();
unsigned long kpBenchXcbWaits();
int _XReply(void* display, void* reply, int extra, int discard);
void* xcb_wait_for_reply(void* connection, unsigned int request, void** error);
void* xcb_wait_for_reply64(void* connection, uint64_t request, void** error);
}

namespace {

std::atomic<unsigned long> replies{0};
std::atomic<unsigned long> waits{0};

template <typename Fn> Fn real(const char* name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

} // namespace

unsigned long kpBenchXReplies() {
    return replies.load();
}

unsigned long kpBenchXcbWaits() {
    return waits.load();
}

int _XReply(void* display, void* reply, int extra, int discard) {
    using Fn = int (*)(void*, void*, int, int);
    static const Fn next = real<Fn>("_XReply");
    ++replies;
    return next(display, reply, extra, discard);
}

void* xcb_wait_for_reply(void* connection, unsigned int request, void** error) {
    using Fn = void* (*)(void*, unsigned int, void**);
    static const Fn next = real<Fn>("xcb_wait_for_reply");
    ++waits;
    return next(connection, request, error);
}

void* xcb_wait_for_reply64(void* connection, uint64_t request, void** error) {
    using Fn = void* (*)(void*, uint64_t, void**);
    static const Fn next = real<Fn>("xcb_wait_for_reply64");
    ++waits;
    return next(connection, request, error);
}
