// The event pump's globals and its loop. The list is indexed rather than iterated so that a
// callback may register a new source (a new socket) while the pump runs.
#include "net/kp_asyncevent.h"

#include <algorithm>

#include "runtime/kp_error.h"

std::vector<c_IAsyncEventSource*> kp_asyncevent__sources;
c_IAsyncEventSource* kp_asyncevent__current = nullptr;

namespace {
// The pump's position in the list while it runs.
size_t pumpIndex = 0;
} // namespace

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

void kp_asyncevent_RemoveAsyncEventSource(c_IAsyncEventSource* source) {
    auto& sources = kp_asyncevent__sources;
    auto at = std::find(sources.begin(), sources.end(), source);
    if (at == sources.end()) return;
    const auto index = static_cast<size_t>(at - sources.begin());
    sources.erase(at);
    if (kp_asyncevent__current == source) {
        kp_asyncevent__current = nullptr;
    } else if (kp_asyncevent__current && index < pumpIndex) {
        --pumpIndex; // keep the pump on the source it is updating
    }
}

void kp_asyncevent_UpdateAsyncEvents() {
    if (kp_asyncevent__current) return; // called again from inside a callback
    pumpIndex = 0;
    while (pumpIndex < kp_asyncevent__sources.size()) {
        kp_asyncevent__current = kp_asyncevent__sources[pumpIndex];
        kp_asyncevent__current->UpdateAsyncEvents();
        // A source that cleared the current marker (it removed itself) leaves its place to
        // the next one, which is updated now.
        if (kp_asyncevent__current) ++pumpIndex;
    }
    kp_asyncevent__current = nullptr;
}
