// The asynchronous event pump: sources register once (for the life of the process) and each
// call of kp_asyncevent_UpdateAsyncEvents, made from the game's update on the main thread,
// lets every source deliver its finished work. A call from inside a delivery returns at once.
#pragma once

#include <vector>

// Something that has completions to deliver on the main thread.
class c_IAsyncEventSource {
  public:
    virtual ~c_IAsyncEventSource() = default;
    virtual void UpdateAsyncEvents() = 0;
};

// Registered sources (removed only by an abandoned socket that has finished) and the one being
// updated, or null.
extern std::vector<c_IAsyncEventSource*> kp_asyncevent__sources;
extern c_IAsyncEventSource* kp_asyncevent__current;

// Start values: an empty source list and no current source.
void kp_asyncevent_Init();
// Appends source; one already registered is a fatal error.
void kp_asyncevent_AddAsyncEventSource(c_IAsyncEventSource* source);
// Removes source (if registered); a source that removes itself while it is being updated
// clears the current marker, so the pump goes on with the source that took its place.
void kp_asyncevent_RemoveAsyncEventSource(c_IAsyncEventSource* source);
// Updates every source in registration order, including ones added while it runs.
void kp_asyncevent_UpdateAsyncEvents();
