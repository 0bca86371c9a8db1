// The PNG path on arbitrary bytes: a decoded image has a sane shape, its pixels are all
// readable, and no image needs more than the loader's bound per byte of file.
#include "fuzz_support.h"
#include "runtime/kp_game.h"

namespace {
constexpr size_t kMaxExpansion = 1040 * 4; // the loader's bound on any one block
constexpr size_t kMinAllowance = 1 << 20;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryFile file = memoryFile(data, size);
    if (!file) return 0;
    int width = 0, height = 0, depth = 0;
    KpBytes pixels = kpDecodeImageFile(file.get(), &width, &height, &depth);
    if (!pixels) return 0;
    expect(width > 0 && height > 0 && depth >= 1 && depth <= 4);
    const size_t bytes = static_cast<size_t>(width) * height * depth;
    expect(bytes <= std::max(size * kMaxExpansion, kMinAllowance));
    touch(pixels.get(), bytes);
    return 0;
}
