// What the fuzz targets share: a read-only FILE over the fuzzer's bytes (the decoders read
// through the host's FILE*), and a trap that turns a broken promise into a finding.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using MemoryFile = std::unique_ptr<FILE, FileCloser>;

// None for an empty input: a memory stream needs at least one byte.
inline MemoryFile memoryFile(const uint8_t* data, size_t size) {
    if (size == 0) return nullptr;
    return MemoryFile(fmemopen(const_cast<uint8_t*>(data), size, "rb"));
}

// A failed expectation is a finding: stop where the fuzzer can report it.
inline void expect(bool condition) {
    if (!condition) __builtin_trap();
}

// Reads the first and last byte of a block, so the address sanitizer sees a block shorter
// than its reported size.
inline void touch(const unsigned char* block, size_t size) {
    if (size == 0) return;
    volatile unsigned char first = block[0];
    volatile unsigned char last = block[size - 1];
    (void)first;
    (void)last;
}
