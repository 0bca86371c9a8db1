// The counting operator new behind kpAllocationCount: each allocation bumps one counter and
// goes to malloc; deletes go to free.
#include "tools/bench/alloc_count.h"

#include <cstdlib>
#include <new>

// The replaced operators pair malloc with free; with more inlining (sanitizer builds) the
// compiler sees only new meeting free and warns, wrongly, of a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {
long gAllocations = 0;
} // namespace

long kpAllocationCount() {
    return gAllocations;
}

void* operator new(std::size_t size) {
    ++gAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
