// Textures on a driver without non-power-of-two sizes (Mesa told to drop the extension and
// speak OpenGL 1.4): the texture is padded and the image still maps pixel for pixel.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <array>

#include "graphics/gxtkGraphics.h"
#include "png_writer.h"
#include "runtime/kp_glfw_game.h"
#include "support/test_support.h"

TEST(TexturePadding, ImageWithoutPowerOfTwoSizeGetsAPaddedTexture) {
    ASSERT_EQ(glfwInit(), GLFW_TRUE);
    KpGlfwGame host;
    host.OpenInitialWindow();
    ASSERT_NE(host.Window(), nullptr);
    TempDir dir;

    // 100 x 50: grey, with a red right-most column and a blue bottom row.
    std::vector<unsigned char> pixels;
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (x == 99) {
                pixels.insert(pixels.end(), {255, 0, 0, 255});
            } else if (y == 49) {
                pixels.insert(pixels.end(), {0, 0, 255, 255});
            } else {
                pixels.insert(pixels.end(), {90, 90, 90, 255});
            }
        }
    }
    writePng("wide.png", 100, 50, 4, pixels);

    gxtkGraphics device;
    device.BeginRender();
    std::unique_ptr<gxtkSurface> surface = device.LoadSurface(u"wide.png");
    ASSERT_TRUE(surface);
    EXPECT_FLOAT_EQ(surface->uscale, 1.0f / 128);
    EXPECT_FLOAT_EQ(surface->vscale, 1.0f / 64);

    device.Cls(0, 0, 0);
    device.SetColor(255, 255, 255);
    device.SetAlpha(1);
    device.DrawSurface(surface.get(), 0, 0);
    EXPECT_FLOAT_EQ(device.vertices[2].u, 100.0f / 128);
    EXPECT_FLOAT_EQ(device.vertices[2].v, 50.0f / 64);
    device.EndRender();

    auto rgb = [&](int x, int y) {
        std::array<int, 1> p = {};
        device.ReadPixels(p, x, y, 1, 1, 0, 1);
        return p[0] & 0xffffff;
    };
    EXPECT_EQ(rgb(50, 25), 0x5a5a5a);
    EXPECT_EQ(rgb(99, 10), 0xff0000);
    EXPECT_EQ(rgb(10, 49), 0x0000ff);
    EXPECT_EQ(rgb(100, 10), 0x000000); // nothing of the padding is drawn
    EXPECT_EQ(rgb(10, 50), 0x000000);
}
