// The render device's scissor around ink: a surface knows which of its texels have alpha
// above 0, a batch of quads from it is scissored to the pixels those texels reach, and the
// picture stays the same as without the shortcut, pixel for pixel, at the scales, offsets
// and mirrorings the game draws with.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "device_fixture.h"

namespace {

constexpr int kSheet = 64;           // a 64x64 sheet of four 32x32 frames
constexpr int kInkX = 40, kInkY = 6; // frame 1's ink: a 5x3 block at (40, 6)
constexpr int kInkW = 5, kInkH = 3;
constexpr int kWashY = 40; // the lower frames are translucent from this row down

class DeviceInk : public DeviceFixture {
  protected:
    DeviceInk() {
        // Frame 0 (0, 0) is clear, frame 1 (32, 0) holds a small block of ink, frames 2 and 3
        // (the lower row) are translucent below their top eight rows.
        std::vector<int> argb(static_cast<size_t>(kSheet) * kSheet, 0);
        for (int y = 0; y < kSheet; ++y) {
            for (int x = 0; x < kSheet; ++x) {
                int& p = argb[static_cast<size_t>(y) * kSheet + x];
                if (y >= kWashY) p = static_cast<int>(0x80204080u + (x << 16));
                if (x >= kInkX && x < kInkX + kInkW && y >= kInkY && y < kInkY + kInkH) {
                    p = static_cast<int>(0xc0ff8040u);
                }
            }
        }
        sheet = surfaceOf(argb, kSheet, kSheet);
    }

    std::unique_ptr<gxtkSurface> sheet;
};

} // namespace

TEST_F(DeviceInk, ASurfaceKnowsTheBoxOfItsInk) {
    int x0 = 32, y0 = 0, x1 = 64, y1 = 32; // frame 1
    ASSERT_TRUE(sheet->InkBox(x0, y0, x1, y1));
    EXPECT_EQ(x0, kInkX);
    EXPECT_EQ(y0, kInkY);
    EXPECT_EQ(x1, kInkX + kInkW);
    EXPECT_EQ(y1, kInkY + kInkH);

    x0 = 0, y0 = 0, x1 = 32, y1 = 32; // frame 0: clear
    ASSERT_TRUE(sheet->InkBox(x0, y0, x1, y1));
    EXPECT_EQ(x0, x1);

    x0 = -5, y0 = 20, x1 = 100, y1 = 100; // kept within the surface
    ASSERT_TRUE(sheet->InkBox(x0, y0, x1, y1));
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(y0, kWashY);
    EXPECT_EQ(x1, kSheet);
    EXPECT_EQ(y1, kSheet);

    // Writing ink into frame 0 is seen at once.
    const int solid = static_cast<int>(0xff000000u);
    device->WritePixels2(sheet.get(), std::vector<int>{solid}, 3, 4, 1, 1, 0, 1);
    x0 = 0, y0 = 0, x1 = 32, y1 = 32;
    ASSERT_TRUE(sheet->InkBox(x0, y0, x1, y1));
    EXPECT_EQ(x0, 3);
    EXPECT_EQ(y0, 4);
    EXPECT_EQ(x1, 4);
    EXPECT_EQ(y1, 5);

    std::unique_ptr<gxtkSurface> blank = device->CreateSurface(8, 8); // no pixel copy
    x0 = 0, y0 = 0, x1 = 8, y1 = 8;
    EXPECT_FALSE(blank->InkBox(x0, y0, x1, y1));
}

TEST_F(DeviceInk, AClearFrameIsNotSentAndAnInkedOneIsScissoredToItsInk) {
    begin();
    device->SetMatrix(4, 0, 0, 4, 0, 0);
    device->DrawSurface2(sheet.get(), 10, 10, 0, 0, 32, 32);
    EXPECT_EQ(device->VertexCount(), 0);
    device->DrawSurface2(sheet.get(), 10, 10, 32, 0, 32, 32);
    EXPECT_EQ(device->VertexCount(), 4);

    GLint box[4] = {};
    device->EndRender();
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST)); // the whole window's state is back
    device->BeginRender();
    device->SetScissor(0, 0, 300, 200);
    device->SetMatrix(4, 0, 0, 4, 0, 0);
    device->DrawSurface2(sheet.get(), 10, 10, 32, 0, 32, 32);
    device->EndRender();
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(box[2], 300); // the scissor set by the caller is back
    EXPECT_EQ(box[3], 200);
    EXPECT_EQ(box[1], kHeight - 200);
}

TEST_F(DeviceInk, PicturesAreTheSameWithTheScissorAtEveryScaleOffsetAndMirroring) {
    struct Placement {
        float ix, jy, tx, ty;
    };
    // Half scale lands samples on the edges between texels, where rounding decides.
    const Placement placements[] = {{1, 1, 0, 0},           {0.5f, 0.5f, 0.5f, 0.25f},
                                    {3, 3, 0.75f, 0.5f},    {-2, 2, 600, 1.5f},
                                    {2, -0.5f, 0.25f, 400}, {0.375f, 0.375f, 0.125f, 0.875f}};
    for (const Placement& p : placements) {
        std::vector<int> pictures[2];
        for (int shortcuts = 0; shortcuts < 2; ++shortcuts) {
            device->SetShortcuts(shortcuts == 1);
            begin();
            device->SetMatrix(p.ix, 0, 0, p.jy, p.tx, p.ty);
            device->SetAlpha(0.75f);
            for (int i = 0; i < 6; ++i) {
                const float at = static_cast<float>(i) * 40.25f;
                device->DrawSurface2(sheet.get(), at, at * 0.5f, 32, 0, 32, 32);
                device->DrawSurface2(sheet.get(), at + 7.5f, at, 0, 32, 32, 32);
            }
            device->SetBlend(gxtkGraphics::kBlendAdditive);
            device->DrawSurface(sheet.get(), 5.5f, 90);
            device->EndRender();
            pictures[shortcuts] = frame();
        }
        device->SetShortcuts(true);
        EXPECT_EQ(differing(pictures[0], pictures[1]), 0) << "scale " << p.ix << ", " << p.jy;
        EXPECT_GT(differing(pictures[0], std::vector<int>(pictures[0].size(), pictures[0][0])),
                  0); // something was drawn
    }
}
