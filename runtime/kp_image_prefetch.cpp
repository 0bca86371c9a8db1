// KpImagePrefetch: the request queue, the workers that decode it in order, and the hand-over
// of finished pixels to the main thread. The workers start with the first request and live
// until the prefetcher is destroyed; they sleep on a condition variable while nothing waits.
#include "runtime/kp_image_prefetch.h"

#include <algorithm>
#include <system_error>

KpImagePrefetch::~KpImagePrefetch() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) {
        if (worker.joinable()) worker.join();
    }
    for (auto& entry : entries_) {
        if (entry->file) std::fclose(entry->file);
    }
}

void KpImagePrefetch::Request(const String& path, FILE* file) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (const auto& entry : entries_) {
        if (entry->path == path) {
            if (file) std::fclose(file);
            return;
        }
    }
    if (entries_.size() >= kMaxPrefetched) dropOldest();
    auto entry = std::make_unique<Entry>();
    entry->path = path;
    entry->file = file;
    entries_.push_back(std::move(entry));
    for (std::thread& worker : workers_) {
        if (worker.joinable()) continue;
        try {
            worker = std::thread([this] { run(); });
        } catch (const std::system_error&) {
            // No thread to be had: the requests wait, and Take decodes them itself.
        }
    }
    lock.unlock();
    wake_.notify_one();
}

bool KpImagePrefetch::Take(const String& path, KpBytes& pixels, int* width, int* height,
                           int* depth) {
    std::unique_lock<std::mutex> lock(mutex_);
    auto found = std::find_if(entries_.begin(), entries_.end(),
                              [&](const auto& entry) { return entry->path == path; });
    if (found == entries_.end()) return false;
    std::unique_ptr<Entry> entry;
    if (!(*found)->started) {
        // Not reached yet: decode it here rather than wait behind the images queued before it.
        entry = std::move(*found);
        entries_.erase(found);
        lock.unlock();
        decode(*entry);
    } else {
        Entry* wanted = found->get();
        finished_.wait(lock, [wanted] { return wanted->done; });
        found = std::find_if(entries_.begin(), entries_.end(),
                             [wanted](const auto& e) { return e.get() == wanted; });
        if (found == entries_.end()) return false; // dropped meanwhile: decode it again
        entry = std::move(*found);
        entries_.erase(found);
    }
    pixels = std::move(entry->pixels);
    *width = entry->width;
    *height = entry->height;
    *depth = entry->depth;
    return true;
}

bool KpImagePrefetch::Waiting(const String& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const auto& entry) { return entry->path == path; });
}

size_t KpImagePrefetch::Untaken() {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size();
}

size_t KpImagePrefetch::DecodedBytes() {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t bytes = 0;
    for (const auto& entry : entries_) {
        if (entry->done && entry->pixels) {
            bytes += static_cast<size_t>(entry->width) * entry->height * entry->depth;
        }
    }
    return bytes;
}

void KpImagePrefetch::decode(Entry& entry) {
    if (entry.file) {
        entry.pixels = kpDecodeImageFile(entry.file, &entry.width, &entry.height, &entry.depth);
        std::fclose(entry.file);
        entry.file = nullptr;
    }
    entry.done = true;
}

void KpImagePrefetch::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        auto next = std::find_if(entries_.begin(), entries_.end(),
                                 [](const auto& entry) { return !entry->started; });
        if (stop_) return;
        if (next == entries_.end()) {
            wake_.wait(lock);
            continue;
        }
        // The entry stays in the list while it is decoded; only this worker touches its
        // fields until done is set, and dropOldest and Take leave a started entry alone.
        Entry* entry = next->get();
        entry->started = true;
        FILE* file = entry->file;
        entry->file = nullptr;
        lock.unlock();
        int width = 0, height = 0, depth = 0;
        KpBytes pixels;
        if (file) {
            pixels = kpDecodeImageFile(file, &width, &height, &depth);
            std::fclose(file);
        }
        lock.lock();
        entry->pixels = std::move(pixels);
        entry->width = width;
        entry->height = height;
        entry->depth = depth;
        entry->done = true;
        finished_.notify_all();
    }
}

void KpImagePrefetch::dropOldest() {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        Entry& entry = **it;
        if (entry.started && !entry.done) continue; // a worker is decoding it
        if (entry.file) std::fclose(entry.file);
        entries_.erase(it);
        return;
    }
}
