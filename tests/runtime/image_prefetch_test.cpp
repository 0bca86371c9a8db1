// Images decoded ahead on the host's worker: a load takes the prefetched pixels (the file is
// read when it is named, so a file removed afterwards still loads), the results agree with a
// plain decode, a file missing when named is looked for again at the load, and requests beyond
// the cap drop the oldest.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "graphics/png_writer.h"
#include "runtime/kp_headless_game.h"
#include "runtime/kp_image_prefetch.h"
#include "support/test_support.h"

namespace {

// A w x h RGBA image whose pixels differ from each other and from image to image.
std::vector<unsigned char> pattern(int w, int h, int seed) {
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 7 + seed);
    return pixels;
}

String dataPath(int n) {
    return kpS("zembra://data/img" + std::to_string(n) + ".png");
}

void writeImage(int n, int w, int h) {
    writePng("data/img" + std::to_string(n) + ".png", w, h, 4, pattern(w, h, n));
}

// Waits, with a generous bound, until the prefetcher holds exactly bytes of decoded pixels.
bool decodedWithin(KpHeadlessGame& host, size_t bytes) {
    KpImagePrefetch& prefetch = *host.ImagePrefetch();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (prefetch.DecodedBytes() != bytes && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    return prefetch.DecodedBytes() == bytes;
}

class ImagePrefetch : public ::testing::Test {
  protected:
    TempDir dir;
    KpHeadlessGame host{640, 480};
};

} // namespace

TEST_F(ImagePrefetch, LoadTakesThePrefetchedPixels) {
    writeImage(1, 300, 200);
    host.PrefetchImage(dataPath(1));
    ASSERT_NE(host.ImagePrefetch(), nullptr);
    EXPECT_EQ(host.ImagePrefetch()->Untaken(), 1u);
    host.PrefetchImage(dataPath(1)); // named twice: one request
    EXPECT_EQ(host.ImagePrefetch()->Untaken(), 1u);

    // The decoded pixels count as held while they wait; the file was opened when it was named:
    // gone from the folder, it still loads.
    std::filesystem::remove("data/img1.png");
    EXPECT_TRUE(decodedWithin(host, 300 * 200 * 4));
    int w = 0, h = 0, depth = 0;
    KpBytes pixels = host.LoadImageData(dataPath(1), &w, &h, &depth);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 200);
    EXPECT_EQ(depth, 4);
    std::vector<unsigned char> expected = pattern(300, 200, 1);
    EXPECT_EQ(std::memcmp(pixels.get(), expected.data(), expected.size()), 0);
    EXPECT_EQ(host.ImagePrefetch()->Untaken(), 0u);
    EXPECT_EQ(host.ImagePrefetch()->DecodedBytes(), 0u) << "taken pixels still counted";
    EXPECT_FALSE(host.LoadImageData(dataPath(1), &w, &h, &depth)) << "taken once, then gone";

    // A file that is not an image loads as none, as without a prefetch; a file missing when
    // named is not held, so it loads if it has appeared by the time it is asked for.
    writeFile("data/fake.png", "not an image");
    host.PrefetchImage(u"zembra://data/fake.png");
    host.PrefetchImage(dataPath(2));
    EXPECT_EQ(host.ImagePrefetch()->Untaken(), 1u);
    EXPECT_FALSE(host.LoadImageData(u"zembra://data/fake.png", &w, &h, &depth));
    writeImage(2, 4, 4);
    EXPECT_TRUE(host.LoadImageData(dataPath(2), &w, &h, &depth));
    EXPECT_EQ(host.ImagePrefetch()->Untaken(), 0u);
}

TEST_F(ImagePrefetch, RequestsBeyondTheCapDropTheOldest) {
    const int count = static_cast<int>(KpImagePrefetch::kMaxPrefetched) + 4;
    for (int n = 0; n < count; ++n) writeImage(n, 16 + n, 8);
    for (int n = 0; n < count; ++n) host.PrefetchImage(dataPath(n));
    EXPECT_EQ(host.ImagePrefetch()->Untaken(), KpImagePrefetch::kMaxPrefetched);

    // With the files gone, only what is still held loads. The oldest are dropped, except those
    // the workers may be decoding at that moment; the newest is always kept.
    for (int n = 0; n < count; ++n)
        std::filesystem::remove("data/img" + std::to_string(n) + ".png");
    int gone = 0;
    for (int n = count - 1; n >= 0; --n) {
        int w = 0, h = 0, depth = 0;
        KpBytes pixels = host.LoadImageData(dataPath(n), &w, &h, &depth);
        if (!pixels) {
            ++gone;
            EXPECT_LT(n, count - 1) << "the newest request was dropped";
            continue;
        }
        EXPECT_EQ(w, 16 + n) << "image " << n << " came back as another";
    }
    EXPECT_EQ(gone, count - static_cast<int>(KpImagePrefetch::kMaxPrefetched));
    EXPECT_EQ(host.ImagePrefetch()->Untaken(), 0u);
}
