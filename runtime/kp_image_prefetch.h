// Image files decoded ahead of need on kWorkers worker threads. A loader that knows which
// images it asks for next names them here; the host's image decoding then takes the finished
// pixels instead of decoding on the main thread. The workers take requests in order and touch
// no graphics state: uploading stays with the caller. Two workers keep ahead of the start-up
// loader on a two-core machine, where the main thread mostly waits for the next frame. At most
// kMaxPrefetched results wait at a time; a request beyond that drops the oldest waiting one (its
// pixels are decoded again if they are ever asked for), so requests that are never taken cannot
// pile up memory.
#pragma once

#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "runtime/kp_game.h"

class KpImagePrefetch {
  public:
    static constexpr size_t kMaxPrefetched = 8;
    static constexpr int kWorkers = 2;

    KpImagePrefetch() = default;
    // Waits for the image being decoded, if any, and drops every result.
    ~KpImagePrefetch();
    KpImagePrefetch(const KpImagePrefetch&) = delete;
    KpImagePrefetch& operator=(const KpImagePrefetch&) = delete;

    // Queues file (owned from now on and closed after decoding; null for a file that could not
    // be opened) for decoding under the name path. A path already waiting is left alone.
    void Request(const String& path, FILE* file);
    // When path was requested: its decoded pixels (null when decoding failed) with their size,
    // after waiting for a worker if it is decoding them right now; a request no worker has
    // reached yet is decoded here, on the caller's thread. Otherwise false and nothing
    // changes, and the caller decodes the file itself.
    bool Take(const String& path, KpBytes& pixels, int* width, int* height, int* depth);
    // Whether path is requested and not yet taken.
    bool Waiting(const String& path);
    // Requests not yet taken, decoded or not.
    size_t Untaken();
    // Bytes of decoded pixels waiting to be taken: memory the prefetcher holds for the loader.
    size_t DecodedBytes();

  private:
    struct Entry {
        String path;
        FILE* file = nullptr; // closed once decoded
        bool started = false;
        bool done = false;
        KpBytes pixels;
        int width = 0, height = 0, depth = 0;
    };

    static void decode(Entry& entry);
    void run();
    // Drops the oldest entry no worker is decoding; the lock is held.
    void dropOldest();

    std::mutex mutex_;
    std::condition_variable wake_;     // the workers: new work or stop
    std::condition_variable finished_; // Take: an entry is decoded
    std::vector<std::unique_ptr<Entry>> entries_;
    std::thread workers_[kWorkers];
    bool stop_ = false;
};
