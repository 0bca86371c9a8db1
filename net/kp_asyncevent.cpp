// The event pump's globals and its loop. The list is indexed rather than iterated so that a
// callback may register a new source (a new socket) while the pump runs.
#include "net/kp_asyncevent.h"

#include <algorithm>

#include "runtime/kp_error.h"

std::vector<c_IAsyncEventSource*> kp_asyncevent__sources;
c_IAsyncEventSource* kp_asyncevent__current = nullptr;

void kp_asyncevent_Init() {
    kp_asyncevent__sources.clear();
    kp_asyncevent__current = nullptr;
}

void kp_asyncevent_AddAsyncEventSource(c_IAsyncEventSource* source) {
    auto& sources = kp_asyncevent__sources;
    if (std::find(sources.begin(), sources.end(), source) != sources.end()) {
        kpError(std::string_view("Async event source is already active"));
    }
    sources.push_back(source);
}

void kp_asyncevent_UpdateAsyncEvents() {
    if (kp_asyncevent__current) return; // called again from inside a callback
    size_t i = 0;
    while (i < kp_asyncevent__sources.size()) {
        kp_asyncevent__current = kp_asyncevent__sources[i];
        kp_asyncevent__current->UpdateAsyncEvents();
        // A source that cleared the current marker is updated again.
        if (kp_asyncevent__current) ++i;
    }
    kp_asyncevent__current = nullptr;
}
